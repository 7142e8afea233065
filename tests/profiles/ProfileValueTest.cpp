#include "platform/Log.h"
#include "profiles/ProfileValue.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using Rules = ProfileValue::Rules;
using Title = std::optional<QString>;
using Items = std::optional<QStringList>;

struct ValueCase
{
    const char *value;
    Rules rules;
    Title title;
    Items items;
};

TEST(ProfileValue, TakesDefaultAndItemsApart)
{
    const Rules C = Rules::Chooser;
    const Rules S = Rules::SettingsWindow;
    const ValueCase cases[] = {
        {"a, b,{c,d}", C, " b", QStringList{"c", "d"}},
        {"a, b,{c,d}", S, " b", QStringList{"c", "d"}},
        {" x ,{c, d}", C, "x", QStringList{"c", " d"}},
        {" x ,{c, d}", S, "x", QStringList{"c", "d"}},
        {",{c,d}", C, "", QStringList{"c", "d"}},
        {",{c,d}", S, "c", QStringList{"c", "d"}},
        {",{ ,d}", S, "d", QStringList{"d"}},
        {"x", C, "x", QStringList{"x"}},
        {"x", S, "x", QStringList{"x"}},
        {"x , {a, b}", C, "x", QStringList{"a", " b"}},
        {"\"h264\",{\"h264\",\"mpeg4\"}", C, "h264", QStringList{"h264", "mpeg4"}},
        {"2(Stereo),{1,2(Stereo)}", C, "2(Stereo)", QStringList{"1", "2(Stereo)"}},
        {"a,{b,,c,}", C, "a", QStringList{"b", "c"}},
        {"1280x720, 720x480", C, " 720x480", QStringList{"720x480"}},
        {" 4 4 ", S, "4 4", QStringList{"44"}},
        {"   ,{c}", C, std::nullopt, QStringList{"c"}},
        {"   ,{c}", S, std::nullopt, QStringList{"c"}},
        {"   ", C, "", std::nullopt},
        {"   ", S, std::nullopt, std::nullopt},
        {"\"\"", C, std::nullopt, std::nullopt},
        {"", S, std::nullopt, std::nullopt},
    };
    for (const ValueCase &c : cases) {
        SCOPED_TRACE(std::string(c.value) + (c.rules == S ? " (settings window)" : " (chooser)"));
        const QString value = QString::fromLatin1(c.value);
        EXPECT_EQ(ProfileValue::resultSelectItemTitleForContentStr(value, c.rules), c.title);
        EXPECT_EQ(ProfileValue::resultContentStrForArr(value, c.rules), c.items);
    }
}

TEST(ProfileValue, EmptyValueLogsNoContent)
{
    platform::LogCapture capture;
    EXPECT_FALSE(ProfileValue::resultSelectItemTitleForContentStr(QStringLiteral("\"\"")));
    EXPECT_FALSE(ProfileValue::resultContentStrForArr(QString()));
    EXPECT_EQ(capture.lines(), (std::vector<std::string>{"no have content", "no have content"}));
}

TEST(ProfileValue, TrimsBlanksButNotTabs)
{
    const struct
    {
        const char *text;
        std::optional<QString> expected;
    } cases[] = {
        {"  a b  ", "a b"}, {"\ta ", "\ta"}, {"a", "a"}, {"   ", std::nullopt}, {"", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ProfileValue::new_startAndendnospaceString(QString::fromLatin1(c.text)), c.expected);
    }
}

} // namespace
