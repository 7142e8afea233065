#include "platform/RecordingWorkspace.h"

#include <QFileInfo>
#include <QStringList>

namespace platform {

bool RecordingWorkspace::openUrl(const QUrl &url)
{
    m_calls.append({Call::Kind::OpenUrl, url.toString()});
    return url.isValid();
}

bool RecordingWorkspace::openFolder(const QString &path)
{
    m_calls.append({Call::Kind::OpenFolder, path});
    return QFileInfo(path).isDir();
}

bool RecordingWorkspace::revealFile(const QString &path)
{
    m_calls.append({Call::Kind::RevealFile, path});
    return QFileInfo::exists(path);
}

QStringList RecordingWorkspace::targets(Call::Kind kind) const
{
    QStringList list;
    for (const Call &c : m_calls) {
        if (c.kind == kind)
            list << c.target;
    }
    return list;
}

} // namespace platform
