#include "controls/RDCutProgressView.h"

#include "services/ResourceService.h"
#include "controls/ImageView.h"

#include "ControlTestSupport.h"

#include <gtest/gtest.h>

using namespace controltest;

namespace {

// W 418 gives a bar from x 9 to 409 (400 wide); H 30 puts the handles' row at y 0..12.
constexpr double W = 418, H = 30, bx = 9, bw = 400;
constexpr double handleY = 5; // on the handles' row
constexpr double barY = 22;   // above it: clicks there move the tick

struct Recorder : RDCutProgressViewDelegate
{
    void actionMouseDownForCutProgressViewBlock(RDCutProgressView *, float v) override { downs.push_back(v); }
    void actionMouseUpForCutProgressViewBlock(RDCutProgressView *, float v) override { ups.push_back(v); }
    void actionSeekToTimeForCutProgressViewBlock(RDCutProgressView *, float v) override
    {
        seeks.push_back(v);
    }
    void actionMouseMovedForCutProgressViewBlock(RDCutProgressView *, float lo, float up, int64_t h) override
    {
        moves.push_back({lo, up, h});
    }
    int calls() const { return int(downs.size() + ups.size() + seeks.size() + moves.size()); }
    struct Move
    {
        float lower, upper;
        int64_t handle;
    };
    std::vector<float> downs, ups, seeks;
    std::vector<Move> moves;
};

struct Fixture
{
    Fixture() : root(platform::makeRect(0, 0, W, H))
    {
        bar = new RDCutProgressView(platform::makeRect(0, 0, W, H), &root);
        bar->setDelegate(&recorder);
        root.show();
    }
    double tickCentre() const { return bar->tickMarkView()->frame().midX(); }
    double startHandleCentre() const { return bar->handLeftView()->frame().midX(); }
    double endHandleCentre() const { return bar->handRightView()->frame().midX(); }
    platform::View root;
    RDCutProgressView *bar;
    Recorder recorder;
};

QImage resource(const char *name)
{
    return ResourceService::imageWithfileName(name);
}

} // namespace

TEST(RDCutProgressView, PlacesHandlesAndTintFromValues)
{
    Fixture f;
    f.bar->setLowerValueUpperValue(0.25f, 0.75f);
    // Keep mode: the handles' inner edges are the boundaries, the tint runs between them.
    EXPECT_EQ(f.bar->handLeftView()->frame().maxX(), bx + 0.25 * bw);
    EXPECT_EQ(f.bar->handRightView()->frame().minX(), bx + 0.75 * bw);
    EXPECT_EQ(f.bar->progressTintView()->frame().minX(), bx + 0.25 * bw);
    EXPECT_EQ(f.bar->progressTintView()->frame().width(), 0.5 * bw);
    EXPECT_EQ(f.tickCentre(), bx + 0.25 * bw) << "the tick ends at the start";
    EXPECT_FLOAT_EQ(f.bar->lowerValue(), 0.25f);
    EXPECT_FLOAT_EQ(f.bar->upperValue(), 0.75f);
}

TEST(RDCutProgressView, ReadsAnEndOfZeroAsTheEnd)
{
    Fixture f;
    f.bar->setLowerValueUpperValue(0.25f, 0);
    EXPECT_FLOAT_EQ(f.bar->upperValue(), 1.0f);
    EXPECT_EQ(f.bar->handRightView()->frame().minX(), bx + bw);
    EXPECT_EQ(f.bar->handRightView()->frame().maxX(), W);
}

