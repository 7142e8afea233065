#include "editor/tools/SubtitleCopy.h"

#include "platform/Log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

QString SubtitleCopy::folder()
{
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/subtitles");
}

bool SubtitleCopy::needed(const QString &path, const QByteArray &charset)
{
    const QString ext = QFileInfo(path).suffix().toLower();
    return (ext == QLatin1String("ass") || ext == QLatin1String("ssa")) && !charset.startsWith("UTF-");
}

QString SubtitleCopy::write(const QString &original, const QByteArray &utf8)
{
    if (!QDir().mkpath(folder())) {
        platform::logWarning("cannot make the subtitle copy folder %@", folder());
        return QString();
    }
    // The extension tells the engine the kind of script; QTemporaryFile makes it readable by the user only.
    QTemporaryFile file(folder() + QStringLiteral("/subtitle-XXXXXX.") +
                        QFileInfo(original).suffix().toLower());
    file.setAutoRemove(false);
    if (!file.open() || file.write(utf8) != utf8.size() || !file.flush()) {
        platform::logWarning("cannot write the subtitle copy of %@", original);
        file.remove();
        return QString();
    }
    // The old copy goes only once the new one is there: a failed write leaves the old subtitle usable.
    clear();
    m_path = file.fileName();
    platform::log("subtitle %@ is read from its UTF-8 copy %@", original, m_path);
    return m_path;
}

void SubtitleCopy::clear()
{
    if (!m_path.isEmpty())
        QFile::remove(m_path);
    m_path.clear();
}
