#include "model/HelpClass.h"
#include "platform/Log.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <gtest/gtest.h>

namespace {

struct TimeCase
{
    float seconds;
    const char *clock;
    const char *fileName;
};

TEST(HelpClass, SplitsTimesInFloatWithTruncatedHundredths)
{
    const TimeCase cases[] = {
        {3725.5f, "01:02:05.50", "010205.50"},   {1.15f, "00:00:01.14", "000001.14"}, // 1.15f is 1.1499999...
        {3.999f, "00:00:03.99", "000003.99"},    {0.0f, "00:00:00.00", "000000.00"},
        {-1.0f, "00:00:00.00", "000000.00"},     {61.25f, "00:01:01.25", "000101.25"},
        {359999.0f, "99:59:59.00", "995959.00"}, {360000.0f, "100:00:00.00", "1000000.00"},
    };
    for (const TimeCase &c : cases) {
        SCOPED_TRACE(c.seconds);
        EXPECT_EQ(HelpClass::returnTimeToStr(c.seconds), QString::fromUtf8(c.clock));
        EXPECT_EQ(HelpClass::returnTimeToCutFileName(c.seconds), QString::fromUtf8(c.fileName));
    }
}

TEST(HelpClass, WritesGivenPiecesWithoutCarrying)
{
    EXPECT_EQ(HelpClass::retrnTimeToStr(1, 75, 3, 4), QStringLiteral("01:75:03.04"));
    EXPECT_EQ(HelpClass::retrnTimeToStr(-2, 0, 120, 100), QStringLiteral("00:00:120.100"));
}

TEST(HelpClass, CreatesFilenameFromTheGivenClock)
{
    const QDateTime now(QDate(2024, 3, 5), QTime(7, 8, 9));
    EXPECT_EQ(HelpClass::createFilename(now), QStringLiteral("2024-03-05_07-08-09"));
}

TEST(HelpClass, ColourWordHasRedHighAndNoAlpha)
{
    struct Case
    {
        QColor colour;
        uint32_t word;
    };
    const Case cases[] = {
        {QColor::fromRgbF(1.0f, 0.5f, 0.0f), 0xFF7F0000u},
        {QColor(255, 255, 255, 0), 0xFFFFFF00u},
        {QColor(0x12, 0x34, 0x56), 0x12345600u},
        {QColor::fromHsvF(0.0f, 1.0f, 1.0f), 0xFF000000u}, // non-RGB spec is converted
    };
    for (const Case &c : cases)
        EXPECT_EQ(HelpClass::retDwordColorVolue(c.colour), c.word) << c.colour.name().toStdString();
}

TEST(HelpClass, ColourWordLogsComponentsAndRefusesInvalidColour)
{
    platform::LogCapture capture;
    HelpClass::retDwordColorVolue(QColor::fromRgbF(1.0f, 0.5f, 0.0f));
    EXPECT_TRUE(capture.contains("传入的颜色值：red:255 green:127 blue:0"));

    capture.clear();
    EXPECT_EQ(HelpClass::retDwordColorVolue(QColor()), 0u);
    EXPECT_TRUE(capture.containsText("exception:"));
    EXPECT_TRUE(capture.contains("传入的颜色值：red:0 green:0 blue:0"));
}

TEST(HelpClass, ButtonTitleDefaults)
{
    const QString family = QStringLiteral("DejaVu Sans");
    ASSERT_TRUE(QFontDatabase::hasFamily(family));

    const StyledTitle t = HelpClass::retButtonTitle("Open", std::nullopt, family, 0, false, 0);
    EXPECT_EQ(t.text, QStringLiteral("Open"));
    EXPECT_EQ(t.color, QColor(Qt::black));
    EXPECT_EQ(t.alignment, Qt::AlignHCenter);
    ASSERT_TRUE(t.font.has_value());
    EXPECT_EQ(t.font->pixelSize(), 12); // a layout point is one pixel
    EXPECT_EQ(t.font->family(), family);
    EXPECT_FALSE(t.shadow);
    EXPECT_EQ(t.shadowBlur, 0);
    EXPECT_EQ(t.shadowOffset, QPointF(0, 0));

    const StyledTitle right = HelpClass::retButtonTitle("Open", QColor(Qt::red), family, 20, true, 1);
    EXPECT_EQ(right.alignment, Qt::AlignRight);
    EXPECT_EQ(right.color, QColor(Qt::red));
    EXPECT_EQ(right.font->pixelSize(), 20);
    EXPECT_TRUE(right.shadow);
    EXPECT_EQ(right.shadowBlur, 2);
    EXPECT_EQ(right.shadowOffset, QPointF(1, 2));
    EXPECT_NE(right.shadowColor, right.color);

    // The platform's UI font name resolves to an installed family.
    EXPECT_TRUE(HelpClass::retButtonTitle("Open", std::nullopt, ".AppleSystemUIFont", 13, false, 2).font);
}

TEST(HelpClass, ButtonTitleWithoutTextOrFontCarriesLess)
{
    const StyledTitle empty = HelpClass::retButtonTitle("", QColor(Qt::red), "DejaVu Sans", 14, true, 2);
    EXPECT_TRUE(empty.text.isEmpty());
    EXPECT_FALSE(empty.color.isValid());
    EXPECT_FALSE(empty.font.has_value());
    EXPECT_FALSE(empty.shadow);

    const StyledTitle noFont =
        HelpClass::retButtonTitle("Go", QColor(Qt::red), "No Such Family 12345", 14, true, 2);
    EXPECT_EQ(noFont.text, QStringLiteral("Go"));
    EXPECT_EQ(noFont.color, QColor(Qt::red));
    EXPECT_EQ(noFont.alignment, Qt::AlignHCenter);
    EXPECT_FALSE(noFont.font.has_value());
    EXPECT_FALSE(noFont.shadow);
}

TEST(HelpClass, TextHeightAddsFourAndTwiceTheOrigin)
{
    const QRectF empty = HelpClass::getHeightOfText(QString(), 200, 100, std::nullopt);
    EXPECT_DOUBLE_EQ(empty.height(), 4.0 + 2 * empty.y());

    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(20);
    const QString text = QStringLiteral("several words that wrap in a narrow box");
    const QRectF wide = HelpClass::getHeightOfText(text, 2000, 100, font);
    const QRectF narrow = HelpClass::getHeightOfText(text, 120, 100, font);
    const qreal line = QFontMetricsF(font).height();
    EXPECT_NEAR(wide.height(), line + 4 + 2 * wide.y(), 1.0);
    EXPECT_GT(narrow.height(), wide.height() + line / 2); // wrapped onto more lines
}

} // namespace