TEST(RDCutProgressView, RemoveModeSwapsImagesAndKeepsValues)
{
    Fixture f;
    f.bar->setLowerValueUpperValue(0.2f, 0.6f);
    f.bar->setIsFanxuan(true);
    EXPECT_EQ(f.bar->handLeftView()->image(), resource("Resources/edit_trimright_normal.png"));
    EXPECT_EQ(f.bar->handRightView()->image(), resource("Resources/edit_trimleft_normal.png"));
    EXPECT_EQ(f.bar->progressBackView()->image(), resource("Resources/edit_trim_focus.png"));
    EXPECT_EQ(f.bar->progressTintView()->image(), resource("Resources/play_notplayed_bkg.png"));
    EXPECT_FLOAT_EQ(f.bar->lowerValue(), 0.2f);
    EXPECT_FLOAT_EQ(f.bar->upperValue(), 0.6f);
    // Remove mode: the handles sit inside the span, their outer edges are the boundaries.
    EXPECT_NEAR(f.bar->handLeftView()->frame().minX(), bx + 0.2 * bw, 1e-4);
    EXPECT_NEAR(f.bar->handRightView()->frame().maxX(), bx + 0.6 * bw, 1e-4);
    EXPECT_NEAR(f.tickCentre(), bx + 0.2 * bw, 1e-4);

    f.bar->setIsFanxuan(false);
    EXPECT_EQ(f.bar->handLeftView()->image(), resource("Resources/edit_trimleft_normal.png"));
    EXPECT_EQ(f.bar->progressBackView()->image(), resource("Resources/play_notplayed_bkg.png"));
}

TEST(RDCutProgressView, HandlesStopWhereTheyMeetAndAtTheBarEnds)
{
    for (bool removeMode : {false, true}) {
        Fixture f;
        f.bar->setIsFanxuan(removeMode);
        f.bar->setLowerValueUpperValue(0.25f, 0.75f);

        press(f.bar, f.startHandleCentre(), handleY);
        EXPECT_TRUE(f.bar->handLeft());
        drag(f.bar, W - 5, handleY); // far past the end handle
        release(f.bar, W - 5, handleY);
        ASSERT_FALSE(f.recorder.moves.empty());
        EXPECT_EQ(f.bar->handLeftView()->frame().maxX(), f.bar->handRightView()->frame().minX())
            << "the handles touch, remove mode " << removeMode;
        EXPECT_FLOAT_EQ(f.recorder.moves.back().upper, 0.75f) << "the end handle stays";
        // Keep mode: the inner edges meet, an empty section. Remove mode: the outer edges are two handle
        // widths apart.
        EXPECT_NEAR(f.recorder.moves.back().lower, removeMode ? 0.75f - 18 / bw : 0.75f, 1e-5);
        EXPECT_EQ(f.recorder.moves.back().handle, 1);
        EXPECT_EQ(f.bar->handleType(), 1);

        press(f.bar, f.startHandleCentre(), handleY);
        drag(f.bar, -100, handleY);
        release(f.bar, -100, handleY);
        EXPECT_FLOAT_EQ(f.recorder.moves.back().lower, 0.0f) << "remove mode " << removeMode;

        press(f.bar, f.endHandleCentre(), handleY);
        EXPECT_TRUE(f.bar->handRight());
        drag(f.bar, W + 100, handleY);
        release(f.bar, W + 100, handleY);
        EXPECT_FLOAT_EQ(f.recorder.moves.back().upper, 1.0f) << "remove mode " << removeMode;
        EXPECT_EQ(f.recorder.moves.back().handle, 2);
        EXPECT_FLOAT_EQ(f.bar->lowerValue(), 0.0f);
        EXPECT_FLOAT_EQ(f.bar->upperValue(), 1.0f);
    }
}

TEST(RDCutProgressView, DraggingOneHandleKeepsTheOtherValue)
{
    Fixture f;
    f.bar->setLowerValueUpperValue(0.5f, 0.8f);
    press(f.bar, f.endHandleCentre(), handleY);
    drag(f.bar, f.endHandleCentre() + 10, handleY);
    release(f.bar, f.endHandleCentre(), handleY);
    ASSERT_EQ(f.recorder.moves.size(), 1u);
    EXPECT_FLOAT_EQ(f.recorder.moves[0].lower, 0.5f);
    EXPECT_NEAR(f.recorder.moves[0].upper, 0.8f + 10 / bw, 1 / bw)
        << "the end follows the pointer (whole pixels)";
}

