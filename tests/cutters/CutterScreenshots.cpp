// Not part of the suite: the easy cutter with two cuts (one being modified) and the splitter with a file
// and hand-placed split points, in English, German and Arabic, each saved as a picture of the screen in
// $VW_SCREENSHOT_DIR, for a look under Xvfb:
//   VW_SCREENSHOT_DIR=/tmp/shots xvfb-run -a -s '-screen 0 1366x768x24' env QT_QPA_PLATFORM=xcb \
//     build/bin/test_cutters --gtest_also_run_disabled_tests --gtest_filter='CutterScreenshots.*'
#include "tests/cutters/EasyCutterTestWindow.h"
#include "tests/cutters/SplitterWindow.h"

#include "cutters/SplitProgressView.h"
#include "tests/support/ScreenshotLanguages.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>

namespace {

void settleAndShoot(platform::WindowController *controller, const QString &name)
{
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 800)
        TestEnvironment::processEvents();
    QGuiApplication::primaryScreen()->grabWindow(0).save(qEnvironmentVariable("VW_SCREENSHOT_DIR") + u'/' +
                                                         name + QStringLiteral(".png"));
    controller->close();
    TestEnvironment::processDeferredDeletes();
}

class EasyCutterShot : public easycuttest::EasyCutterWindowTest
{
public:
    void TestBody() override {}
    void shoot(const QString &code)
    {
        openWith(easycuttest::longClip());
        cutter->center();
        cutAt(10, 25.5f);
        cutAt(40, 62);
        cutter->cutList().setOverlayIndex(1);
        cutter->modifyAction();
        settleAndShoot(cutter, QStringLiteral("easycutter-") + code);
        cutter = nullptr;
    }
};

class SplitterShot : public SplitterWindowTest
{
public:
    void TestBody() override {}
    void shoot(const QString &code)
    {
        openWith(twelveSecondClip());
        splitter->center();
        splitter->limiteachManuallySegmentAction();
        SplitProgressView *timeline = splitter->playerSlider();
        const double span = timeline->frame().width() - SplitProgressView::markerSize;
        for (double seconds : {3.0, 7.5}) {
            timeline->beginBtn()->setFrameOrigin(
                platform::Point{span * seconds / 12.0, timeline->beginBtn()->frame().origin.y});
            splitter->splitItemAction();
        }
        settleAndShoot(splitter, QStringLiteral("splitter-") + code);
        splitter = nullptr;
    }
};

} // namespace

TEST(CutterScreenshots, DISABLED_EasyCutterAndSplitterInEnglishGermanAndArabic)
{
    if (qEnvironmentVariable("VW_SCREENSHOT_DIR").isEmpty())
        GTEST_SKIP();
    inScreenshotLanguages([](const QString &code) {
        EasyCutterShot easy;
        easy.shoot(code);
        SplitterShot split;
        split.shoot(code);
        TestEnvironment::scriptedPanels().reset();
    });
}
