#pragma once
// Font names of the original platform mapped to families installed here.
//
// ".AppleSystemUIFont", "Tahoma", "Verdana" and other UI names -> the system UI family (DejaVu Sans, else
// Noto Sans); "Muna" -> an Arabic family (Noto Sans Arabic, else Noto Naskh Arabic); names beginning with
// "Songti" -> a CJK serif family (Noto Serif CJK SC, else a CJK sans). A name that is itself an installed
// family maps to itself. Asked with a text, the answer always has glyphs for that text's letters: when the
// aliased family lacks them, a family that has them is chosen instead.
#include <QFont>
#include <QString>
#include <QStringList>

#include <optional>

namespace platform {

class FontAlias
{
public:
    // The installed family for `name`, or an empty string when the name is unknown and not installed.
    static QString familyForName(const QString &name, const QString &text = QString());
    // A font of that family and size, or nullopt when the name is unknown.
    static std::optional<QFont> fontNamed(const QString &name, double pointSize, const QString &text = QString());
    // The system UI font at a size (never fails; falls back to Qt's default family).
    static QFont systemFont(double pointSize, bool bold = false);
    // Gives `font` the size `pointSize` in the layouts' units: one point is one pixel.
    static void setPlatformSize(QFont &font, double pointSize);
    // True when `family` has a glyph for every letter of `text` (spaces and controls are ignored).
    static bool familyCovers(const QString &family, const QString &text);
    // The folders that hold the system's fonts, and the font files in them (absolute paths, sorted).
    static QStringList systemFontFolders();
    static QStringList systemFontFiles();
};

} // namespace platform
