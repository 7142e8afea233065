#pragma once
// The rules that take a profile value apart: the default item and the list of items the user may
// choose from.
//
// A value reads: the default item, then ",{" (or ", {"), the items separated by "," and "}". Double
// quotes anywhere are ignored; a value without braces is a single item. Two rule sets exist: the format
// choosers of the editor and the joiner keep blanks inside the items, the output-profile settings window
// removes them (and takes the first listed item when the default is empty).
#include <QString>
#include <QStringList>

#include <optional>

class ProfileValue
{
public:
    enum class Rules { Chooser, SettingsWindow };

    // The default item: the text before the brace list; when that holds commas, its last piece as it
    // stands, else the text trimmed of blanks. No value (and the log line "no have content") when
    // nothing but quotes is given; no value for a blank default before a brace list.
    // 'a, b,{c,d}' -> ' b'; ',{c,d}' -> '' (Chooser) or 'c' (SettingsWindow).
    static std::optional<QString> resultSelectItemTitleForContentStr(const QString &value, Rules rules = Rules::Chooser);

    // The items of the brace list, empty pieces dropped (Chooser: blanks kept; SettingsWindow: every
    // blank removed); without braces, the last comma-separated piece as a one-item list (trimmed, or with
    // every blank removed). No value when nothing is left; "no have content" is logged for an empty value.
    static std::optional<QStringList> resultContentStrForArr(const QString &value, Rules rules = Rules::Chooser);

    // `text` without leading and trailing blanks (U+0020 only; tabs stay). No value when `text` holds
    // blanks only; the empty text for an empty text.
    static std::optional<QString> new_startAndendnospaceString(const QString &text);
};
