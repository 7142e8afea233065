// The start/cancel/finish controller over a join chain on the recording engine: the running flag, the
// start button's caption, the bar, the controls, and one message at the end (none for a cancel).
#include "toolkit/ExportRunController.h"

#include "controls/NSProgressView.h"
#include "controls/PNQButton.h"
#include "services/LanguageService.h"
#include "tests/support/RecordingEngine.h"
#include "tests/support/SharedFixtures.h"
#include "tests/support/TestEnvironment.h"
#include "toolkit/ExportRunHost.h"

#include <gtest/gtest.h>

namespace {

struct Alert
{
    QString message;
    int tag = 0;
    bool fromExportEnd = false;
};

// A window's own start title, unlike any other key's text.
const QString kOwnTitle = QStringLiteral("Join them now");

class FakeHost : public ExportRunHost
{
public:
    FakeHost() { button.setContentTitle(kOwnTitle); }
    NSProgressView *exportProgressView() const override { return const_cast<NSProgressView *>(&bar); }
    PNQButton *startExportBtn() const override { return const_cast<PNQButton *>(&button); }
    void enableControlsForExport(bool enable) override { controlsEnabled.push_back(enable); }
    void showSimpleAlert(const QString &message, int tag, bool fromExportEnd) override
    {
        alerts.push_back({message, tag, fromExportEnd});
    }
    bool isExportHostClosed() const override { return closed; }

    NSProgressView bar;
    PNQButton button;
    std::vector<bool> controlsEnabled;
    std::vector<Alert> alerts;
    bool closed = false;
};

QString text(const char *key)
{
    return LanguageService::localizedStringForKey(key);
}

// A join of two clips with every join setting the engine table offers.
ExportRunController::Launch joinLaunch(const std::string &output)
{
    return [output](ExportRunController::Progress progress, ExportRunController::Finish finish) {
        ChainedExportJob::Step step;
        step.kind = ChainedExportJob::Kind::Join;
        step.configure = [output](MEDIA_HANDLE h) {
            const EngineApi &api = EngineApi::current();
            ChainedExportJob::SetUp setUp;
            const int first = api.joinAddMediaClip(h, "a.mp4", 0, 0);
            api.joinAddMediaClip(h, "b.mp4", 0, 0);
            api.joinSetAudioVolumn(h, first, 0.5);
            api.joinSetTransition(h, first, MEDIA_TRANSITION_FADE, 1000000);
            api.joinSetVideoFrameSize(h, 640, 360);
            api.joinSetVideoFps(h, 25);
            api.joinSetVideoBitrate(h, 1500);
            api.joinSetAudioBitrate(h, 128);
            api.joinSetAudioEncodeContext(h, 2, 48000);
            setUp.code = api.joinSetOutputPath(h, output.c_str());
            return setUp;
        };
        step.progress = [progress](double percent) { progress(percent / 100.0); };
        return ExportRunController::startChain(
            std::make_unique<ChainedExportJob>(std::vector<ChainedExportJob::Step>{step}), finish);
    };
}

class ExportRunControllerTest : public ::testing::Test
{
protected:
    RecordingEngine::Installed engine;
    FakeHost host;
    ExportRunController controller{host};
    std::string output = fixture::freshFolder() + "/joined.mp4";
};

} // namespace

TEST_F(ExportRunControllerTest, RunsTheJoinAndShowsTheFinishDialogOnce)
{
    controller.begin(joinLaunch(output));
    EXPECT_TRUE(controller.isRunning());
    EXPECT_EQ(host.button.contentTitle(), text("CancelexportTitle"));
    EXPECT_EQ(host.controlsEnabled, std::vector<bool>{false});
    EXPECT_EQ(host.bar.progress(), 0.0f);

    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return !controller.isRunning(); }));
    EXPECT_EQ(RecordingEngine::only({"joinClip", "joinVolume", "joinTransition", "joinFrameSize", "joinFps",
                                     "joinVideoBitrate", "joinAudioBitrate", "joinEncodeContext"}),
              (std::vector<std::string>{"joinClip a.mp4 0 0", "joinClip b.mp4 0 0", "joinVolume 1 0.5",
                                        "joinTransition 1 3 1000000", "joinFrameSize 640 360", "joinFps 25",
                                        "joinVideoBitrate 1500", "joinAudioBitrate 128",
                                        "joinEncodeContext 2 48000"}));
    ASSERT_EQ(host.alerts.size(), 1u);
    EXPECT_EQ(host.alerts[0].tag, 1);
    EXPECT_TRUE(host.alerts[0].fromExportEnd);
    EXPECT_EQ(host.button.contentTitle(), kOwnTitle);
    EXPECT_EQ(host.bar.progress(), 1.0f);
    EXPECT_EQ(host.controlsEnabled, (std::vector<bool>{false, true}));
    EXPECT_EQ(RecordingEngine::count("joinClose"), 1);
}

TEST_F(ExportRunControllerTest, FailureShowsTheEngineCodeOnce)
{
    RecordingEngine::joinStartResult = MEDIA_ERR_INPUT;
    controller.begin(joinLaunch(output));
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return !controller.isRunning(); }));
    TestEnvironment::processEvents();
    ASSERT_EQ(host.alerts.size(), 1u);
    EXPECT_EQ(host.alerts[0].tag, 2);
    EXPECT_EQ(host.alerts[0].message, QStringLiteral("error:-3"));
    EXPECT_EQ(host.button.contentTitle(), kOwnTitle);
    // A failed run never reads as complete.
    EXPECT_EQ(host.bar.progress(), 0.0f);
}

TEST_F(ExportRunControllerTest, CancelRestoresAtOnceAndShowsNothing)
{
    RecordingEngine::holdStart = true;
    controller.begin(joinLaunch(output));
    ASSERT_TRUE(TestEnvironment::waitUntil([] { return RecordingEngine::count("joinStart") == 1; }));
    controller.cancel();
    EXPECT_FALSE(controller.isRunning());
    EXPECT_EQ(host.button.contentTitle(), kOwnTitle);
    EXPECT_EQ(host.controlsEnabled, (std::vector<bool>{false, true}));
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return controller.runningChain() == nullptr; }));
    TestEnvironment::processEvents();
    EXPECT_TRUE(host.alerts.empty());
}

TEST_F(ExportRunControllerTest, NothingIsShownOnceTheWindowHasClosed)
{
    RecordingEngine::holdStart = true;
    controller.begin(joinLaunch(output));
    ASSERT_TRUE(TestEnvironment::waitUntil([] { return RecordingEngine::count("joinStart") == 1; }));
    host.closed = true;
    RecordingEngine::successAfterStop = true;
    RecordingEngine::stop(nullptr);
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return controller.runningChain() == nullptr; }));
    TestEnvironment::processEvents();
    EXPECT_TRUE(host.alerts.empty());
}

TEST_F(ExportRunControllerTest, LaunchThatStartsNothingRestoresAtOnce)
{
    controller.begin([](ExportRunController::Progress, ExportRunController::Finish) { return nullptr; });
    EXPECT_FALSE(controller.isRunning());
    EXPECT_EQ(host.button.contentTitle(), kOwnTitle);
    EXPECT_EQ(host.controlsEnabled, (std::vector<bool>{false, true}));
    EXPECT_TRUE(host.alerts.empty());
}
