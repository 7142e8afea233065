#include "platform/FontAlias.h"

#include <QDir>
#include <QDirIterator>
#include <algorithm>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QSet>
#include <QStandardPaths>

namespace platform {

namespace {

const QStringList &uiFamilies()
{
    static const QStringList families{"DejaVu Sans", "Noto Sans"};
    return families;
}

const QStringList &arabicFamilies()
{
    static const QStringList families{"Noto Sans Arabic", "Noto Naskh Arabic", "Noto Kufi Arabic"};
    return families;
}

const QStringList &cjkSerifFamilies()
{
    static const QStringList families{"Noto Serif CJK SC", "Noto Serif CJK TC", "Noto Serif CJK JP",
                                      "Noto Sans CJK SC", "Noto Sans CJK TC", "Noto Sans CJK JP"};
    return families;
}

// Families tried, in order, when the alias lacks the script of the text.
const QStringList &fallbackFamilies()
{
    static const QStringList families = [] {
        QStringList all = uiFamilies();
        all << arabicFamilies() << "Noto Sans CJK SC" << "Noto Serif CJK SC" << "Noto Sans CJK JP"
            << "Noto Sans CJK KR" << "Noto Sans Hebrew" << "Noto Sans Thai" << "Noto Sans Devanagari";
        return all;
    }();
    return families;
}

bool isInstalled(const QString &family)
{
    return QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}

QString firstInstalled(const QStringList &families)
{
    for (const QString &family : families) {
        if (isInstalled(family))
            return family;
    }
    return QString();
}

QStringList candidatesForName(const QString &name)
{
    if (name.startsWith(QLatin1String("Songti"), Qt::CaseInsensitive))
        return cjkSerifFamilies();
    if (name.compare(QLatin1String("Muna"), Qt::CaseInsensitive) == 0)
        return arabicFamilies();
    static const QStringList uiNames{".AppleSystemUIFont", "Tahoma", "Verdana", "Helvetica", "Helvetica Neue",
                                     "Lucida Grande", "Arial", "System Font", ".SF NS Text"};
    if (uiNames.contains(name, Qt::CaseInsensitive))
        return uiFamilies();
    if (isInstalled(name))
        return QStringList{name};
    return QStringList();
}

} // namespace

bool FontAlias::familyCovers(const QString &family, const QString &text)
{
    QFont font(family);
    font.setStyleStrategy(QFont::NoFontMerging); // ask about this family alone, not its fallbacks
    const QFontMetrics metrics(font);
    for (const uint ucs4 : text.toUcs4()) {
        const char32_t c = char32_t(ucs4);
        if (QChar::isSpace(c) || QChar::category(c) == QChar::Other_Control
            || QChar::category(c) == QChar::Other_Format)
            continue;
        if (!metrics.inFontUcs4(ucs4))
            return false;
    }
    return true;
}

QString FontAlias::familyForName(const QString &name, const QString &text)
{
    const QString family = firstInstalled(candidatesForName(name));
    if (family.isEmpty() || text.isEmpty() || familyCovers(family, text))
        return family;
    for (const QString &fallback : fallbackFamilies()) {
        if (isInstalled(fallback) && familyCovers(fallback, text))
            return fallback;
    }
    // Nothing installed covers every letter; keep the alias (Qt's own font merging will do its best).
    return family;
}

void FontAlias::setPlatformSize(QFont &font, double pointSize)
{
    // The layouts were drawn where a point is one pixel; Qt's points grow with the screen's dots per inch
    // (a third larger at 96), which would overflow every label and button sized for the text.
    font.setPixelSize(std::max(1, qRound(pointSize)));
}

std::optional<QFont> FontAlias::fontNamed(const QString &name, double pointSize, const QString &text)
{
    const QString family = familyForName(name, text);
    if (family.isEmpty())
        return std::nullopt;
    QFont font(family);
    if (pointSize > 0)
        setPlatformSize(font, pointSize);
    return font;
}

QFont FontAlias::systemFont(double pointSize, bool bold)
{
    QString family = firstInstalled(uiFamilies());
    QFont font = family.isEmpty() ? QFontDatabase::systemFont(QFontDatabase::GeneralFont) : QFont(family);
    if (pointSize > 0)
        setPlatformSize(font, pointSize);
    font.setBold(bold);
    return font;
}

QStringList FontAlias::systemFontFolders()
{
    QStringList folders;
    const QStringList candidates =
        QStandardPaths::standardLocations(QStandardPaths::FontsLocation)
        + QStringList{"/usr/share/fonts", "/usr/local/share/fonts"};
    for (const QString &folder : candidates) {
        const QString clean = QDir::cleanPath(folder);
        if (QDir(clean).exists() && !folders.contains(clean))
            folders << clean;
    }
    return folders;
}

QStringList FontAlias::systemFontFiles()
{
    QStringList files;
    QSet<QString> seen; // folders may overlap through symbolic links
    for (const QString &folder : systemFontFolders()) {
        QDirIterator it(folder, {"*.ttf", "*.otf", "*.ttc", "*.otc", "*.pfb"}, QDir::Files,
                        QDirIterator::Subdirectories | QDirIterator::FollowSymlinks);
        while (it.hasNext()) {
            const QString path = QFileInfo(it.next()).absoluteFilePath();
            if (!seen.contains(path)) {
                seen.insert(path);
                files << path;
            }
        }
    }
    files.sort();
    return files;
}

} // namespace platform