TEST(RDCutProgressView, ClickMovesTheTickAndSeeksWithinTheMedia)
{
    Fixture f;
    click(f.bar, bx + 200, barY);
    ASSERT_EQ(f.recorder.seeks.size(), 1u);
    EXPECT_NEAR(f.tickCentre(), bx + 200, 1e-9);
    ASSERT_EQ(f.recorder.downs.size(), 1u);
    EXPECT_FLOAT_EQ(f.recorder.downs[0], 0.5f);
    ASSERT_EQ(f.recorder.ups.size(), 1u);
    EXPECT_FLOAT_EQ(f.recorder.ups[0], 0.5f);

    click(f.bar, W - 1, barY);
    click(f.bar, 0, barY);
    ASSERT_EQ(f.recorder.seeks.size(), 3u);
    EXPECT_FLOAT_EQ(f.recorder.seeks[1], 1.0f) << "a click past the bar's end seeks to the end, not beyond";
    EXPECT_FLOAT_EQ(f.recorder.seeks[2], 0.0f);
}

TEST(RDCutProgressView, TickDragsOnlyWhenDraggable)
{
    Fixture f;
    EXPECT_FALSE(f.bar->tickMark()) << "a bar made in code";
    press(f.bar, bx + 100, barY);
    const double afterPress = f.tickCentre();
    drag(f.bar, bx + 300, barY);
    release(f.bar, bx + 300, barY);
    EXPECT_EQ(f.tickCentre(), afterPress);
    EXPECT_EQ(f.recorder.seeks.size(), 1u) << "the click seeks, the drag does not";

    f.bar->setTickMark(true);
    press(f.bar, bx + 100, barY);
    drag(f.bar, W + 50, barY);
    EXPECT_FLOAT_EQ(f.recorder.seeks.back(), 1.0f);
    drag(f.bar, -50, barY);
    EXPECT_FLOAT_EQ(f.recorder.seeks.back(), 0.0f);
    release(f.bar, -50, barY);
}

TEST(RDCutProgressView, DisabledBarHidesHandlesAndIgnoresTheMouse)
{
    Fixture f;
    f.bar->setLowerValueUpperValue(0.25f, 0.75f);
    f.bar->setDisable(true);
    EXPECT_TRUE(f.bar->handLeftView()->isHidden());
    EXPECT_TRUE(f.bar->handRightView()->isHidden());
    const double tick = f.tickCentre();
    click(f.bar, bx + 300, barY);
    press(f.bar, f.startHandleCentre(), handleY);
    drag(f.bar, bx + 300, handleY);
    release(f.bar, bx + 300, handleY);
    EXPECT_EQ(f.recorder.calls(), 0);
    EXPECT_EQ(f.tickCentre(), tick);
    EXPECT_FLOAT_EQ(f.bar->lowerValue(), 0.25f);

    f.bar->setDisable(false);
    EXPECT_FALSE(f.bar->handLeftView()->isHidden());
    EXPECT_FALSE(f.bar->handRightView()->isHidden());
    EXPECT_TRUE(f.bar->tickMark());
    press(f.bar, bx + 100, barY);
    drag(f.bar, bx + 300, barY);
    release(f.bar, bx + 300, barY);
    EXPECT_GT(f.tickCentre(), bx + 250) << "the tick is draggable after enabling";
}

TEST(RDCutProgressView, ResizeKeepsValuesAndLaysOutAgain)
{
    Fixture f;
    f.bar->setLowerValueUpperValue(0.25f, 0.75f);
    f.bar->setFrame(platform::makeRect(0, 0, 218, H));
    EXPECT_EQ(f.bar->progressBackView()->frame(), platform::makeRect(9, 10, 200, 10));
    EXPECT_EQ(f.bar->handLeftView()->frame().maxX(), 9 + 50);
    EXPECT_EQ(f.bar->handRightView()->frame().minX(), 9 + 150);
    EXPECT_NEAR(f.tickCentre(), 9 + 50, 1e-9);
}
