#include "platform/Workspace.h"

#include "platform/QtWorkspace.h"

#include <QDir>
#include <QStandardPaths>

namespace platform {

namespace {

Workspace *&installed()
{
    static Workspace *workspace = nullptr;
    return workspace;
}

} // namespace

Workspace &Workspace::instance()
{
    if (!installed()) {
        static QtWorkspace defaultWorkspace;
        return defaultWorkspace;
    }
    return *installed();
}

void Workspace::setInstance(Workspace *workspace)
{
    installed() = workspace;
}

QString Workspace::standardFolder(StandardFolder folder)
{
    QStandardPaths::StandardLocation location = QStandardPaths::MoviesLocation;
    QString fallback = QStringLiteral("Videos");
    switch (folder) {
    case StandardFolder::Movies:
        break;
    case StandardFolder::Documents:
        location = QStandardPaths::DocumentsLocation;
        fallback = QStringLiteral("Documents");
        break;
    case StandardFolder::Desktop:
        location = QStandardPaths::DesktopLocation;
        fallback = QStringLiteral("Desktop");
        break;
    }
    const QString path = QStandardPaths::writableLocation(location);
    if (path.isEmpty())
        return QDir::homePath() + u'/' + fallback;
    return QDir::cleanPath(path);
}

} // namespace platform
