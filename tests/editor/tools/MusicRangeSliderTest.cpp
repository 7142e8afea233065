// The music range slider: drags give the fractions the pointer shows, the handles never cross, the bar
// keeps its width and covers 0 .. 1 - width exactly, the tick reaches 1, and the music bar and repeat
// look follow the values.
#include "editor/tools/MusicRangeSlider.h"

#include <QApplication>
#include <QMouseEvent>

#include <gtest/gtest.h>

namespace {

struct Reports : MusicRangeSliderDelegate
{
    std::vector<std::string> calls;
    void changeProgress(MusicRangeSlider *) override { calls.push_back("progress"); }
    void changeRangeValue(MusicRangeSlider *) override { calls.push_back("range"); }
};

// Presses `piece` 3 points from its left edge and moves the pointer `dx` points sideways.
void drag(PNQDraggedView *piece, double dx)
{
    const QPointF grab(3, 3);
    const QPointF to = grab + QPointF(dx, 0);
    QMouseEvent press(QEvent::MouseButtonPress, grab, piece->mapToGlobal(grab), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(piece, &press);
    QMouseEvent move(QEvent::MouseMove, to, piece->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(piece, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, to, piece->mapToGlobal(to), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(piece, &release);
}

// 210 points wide: a 200-point track, so one point is 0.005.
struct Bench
{
    MusicRangeSlider slider{platform::makeRect(0, 0, 210, 30)};
    Reports reports;
    Bench() { slider.setDelegate(&reports); }
};

} // namespace

TEST(MusicRangeSlider, HandlesFollowThePointerAndNeverCross)
{
    Bench b;
    b.slider.setVideoRangeLowerValue(0.2f, 0.6f);
    b.slider.setMusicRangeLowerValue(0.0f, 0.3f);
    const struct
    {
        const char *name;
        bool left;
        double dx;
        float lower, upper;
    } steps[] = {
        {"left handle 20 points right", true, 20, 0.3f, 0.6f},
        {"left handle past the right one", true, 150, 0.6f, 0.6f},
        {"left handle fully left", true, -500, 0.0f, 0.6f},
        {"right handle fully right", false, 500, 0.0f, 1.0f},
        {"right handle past the left one", false, -500, 0.0f, 0.0f},
        {"right handle 30 points right", false, 30, 0.0f, 0.15f},
    };
    for (const auto &s : steps) {
        SCOPED_TRACE(s.name);
        drag(s.left ? b.slider.leftMoveView() : b.slider.rightMoveView(), s.dx);
        EXPECT_NEAR(b.slider.positionLeftValue(), s.lower, 1e-5);
        EXPECT_NEAR(b.slider.positionRightValue(), s.upper, 1e-5);
        EXPECT_LE(b.slider.positionLeftValue(), b.slider.positionRightValue());
        EXPECT_EQ(b.reports.calls.back(), "range");
    }
    // The music start follows the range start.
    EXPECT_NEAR(b.slider.musicLeftValue(), 0.0f, 1e-5);
}

TEST(MusicRangeSlider, MiddleBarKeepsItsWidthAndCoversTheWholeTrack)
{
    Bench b;
    b.slider.setVideoRangeLowerValue(0.2f, 0.6f);
    b.slider.setMusicRangeLowerValue(0.1f, 0.5f);
    drag(b.slider.videoPositionView(), 20);
    EXPECT_NEAR(b.slider.positionLeftValue(), 0.3f, 1e-5) << "exactly as far as the pointer";
    EXPECT_NEAR(b.slider.positionRightValue(), 0.7f, 1e-5);
    EXPECT_NEAR(b.slider.musicRightValue(), 0.4f, 1e-5) << "the music no longer than the range";
    drag(b.slider.videoPositionView(), 500);
    EXPECT_NEAR(b.slider.positionLeftValue(), 0.6f, 1e-5);
    EXPECT_NEAR(b.slider.positionRightValue(), 1.0f, 1e-5);
    drag(b.slider.videoPositionView(), -500);
    EXPECT_NEAR(b.slider.positionLeftValue(), 0.0f, 1e-5);
    EXPECT_NEAR(b.slider.positionRightValue(), 0.4f, 1e-5);
    // The handles stand on the ends.
    EXPECT_NEAR(b.slider.rightMoveView()->frame().origin.x, 0.4 * 200, 1e-3);
}

TEST(MusicRangeSlider, TickReachesTheEndInPlayMode)
{
    Bench b;
    b.slider.setEnable(false);
    EXPECT_TRUE(b.slider.leftMoveView()->isHidden());
    EXPECT_FALSE(b.slider.tickMarkView()->isHidden());
    drag(b.slider.videoPositionView(), 50);
    EXPECT_TRUE(b.reports.calls.empty()) << "the range is fixed in play mode";
    drag(b.slider.tickMarkView(), 500);
    EXPECT_FLOAT_EQ(b.slider.progress(), 1.0f);
    EXPECT_EQ(b.reports.calls, (std::vector<std::string>{"progress", "range"}));
    drag(b.slider.tickMarkView(), -(210 - 21) / 2.0);
    EXPECT_NEAR(b.slider.progress(), 0.5f, 1e-5);
}

TEST(MusicRangeSlider, ValuesMusicBarAndRepeatLook)
{
    Bench b;
    b.slider.setVideoRangeLowerValue(-0.2f, 1.3f);
    EXPECT_FLOAT_EQ(b.slider.positionLeftValue(), 0.0f);
    EXPECT_FLOAT_EQ(b.slider.positionRightValue(), 1.0f);

    b.slider.setVideoRangeLowerValue(0.2f, 0.6f);
    b.slider.setMusicRangeLowerValue(0.1f, 0.5f);
    EXPECT_FLOAT_EQ(b.slider.musicLeftValue(), 0.1f);
    EXPECT_FLOAT_EQ(b.slider.musicRightValue(), 0.5f);
    EXPECT_NEAR(b.slider.musicRangeView()->frame().width(), 0.4 * 200, 1e-3);
    EXPECT_NEAR(b.slider.musicRangeView()->frame().origin.x, 0.2 * 200 + 5, 1e-3);

    b.slider.setIsRepeat(true);
    EXPECT_TRUE(b.slider.videoPositionView()->separatorPositions().isEmpty())
        << "a music bar as wide as the range: its one separator falls beyond the edge";
    b.slider.setMusicRangeLowerValue(0.1f, 0.2f);
    const QList<double> separators = b.slider.videoPositionView()->separatorPositions();
    ASSERT_EQ(separators.size(), 1) << "one, 2 points right of the bar's middle";
    EXPECT_NEAR(separators[0], 0.2 * 200 + 2, 1e-3);
    b.slider.setMusicRangeLowerValue(0.1f, 0.0f);
    EXPECT_TRUE(b.slider.videoPositionView()->separatorPositions().isEmpty());

    // A resize keeps the fractions.
    b.slider.setFrame(platform::makeRect(0, 0, 410, 30));
    EXPECT_FLOAT_EQ(b.slider.positionLeftValue(), 0.2f);
    EXPECT_NEAR(b.slider.videoPositionView()->frame().origin.x, 0.2 * 400 + 5, 1e-3);
    EXPECT_NEAR(b.slider.rightMoveView()->frame().origin.x, 0.6 * 400, 1e-3);
}
