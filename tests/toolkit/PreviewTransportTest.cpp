#include "toolkit/PreviewTransport.h"

#include "controls/PNQButton.h"
#include "controls/RDCutProgressView.h"
#include "controls/RDProgressSlider.h"
#include "controls/TextLabel.h"
#include "media/RDMoviePlayer.h"
#include "model/HelpClass.h"
#include "platform/Log.h"
#include "platform/Timer.h"
#include "services/ResourceService.h"
#include "tests/support/SharedFixtures.h"
#include "tests/support/TestEnvironment.h"
#include "toolkit/PreviewHost.h"

#include "tests/controls/ControlTestSupport.h"

#include <gtest/gtest.h>

using namespace controltest;

namespace {

struct PreviewTransportTest : ::testing::Test
{
    PreviewTransportTest()
    {
        transport.setControls({play, trimPlay, bar, left, right, volume, slider});
        slider->setProgress(0.5f);
    }
    ~PreviewTransportTest() override { preview.close(); }

    bool tickRuns() const { return preview.timer() && preview.timer()->isValid(); }

    Host host{400, 200, Qt::white};
    platform::View *pictureHost = new platform::View(platform::makeRect(0, 100, 160, 90), &host.root);
    PNQButton *play = new PNQButton(platform::makeRect(0, 60, 28, 28), &host.root);
    PNQButton *trimPlay = new PNQButton(platform::makeRect(40, 60, 28, 28), &host.root);
    RDCutProgressView *bar = new RDCutProgressView(platform::makeRect(0, 30, 300, 28), &host.root);
    TextLabel *left = new TextLabel(platform::makeRect(0, 0, 80, 20), &host.root);
    TextLabel *right = new TextLabel(platform::makeRect(300, 0, 80, 20), &host.root);
    PNQButton *volume = new PNQButton(platform::makeRect(100, 60, 28, 28), &host.root);
    RDProgressSlider *slider = new RDProgressSlider(platform::makeRect(140, 66, 110, 16), &host.root);
    PreviewHost preview;
    PreviewTransport transport{preview};
};

} // namespace

TEST_F(PreviewTransportTest, PlayAndPauseDriveBothButtonsAndTheTickAndDoNothingWithoutAPlayer)
{
    transport.play();
    EXPECT_FALSE(transport.isPlaying()) << "no player yet";
    EXPECT_FALSE(play->selected());

    ASSERT_TRUE(preview.open(QString::fromStdString(fixture::longTinyClip()), pictureHost, {}));
    transport.play();
    EXPECT_TRUE(transport.isPlaying());
    EXPECT_TRUE(play->selected());
    EXPECT_TRUE(trimPlay->selected());
    EXPECT_TRUE(tickRuns());

    transport.pause();
    EXPECT_FALSE(transport.isPlaying());
    EXPECT_FALSE(play->selected());
    EXPECT_FALSE(trimPlay->selected());
    EXPECT_FALSE(tickRuns());

    transport.play();
    transport.stopped();
    EXPECT_FALSE(transport.isPlaying());
    EXPECT_FALSE(play->selected());
    EXPECT_FALSE(tickRuns());
}

TEST_F(PreviewTransportTest, TickShowsThePlayheadOnTheBarAndTheLabels)
{
    ASSERT_TRUE(preview.open(QString::fromStdString(fixture::longTinyClip()), pictureHost, {}));
    preview.seek(62.0);
    TestEnvironment::processEvents();
    {
        platform::LogCapture log;
        transport.tick();
        ASSERT_EQ(log.lines().size(), 1u);
        EXPECT_EQ(log.lines().front().rfind("player_progress:", 0), 0u);
    }
    // A quiet transport (the joiner's) moves the same controls without a line per tick.
    PreviewTransport quiet{preview};
    quiet.setControls({play, trimPlay, bar, left, right, volume, slider, false});
    platform::LogCapture quietLog;
    quiet.tick();
    EXPECT_TRUE(quietLog.lines().empty());
    const double at = preview.currentTime();
    ASSERT_GT(at, 0);
    EXPECT_NEAR(bar->progress(), at / preview.duration(), 1e-4);
    EXPECT_EQ(left->text(), HelpClass::returnTimeToStr(float(at)));
    EXPECT_EQ(right->text(), HelpClass::returnTimeToStr(float(preview.duration())));
}

TEST_F(PreviewTransportTest, MutingSwapsTheVolumeImagesAndMovesTheSlider)
{
    ASSERT_TRUE(preview.open(QString::fromStdString(fixture::longTinyClip()), pictureHost, {}));
    const QImage closed = ResourceService::imageWithfileName("Cut/btnCloseVolume_Normal.png");
    const QImage open = ResourceService::imageWithfileName("Cut/btnOpenVolume_Normal.png");
    ASSERT_NE(closed, open);

    transport.setMuted(true);
    EXPECT_TRUE(transport.isMuted());
    EXPECT_EQ(volume->normalImage(), closed);
    EXPECT_FLOAT_EQ(slider->progress(), 0.0f);

    transport.setMuted(false);
    EXPECT_FALSE(transport.isMuted());
    EXPECT_EQ(volume->normalImage(), open);
    EXPECT_FLOAT_EQ(slider->progress(), 0.5f);
}
