#pragma once
// The interface language: which "<folder>.lproj" the texts come from, and the lookup of every visible
// text of the application in table "Main" of that folder.
//
// The chosen language is the number under the user-defaults key "AppLanguage" (absent reads as 0),
// clamped to 0..8 and mapped to a folder by a nine-language table (en zh-Hans zh-Hant fr de ja es pt-PT
// ar) or, when the localisation holds only four languages, a four-language one (en zh-Hant fr ja, en for
// the rest). Every lookup reads the number anew, so a language change takes effect at the next lookup.
// Main thread only.
#include <QString>

// Marks a key that is kept in a table or handed on for a later lookup: VW_KEY("Crop_Title") is the plain
// literal. Together with the literal keys of localizedStringForKey() calls, these are what the
// localisation check finds in the sources, so every key reaches all nine tables.
#define VW_KEY(key) key

class LanguageService
{
public:
    // Decides the language set again and makes the stored language's folder the fallback for lookups
    // whose own folder is missing. Called when the user changes the language.
    static void setLanguage();

    // The text of `key` in table "Main" of the chosen folder; the key itself when the table lacks it.
    static QString localizedStringForKey(const QString &key);
    static QString localizedStringForKey(const char *key);
    // As above, but a missing key gives `value` when it is not empty (and the chosen folder exists).
    static QString localizedStringForKey(const QString &key, const QString &value);
    static QString localizedStringForKey(const char *key, const QString &value);

    // Whether the chosen folder is the Arabic one ("ar"); views that draw their own text then use an
    // Arabic font.
    static bool isalaboLanguage();

    // 9, or 4 when no language folder has the key "LangeuageItem4". Decided at the first use and again
    // by setLanguage().
    static int languageSetSize();

    // The folder name (without ".lproj") for language number `n` in a set of `setSize` languages; `n` is
    // clamped to 0..8.
    static QString languageFolder(long long n, int setSize);
    // The folder of the stored language in the current set.
    static QString currentLanguageFolder();

private:
    static int decideLanguageSetSize();
};
