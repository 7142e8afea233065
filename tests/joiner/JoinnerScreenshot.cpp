// Not part of the suite: shows the join window with three clips in English, German and Arabic and
// grabs each to a PNG in $VW_SCREENSHOT_DIR, for a look under Xvfb:
//   VW_SCREENSHOT_DIR=/tmp/shots xvfb-run -a env QT_QPA_PLATFORM=xcb build/bin/test_joiner \
//     --gtest_also_run_disabled_tests --gtest_filter='*Screenshot*'
#include "tests/joiner/JoinerFixture.h"

#include "tests/support/ScreenshotLanguages.h"

#include <QElapsedTimer>

namespace {

using namespace joinertest;

class JoinnerScreenshot : public JoinerTest
{
};

TEST_F(JoinnerScreenshot, DISABLED_ThreeClipsInEnglishGermanAndArabic)
{
    const QString folder = qEnvironmentVariable("VW_SCREENSHOT_DIR");
    ASSERT_FALSE(folder.isEmpty());
    inScreenshotLanguages([&](const QString &code) {
        open();
        TestEnvironment::processEvents();
        EXPECT_TRUE(joiner->window()->grab().save(folder + QStringLiteral("/joiner-empty-%1.png").arg(code)));
        add({clipOf(320, 180, 3), clipOf(160, 90, 2), clipOf(240, 136, 2)});
        joiner->fileList()->at(0)->setTransitionEffect(3);
        joiner->fileListTableView()->reloadData();
        QElapsedTimer wait;
        wait.start();
        while (wait.elapsed() < 1500)
            TestEnvironment::processEvents();
        EXPECT_TRUE(joiner->window()->grab().save(folder + QStringLiteral("/joiner-%1.png").arg(code)));
        joiner->close();
        TestEnvironment::processDeferredDeletes();
    });
}

} // namespace
