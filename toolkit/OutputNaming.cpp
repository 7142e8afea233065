#include "toolkit/OutputNaming.h"

#include <QFileInfo>

namespace {

enum class Numbering { Bracketed, Appended };

QString candidate(const QString &folder, const QString &baseName, const QString &extension, long n,
                  Numbering numbering)
{
    QString dir = folder;
    while (dir.size() > 1 && dir.endsWith(QLatin1Char('/')))
        dir.chop(1);
    QString name = numbering == Numbering::Appended ? baseName + QString::number(n)
                   : n < 2                          ? baseName
                                                    : QStringLiteral("%1(%2)").arg(baseName).arg(n);
    if (!extension.isEmpty())
        name += QLatin1Char('.') + extension;
    return dir == QLatin1String("/") ? dir + name : dir + QLatin1Char('/') + name;
}

QString firstFree(const QString &folder, const QString &baseName, const QString &extension,
                  Numbering numbering, QSet<QString> *reserved)
{
    for (long n = 1;; ++n) {
        const QString path = candidate(folder, baseName, extension, n, numbering);
        if (OutputNaming::exists(path) || (reserved && reserved->contains(path)))
            continue;
        if (reserved)
            reserved->insert(path);
        return path;
    }
}

} // namespace

bool OutputNaming::exists(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

QString OutputNaming::availablePath(const QString &folder, const QString &baseName, const QString &extension,
                                    QSet<QString> *reserved)
{
    return firstFree(folder, baseName, extension, Numbering::Bracketed, reserved);
}

QString OutputNaming::availableNumberedPath(const QString &folder, const QString &baseName,
                                            const QString &extension, QSet<QString> *reserved)
{
    return firstFree(folder, baseName, extension, Numbering::Appended, reserved);
}
