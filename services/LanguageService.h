#pragma once
// The interface language: which "<folder>.lproj" the texts come from, and the lookup of every visible
// text of the application in table "Main" of that folder.
//
// The chosen language is the number under the user-defaults key "AppLanguage" (absent reads as 0), clamped
// to 0..8 (12 is 8, -1 is 0) and mapped to a folder by a nine-language table (en zh-Hans zh-Hant fr de ja es
// pt-PT ar) or, when the localisation holds only four languages, a four-language one (en zh-Hant fr ja, en
// for the rest). Every lookup reads the number anew, so a language change takes effect at the next lookup.
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
    // whose own folder is missing; loads Qt's catalogue of that language in place of the previous one
    // (none for English). Called at start-up and when the user changes the language.
    static void setLanguage();

    // The name of Qt's catalogue locale for a language folder ("de", "zh_CN", "pt_PT"); empty for "en"
    // and for folders Qt has no catalogue for.
    static QString qtCatalogueLocale(const QString &folder);
    // Whether Qt's catalogue of the chosen language is loaded now.
    static bool qtCatalogueLoaded();

    // The name of the language with ISO 639 code `code` (two or three letters, "en", "eng", "ger",
    // "deu") in that language itself ("Deutsch", "English", "日本語"); empty for an unknown or
    // undetermined ("und") code.
    static QString languageName(const QString &code);

    // The text of `key` in table "Main" of the chosen folder; the key itself when the table lacks it.
    static QString localizedStringForKey(const QString &key);
    static QString localizedStringForKey(const char *key);
    // As above, but a missing key gives `value` when it is not empty (and the chosen folder exists).
    static QString localizedStringForKey(const QString &key, const QString &value);
    static QString localizedStringForKey(const char *key, const QString &value);

    // Whether the stored number, unclamped, is above 7 (Arabic); views that draw their own text then use an
    // Arabic font.
    static bool isalaboLanguage();

    // 9, or 4 when no language folder has the key "LangeuageItem4". Decided at the first use and again
    // by setLanguage().
    static int languageSetSize();

    // The folder name (without ".lproj") for language number `n` in a set of `setSize` languages; `n` is
    // clamped to 0..8.
    static QString languageFolder(long long n, int setSize);
    // The stored language number clamped to 0..8 (absent reads as 0).
    static long long storedLanguage();
    // "AppLanguage" as stored (absent reads as 0), not clamped.
    static long long storedLanguageNumber();
    // The folder of the stored language in the current set.
    static QString currentLanguageFolder();

private:
    static int decideLanguageSetSize();
};
