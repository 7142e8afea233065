#include "platform/NumberScan.h"

#include <gtest/gtest.h>

#include <climits>

TEST(NumberScan, ReadsTheLeadingNumber)
{
    struct Case
    {
        const char *text;
        long long expected;
    };
    const Case cases[] = {
        {"1280x720", 1280}, {"2(Stereo)", 2}, {" 25 fps", 25}, {"abc", 0},   {"-3x", -3}, {"", 0},
        {"+7", 7},          {"\t\n 42", 42},  {"- 5", 0},      {"12.9", 12}, {"0x1F", 0},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(platform::scanLongLong(c.text), c.expected) << c.text;
        EXPECT_EQ(platform::scanInt(c.text), c.expected) << c.text;
        EXPECT_EQ(platform::scanInt(QString::fromUtf8(c.text)), c.expected) << c.text;
    }
}

TEST(NumberScan, IntegersClampAtTheirLimits)
{
    EXPECT_EQ(platform::scanInt("99999999999"), INT_MAX);
    EXPECT_EQ(platform::scanInt("-99999999999"), INT_MIN);
    EXPECT_EQ(platform::scanLongLong("99999999999"), 99999999999LL);
    EXPECT_EQ(platform::scanLongLong("99999999999999999999999"), LLONG_MAX);
    EXPECT_EQ(platform::scanLongLong("-9223372036854775808"), LLONG_MIN);
}

TEST(NumberScan, DoublesTakeFractionAndExponent)
{
    struct Case
    {
        const char *text;
        double expected;
    };
    const Case cases[] = {
        {"29.97 fps", 29.97}, {" -0.5s", -0.5}, {".25", 0.25}, {"1e3x", 1000}, {"2e", 2},
        {"abc", 0},           {"", 0},          {"inf", 0},    {"nan", 0},     {"3.", 3},
    };
    for (const Case &c : cases) {
        EXPECT_DOUBLE_EQ(platform::scanDouble(c.text), c.expected) << c.text;
        EXPECT_DOUBLE_EQ(platform::scanDouble(QString::fromUtf8(c.text)), c.expected) << c.text;
    }
}

TEST(NumberScan, FirstNumberSkipsEverythingBeforeTheFirstDigit)
{
    struct Case
    {
        const char *text;
        double value;
    };
    for (const Case &c : {Case{"10 Sec", 10}, Case{"Size: 2.5MB", 2.5}, Case{"-3", 3}, Case{"12.5秒", 12.5},
                          Case{"MB", 0}, Case{"", 0}, Case{"v1e3", 1}, Case{".5", 5}})
        EXPECT_DOUBLE_EQ(platform::scanFirstNumber(QString::fromUtf8(c.text)), c.value) << c.text;
}
