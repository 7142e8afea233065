#include "toolkit/OutputNaming.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <limits>

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

// The highest n of an entry "<baseName><n>[.<extension>]" in `folder` (any kind, a dangling link
// included), 0 when there is none. Names are matched literally: a base name may hold wildcard characters.
long highestNumber(const QString &folder, const QString &baseName, const QString &extension)
{
    const QString suffix = extension.isEmpty() ? QString() : QLatin1Char('.') + extension;
    long highest = 0;
    const QStringList names =
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        if (name.size() <= baseName.size() + suffix.size() || !name.startsWith(baseName) ||
            !name.endsWith(suffix))
            continue;
        const QStringView digits =
            QStringView(name).mid(baseName.size(), name.size() - baseName.size() - suffix.size());
        bool allDigits = true;
        for (QChar c : digits)
            allDigits = allDigits && c >= QLatin1Char('0') && c <= QLatin1Char('9');
        bool ok = false;
        const long n = allDigits ? digits.toLong(&ok) : 0;
        // A number too large to follow is not one of ours: counting on from it would overflow.
        if (ok && n < std::numeric_limits<long>::max() / 2)
            highest = std::max(highest, n);
    }
    return highest;
}

QString firstFree(const QString &folder, const QString &baseName, const QString &extension,
                  Numbering numbering, QSet<QString> *reserved)
{
    // Numbered names go on after the highest number already in the folder, so two runs never mix (a
    // cancelled run may leave gaps). The names handed out but not yet written are skipped below.
    const long first = numbering == Numbering::Appended ? highestNumber(folder, baseName, extension) + 1 : 1;
    for (long n = first;; ++n) {
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
