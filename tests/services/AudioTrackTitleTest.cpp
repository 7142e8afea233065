// An audio track's title in the list of a source's tracks, as the user reads it in each language.
#include "services/AudioTrackTitle.h"
#include "services/LanguageService.h"
#include "platform/UserDefaults.h"

#include <gtest/gtest.h>

namespace {

struct TrackCase
{
    int language; // "AppLanguage"
    int number;
    const char *title;
    const char *code;
    int channels;
    int rate;
    const char *expected;
};

class AudioTrackTitleTest : public ::testing::TestWithParam<TrackCase>
{
protected:
    void TearDown() override
    {
        platform::UserDefaults::standard().remove(QStringLiteral("AppLanguage"));
        LanguageService::setLanguage();
    }
};

TEST_P(AudioTrackTitleTest, ShowsNameChannelsAndKilohertz)
{
    const TrackCase &c = GetParam();
    platform::UserDefaults::standard().setValue(QStringLiteral("AppLanguage"), c.language);
    LanguageService::setLanguage();
    EXPECT_EQ(AudioTrackTitle::title(c.number, QString::fromUtf8(c.title), QString::fromLatin1(c.code), c.channels,
                                     c.rate),
              QString::fromUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AudioTrackTitleTest,
    ::testing::Values(
        // The stream's own title comes first; then its language's name; "und" or none gives the number.
        TrackCase{0, 1, "Commentary", "fre", 2, 48000, "Commentary (2 ch, 48 kHz)"},
        TrackCase{0, 2, "", "fre", 1, 44100, "Français (1 ch, 44.1 kHz)"},
        TrackCase{0, 1, "", "eng", 6, 48000, "English (6 ch, 48 kHz)"},
        TrackCase{0, 3, "", "und", 2, 22050, "Track 3 (2 ch, 22.05 kHz)"},
        TrackCase{0, 1, "  ", "", 2, 8000, "Track 1 (2 ch, 8 kHz)"},
        // Unknown channels or rate: the name alone, never "0 ch".
        TrackCase{0, 1, "", "ger", 0, 48000, "Deutsch"},
        TrackCase{4, 1, "", "", 2, 44100, "Spur 1 (2 Kan., 44,1 kHz)"},
        TrackCase{4, 1, "", "deu", 2, 48000, "Deutsch (2 Kan., 48 kHz)"},
        TrackCase{5, 2, "", "jpn", 2, 44100, "日本語（2 ch、44.1 kHz）"},
        TrackCase{1, 1, "", "und", 1, 32000, "音轨 1（1 声道，32 kHz）"},
        // Arabic keeps Latin figures (as every other figure in the windows) with a full stop. The title is
        // one right-to-left isolate, so its words and figures keep their order in a left-to-right pop-up.
        TrackCase{8, 2, "", "", 2, 44100, "\u2067المسار 2 (2 قناة، 44.1 kHz)\u2069"},
        TrackCase{8, 1, "Commentary", "", 2, 48000, "\u2067Commentary (2 قناة، 48 kHz)\u2069"}));

TEST(LanguageName, NamesTheLanguageInItselfWithoutACountry)
{
    EXPECT_EQ(LanguageService::languageName(QStringLiteral("en")), QStringLiteral("English"));
    EXPECT_EQ(LanguageService::languageName(QStringLiteral("spa")), QString::fromUtf8("Español"));
    EXPECT_EQ(LanguageService::languageName(QStringLiteral("ara")), QString::fromUtf8("العربية"));
    EXPECT_EQ(LanguageService::languageName(QStringLiteral("ZHO")), QString::fromUtf8("中文"));
    for (const char *unknown : {"und", "", "xyz", "zxx1"})
        EXPECT_TRUE(LanguageService::languageName(QString::fromLatin1(unknown)).isEmpty()) << unknown;
}

} // namespace
