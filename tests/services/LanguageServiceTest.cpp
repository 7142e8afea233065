#include "services/LanguageService.h"
#include "platform/UserDefaults.h"
#include "tests/support/TempResources.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

const QString kLanguageKey = QStringLiteral("AppLanguage");

void storeLanguage(std::optional<int> n)
{
    if (n)
        platform::UserDefaults::standard().setValue(kLanguageKey, *n);
    else
        platform::UserDefaults::standard().remove(kLanguageKey);
}

class LanguageServiceTest : public ::testing::Test
{
protected:
    // Each folder answers "Greeting" with its own name, so a lookup shows which folder it used.
    void writeFolders(const QStringList &folders, bool nineLanguages)
    {
        for (const QString &folder : folders) {
            QByteArray table = "/* test table */\n\"Greeting\" = \"" + folder.toUtf8() + "\";\n";
            if (nineLanguages && folder == QLatin1String("en"))
                table += "\"LangeuageItem4\" = \"Deutsch\";\n";
            m_resources->write(folder + QStringLiteral(".lproj/Main.strings"), table);
        }
        LanguageService::setLanguage();
    }

    void TearDown() override
    {
        storeLanguage(std::nullopt);
        m_resources.reset();
        // Decide the language set again for the real resources, for the tests that follow.
        LanguageService::setLanguage();
    }

    std::optional<TempResources> m_resources{std::in_place};
};

struct FolderCase
{
    std::optional<int> stored;
    const char *folder;
    bool arabic;
};

TEST_F(LanguageServiceTest, NineLanguageSetMapsStoredNumberToFolder)
{
    writeFolders({"en", "zh-Hans", "zh-Hant", "fr", "de", "ja", "es", "pt-PT", "ar"}, true);
    EXPECT_EQ(LanguageService::languageSetSize(), 9);
    const FolderCase cases[] = {
        {std::nullopt, "en", false},
        {0, "en", false},
        {1, "zh-Hans", false},
        {2, "zh-Hant", false},
        {3, "fr", false},
        {7, "pt-PT", false},
        {8, "ar", true},
        // Numbers past the list are clamped to its ends: 12 reads as 8, -3 as 0.
        {9, "ar", true},
        {12, "ar", true},
        {-1, "en", false},
        {-3, "en", false},
    };
    for (const FolderCase &c : cases) {
        storeLanguage(c.stored);
        SCOPED_TRACE(c.stored ? *c.stored : -100);
        EXPECT_EQ(LanguageService::localizedStringForKey("Greeting"), QLatin1String(c.folder));
        EXPECT_EQ(LanguageService::currentLanguageFolder(), QLatin1String(c.folder));
        EXPECT_EQ(LanguageService::isalaboLanguage(), c.arabic);
    }
}

TEST_F(LanguageServiceTest, FourLanguageSetMapsStoredNumberToFolder)
{
    writeFolders({"en", "zh-Hant", "fr", "ja"}, false);
    EXPECT_EQ(LanguageService::languageSetSize(), 4);
    // The Arabic flag reads the stored number itself, whatever the set.
    const FolderCase cases[] = {
        {std::nullopt, "en", false},
        {1, "zh-Hant", false},
        {2, "fr", false},
        {3, "ja", false},
        {5, "en", false},
        {7, "en", false},
        {8, "en", true},
        {12, "en", true},
    };
    for (const FolderCase &c : cases) {
        storeLanguage(c.stored);
        SCOPED_TRACE(c.stored ? *c.stored : -100);
        EXPECT_EQ(LanguageService::localizedStringForKey("Greeting"), QLatin1String(c.folder));
        EXPECT_EQ(LanguageService::isalaboLanguage(), c.arabic);
    }
}

TEST_F(LanguageServiceTest, MissingKeyGivesKeyOrCallersValue)
{
    writeFolders({"en", "fr"}, true);
    storeLanguage(3);
    EXPECT_EQ(LanguageService::localizedStringForKey("No_Such_Key"), QLatin1String("No_Such_Key"));
    EXPECT_EQ(LanguageService::localizedStringForKey(QStringLiteral("No_Such_Key"), QStringLiteral("fallback")),
              QLatin1String("fallback"));
    EXPECT_EQ(LanguageService::localizedStringForKey("No_Such_Key", QString()), QLatin1String("No_Such_Key"));
    EXPECT_EQ(LanguageService::localizedStringForKey("Greeting", QStringLiteral("fallback")), QLatin1String("fr"));
}

TEST_F(LanguageServiceTest, MissingFolderFallsBackToAttachedFolderThenEnglish)
{
    writeFolders({"en", "fr"}, true);

    // "es" is missing and nothing was attached: the bundle's own choice, English.
    storeLanguage(6);
    LanguageService::setLanguage();
    EXPECT_EQ(LanguageService::localizedStringForKey("Greeting"), QLatin1String("en"));
    // The caller's value is not used on the fallback path.
    EXPECT_EQ(LanguageService::localizedStringForKey("No_Such_Key", QStringLiteral("fallback")),
              QLatin1String("No_Such_Key"));

    // Once French was set, a missing folder falls back to it.
    storeLanguage(3);
    LanguageService::setLanguage();
    storeLanguage(6);
    EXPECT_EQ(LanguageService::localizedStringForKey("Greeting"), QLatin1String("fr"));
}

TEST_F(LanguageServiceTest, LanguageChangeTakesEffectAtNextLookup)
{
    writeFolders({"en", "fr", "ar"}, true);
    storeLanguage(3);
    EXPECT_EQ(LanguageService::localizedStringForKey("Greeting"), QLatin1String("fr"));
    storeLanguage(8);
    EXPECT_EQ(LanguageService::localizedStringForKey("Greeting"), QLatin1String("ar"));
    EXPECT_TRUE(LanguageService::isalaboLanguage());
}

} // namespace
