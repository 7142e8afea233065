// Trace lines are quiet unless their subsystem's category is enabled; warnings and errors print; every
// line reaches LogCapture.
#include "platform/Log.h"

#include <QLoggingCategory>

#include <gtest/gtest.h>

#include <source_location>
#include <string>

namespace {

// Runs `body` and returns what it wrote to standard error.
template <class F> std::string stderrOf(F body)
{
    testing::internal::CaptureStderr();
    body();
    return testing::internal::GetCapturedStderr();
}

class LogLevels : public ::testing::Test
{
protected:
    void TearDown() override { QLoggingCategory::setFilterRules(QString()); }
};

TEST_F(LogLevels, TraceIsQuietByDefaultWarningsAndErrorsPrint)
{
    platform::LogCapture capture;
    const std::string printed = stderrOf([] {
        platform::log("progress:%f", 0.5);
        platform::logWarning("errorcode:%d", -4);
        platform::logError("error:%d", -3);
    });
    EXPECT_EQ(printed, "errorcode:-4\nerror:-3\n");
    EXPECT_EQ(capture.lines(), (std::vector<std::string>{"progress:0.500000", "errorcode:-4", "error:-3"}));
}

TEST_F(LogLevels, RulesTurnOnTheTraceOfOneSubsystemAsGiven)
{
    // This file is under tests/, so its lines are in "vw.tests".
    QLoggingCategory::setFilterRules(QStringLiteral("vw.editor.debug=true"));
    EXPECT_EQ(stderrOf([] { platform::log("%s", "-[RDButton dealloc]"); }), "");
    QLoggingCategory::setFilterRules(QStringLiteral("vw.*.debug=true"));
    EXPECT_EQ(stderrOf([] { platform::log("%s", "-[RDButton dealloc]"); }), "-[RDButton dealloc]\n");
    QLoggingCategory::setFilterRules(QStringLiteral("vw.tests.warning=false"));
    EXPECT_EQ(stderrOf([] { platform::logWarning("errorcode:%d", -4); }), "");
}

TEST(LogCategory, IsTheTopFolderOfTheCallingFile)
{
    // Paths as the compiler gives them: starting like this file's own path, or relative to the build folder.
    const std::string self = std::source_location::current().file_name();
    const std::string root = self.substr(0, self.size() - std::string("tests/platform/LogTest.cpp").size());
    ASSERT_EQ(root + "tests/platform/LogTest.cpp", self);
    EXPECT_EQ(platform::logCategoryOf(self), "vw.tests");
    EXPECT_EQ(platform::logCategoryOf(root + "editor/tools/RDWaterView.cpp"), "vw.editor");
    EXPECT_EQ(platform::logCategoryOf(root + "controls/PNQButton.cpp"), "vw.controls");
    EXPECT_EQ(platform::logCategoryOf("../../model/SimpleData.cpp"), "vw.model");
    EXPECT_EQ(platform::logCategoryOf("./profiles/ProfileValue.cpp"), "vw.profiles");
    EXPECT_EQ(platform::logCategoryOf("Loose.cpp"), "vw");
}

} // namespace
