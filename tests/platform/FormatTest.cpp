#include "platform/Format.h"
#include "platform/Log.h"

#include <gtest/gtest.h>

using platform::format;

TEST(Format, PrintfConversionsAndAtSign)
{
    const std::string name = "clip.mp4";
    const QString qname = QStringLiteral("视频.mov");
    struct Case
    {
        std::string got, expected;
    };
    const Case cases[] = {
        {format("error:%d", -3), "error:-3"},
        {format("%@(%d)", std::string("Stereo"), 2), "Stereo(2)"},
        {format("outputFileurl:%@", qname), "outputFileurl:视频.mov"},
        {format("%@ and %@", name, "literal"), "clip.mp4 and literal"},
        {format("%@", std::string_view("view")), "view"},
        {format("%02i:%02i:%02i.%02i", 1, 2, 3, 4), "01:02:03.04"},
        {format("progress:%f", 12.5), "progress:12.500000"},
        {format("%.2f", 2.0 / 3), "0.67"},
        {format("100%%"), "100%"},
        {format("%d%%", 50), "50%"},
        {format("%5d|%-5d|", 42, 42), "   42|42   |"},
        {format("%s", "plain"), "plain"},
        {format("%ld %lld %u", 7L, 8LL, 9u), "7 8 9"},
        {format("%x %X", 255, 255), "ff FF"},
        {format("%u", -1), "4294967295"},
        {format("%@ %@", 3, 2.5), "3 2.5"},
        {format("%lf", 1.25), "1.250000"},
        {format("%c", 'A'), "A"},
        {format("%*d", 4, 7), "   7"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.got, c.expected);
}

TEST(Format, WrongOrMissingArgumentsNeverCrash)
{
    // A format whose arguments do not fit prints something readable instead of reading garbage.
    EXPECT_EQ(format("%d", std::string("text")), "text");
    EXPECT_EQ(format("%s", 12), "12");
    EXPECT_EQ(format("%d and %d", 1), "1 and %d");
    EXPECT_EQ(format("%@", static_cast<const char *>(nullptr)), "(null)");
    EXPECT_EQ(format("trailing %"), "trailing %");
    EXPECT_EQ(format("%k", 1), "%k");
    EXPECT_EQ(format("%d", 2.9), "2");
}

TEST(Format, QFormatTakesLocalisedFormats)
{
    EXPECT_EQ(platform::qformat("%@x%@", QStringLiteral("1280"), QStringLiteral("720")),
              QStringLiteral("1280x720"));
    EXPECT_EQ(platform::qformat(QStringLiteral("第%d个"), 3), QStringLiteral("第3个"));
}

TEST(Log, CaptureSeesEachLineWhole)
{
    platform::LogCapture capture;
    platform::log("errorcode:%d", -4);
    platform::log("%s", "~RDTextField");
    EXPECT_TRUE(capture.contains("errorcode:-4"));
    EXPECT_TRUE(capture.containsText("RDTextField"));
    EXPECT_EQ(capture.lines().size(), 2u);
}
