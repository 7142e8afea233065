#include "platform/Panels.h"

#include "platform/QtPanels.h"

#include <QFileInfo>

namespace platform {

namespace {

Panels *&installed()
{
    static Panels *panels = nullptr;
    return panels;
}

} // namespace

Panels &Panels::instance()
{
    if (!installed()) {
        static QtPanels defaultPanels;
        return defaultPanels;
    }
    return *installed();
}

void Panels::setInstance(Panels *panels)
{
    installed() = panels;
}

bool Panels::hasAllowedExtension(const QString &path, const QStringList &extensions)
{
    if (extensions.isEmpty())
        return true;
    const QString suffix = QFileInfo(path).suffix();
    for (const QString &e : extensions) {
        QString ext = e;
        if (ext.startsWith(u'.'))
            ext.remove(0, 1);
        if (suffix.compare(ext, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace platform
