#include "toolkit/OutputNaming.h"

#include <QFileInfo>

namespace {

QString candidate(const QString &folder, const QString &baseName, const QString &extension, long n)
{
    QString dir = folder;
    while (dir.size() > 1 && dir.endsWith(QLatin1Char('/')))
        dir.chop(1);
    QString name = n < 2 ? baseName : QStringLiteral("%1(%2)").arg(baseName).arg(n);
    if (!extension.isEmpty())
        name += QLatin1Char('.') + extension;
    return dir == QLatin1String("/") ? dir + name : dir + QLatin1Char('/') + name;
}

} // namespace

bool OutputNaming::exists(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

QString OutputNaming::availablePath(const QString &folder, const QString &baseName, const QString &extension)
{
    for (long n = 1;; ++n) {
        const QString path = candidate(folder, baseName, extension, n);
        if (!exists(path))
            return path;
    }
}
