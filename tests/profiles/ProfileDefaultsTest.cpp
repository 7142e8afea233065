// A shipped profile's video defaults against the pictures being converted: one source keeps its picture
// and gets a bit rate scaled to it; a join never outgrows its largest clip.
#include "profiles/ProfileDefaults.h"

#include "platform/Bundle.h"
#include "profiles/ProfileLibrary.h"
#include "tests/support/TempResources.h"

#include <gtest/gtest.h>

namespace {

using Video = ProfileDefaults::Video;
using Use = ProfileDefaults::Use;

const QStringList kChoices = {"1000", "2000", "3000", "4000", "5000", "8000", "12000", "20000"};

TEST(ProfileDefaults, TheBitRateScalesByPixelsToTheNearestChoice)
{
    const struct
    {
        const char *bitRate;
        QSize reference, picture;
        QStringList choices;
        const char *expected;
    } cases[] = {
        {"5000", {1920, 1080}, {1280, 720}, kChoices, "2000"},   // 2222
        {"5000", {1920, 1080}, {640, 360}, kChoices, "1000"},    // 556: below every choice
        {"5000", {1920, 1080}, {3840, 2160}, kChoices, "20000"}, // 20000 exactly
        {"5000", {1920, 1080}, {7680, 4320}, kChoices, "20000"}, // above every choice
        {"5000", {1920, 1080}, {1920, 1080}, kChoices, "5000"},
        {"4000", {1280, 720}, {1280, 720}, {"1000", "6000"}, "6000"},  // a tie takes the larger
        {"3000", {1920, 1080}, {1280, 720}, {"800", "1500", "2000"}, "1500"}, // 1333
        {"3000", {1920, 1080}, {1280, 720}, {}, "1333"},                    // no choices: the figure
        {"3000", {1920, 1080}, {1280, 720}, {"fast", "0"}, "1333"},         // no number among them
        {"Custom", {1920, 1080}, {1280, 720}, kChoices, "Custom"},
        {"", {1920, 1080}, {1280, 720}, kChoices, ""},
        {"5000", {1920, 1080}, {}, kChoices, "5000"}, // unknown picture
        {"5000", {1920, 1080}, {0, 720}, kChoices, "5000"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.bitRate << " " << c.picture.width() << "x" << c.picture.height());
        EXPECT_EQ(ProfileDefaults::scaledBitRate(QString::fromLatin1(c.bitRate), c.reference, c.picture, c.choices),
                  QString::fromLatin1(c.expected));
    }
}

TEST(ProfileDefaults, OneSourceKeepsItsPictureAndScalesFromTheProfilesOwnSize)
{
    const Video hd{"1920x1080", "30", "5000"};
    EXPECT_EQ(ProfileDefaults::resolve(hd, kChoices, Use::OneSource, {1280, 720}), (Video{"", "", "2000"}));
    EXPECT_EQ(ProfileDefaults::resolve(hd, kChoices, Use::OneSource, {}), (Video{"", "", "5000"}))
        << "without a source the figure stays";
    // A profile made for 720p keeps its figure for a 720p source.
    const Video small{"1280x720", "25", "4000"};
    EXPECT_EQ(ProfileDefaults::resolve(small, kChoices, Use::OneSource, {1280, 720}), (Video{"", "", "4000"}));
    // No size in the profile: its figure is taken as full HD's.
    EXPECT_EQ(ProfileDefaults::resolve({"", "", "5000"}, kChoices, Use::OneSource, {1280, 720}),
              (Video{"", "", "2000"}));
}

TEST(ProfileDefaults, AJoinKeepsTheProfilesSizeUnlessTheLargestClipIsSmaller)
{
    const Video hd{"1920x1080", "30", "5000"};
    EXPECT_EQ(ProfileDefaults::resolve(hd, kChoices, Use::Join, {640, 360}), (Video{"640x360", "30", "1000"}));
    EXPECT_EQ(ProfileDefaults::resolve(hd, kChoices, Use::Join, {1280, 720}), (Video{"1280x720", "30", "2000"}));
    EXPECT_EQ(ProfileDefaults::resolve(hd, kChoices, Use::Join, {3840, 2160}), hd) << "never enlarged";
    EXPECT_EQ(ProfileDefaults::resolve(hd, kChoices, Use::Join, {1080, 1920}), hd) << "as many pixels";
    EXPECT_EQ(ProfileDefaults::resolve(hd, kChoices, Use::Join, {720, 1280}), (Video{"720x1280", "30", "2000"}))
        << "a portrait clip with fewer pixels gives its own shape";
    EXPECT_EQ(ProfileDefaults::resolve(hd, kChoices, Use::Join, {}), hd) << "no clips";
    const Video custom{"Custom", "30", "Custom"};
    EXPECT_EQ(ProfileDefaults::resolve(custom, kChoices, Use::Join, {640, 360}), custom);
}

TEST(ProfileDefaults, OnlyProfilesInTheResourcesAreShipped)
{
    TempResources resources;
    resources.write(QStringLiteral("Settings.bundle/functionFolder/Video/mp4(H.264).pf"), "[Main]\n");
    EXPECT_TRUE(ProfileDefaults::isShipped(resources.path() + "/Settings.bundle/functionFolder/Video/mp4(H.264).pf"));
    EXPECT_TRUE(ProfileDefaults::isShipped(QStringLiteral("Settings.bundle/functionFolder/Video/mp4(H.264).pf")))
        << "relative to the resources";
    EXPECT_FALSE(ProfileDefaults::isShipped(ProfileLibrary::customFolder() + QStringLiteral("/Mine.pf")));
    EXPECT_FALSE(ProfileDefaults::isShipped(resources.path() + "/../elsewhere/mp4.pf"));
    EXPECT_FALSE(ProfileDefaults::isShipped(resources.path() + "-other/Video/mp4.pf")) << "a sibling folder";
    EXPECT_FALSE(ProfileDefaults::isShipped(QString()));
}

} // namespace
