#include "editor/tools/RDUICliper.h"

#include "tests/editor/tools/OverlayTestSupport.h"
#include "tests/support/TestEnvironment.h"


#include <gtest/gtest.h>

using namespace overlaytest;
using platform::makeRect;
using platform::Point;
using platform::Rect;

namespace {

struct Recorder : RDUICliperDelegate
{
    std::vector<Rect> begins;
    std::vector<Rect> moves;
    std::vector<Rect> ends;
    const RDUICliper *sender = nullptr;
    RDUICliper *cliper = nullptr; // to compare each report with what the overlay holds at that moment
    std::vector<Rect> heldAtMove;

    void actionMoveBeginForRDUICliperBlock(RDUICliper *c, const Rect &r) override
    {
        sender = c;
        begins.push_back(r);
    }
    void actionMovedForRDUICliperBlock(RDUICliper *c, const Rect &r) override
    {
        sender = c;
        moves.push_back(r);
        heldAtMove.push_back(c->getclipRectFrame());
    }
    void actionMoveEndForRDUICliperBlock(RDUICliper *c, const Rect &r) override
    {
        sender = c;
        ends.push_back(r);
    }
};

// A 400 x 300 overlay over a white backdrop, for a 800 x 600 video, with the rectangle L 100, R 300,
// B 100, T 200 on screen.
class CliperTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fillBackdrop(backdrop, Qt::white);
        cliper = new RDUICliper(makeRect(0, 0, 400, 300), &backdrop);
        cliper->setVideoSize(platform::makeSize(800, 600));
        cliper->setClipRect(makeRect(100, 100, 200, 100));
        cliper->setDelegate(&recorder);
        backdrop.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&backdrop));
    }

    // What a drawing pass leaves as the rectangle: the one on screen.
    Rect shownRect()
    {
        cliper->repaint();
        return cliper->getclipRectFrame();
    }

    QColor pixelAt(Point p)
    {
        const QImage image = backdrop.grab().toImage();
        return QColor(image.pixel(qtPoint(*cliper, p)));
    }

    QWidget backdrop;
    RDUICliper *cliper = nullptr;
    Recorder recorder;
};

struct DragCase
{
    const char *name;
    Point press;
    Point to;
    Rect expected;
};

void runDragCases(RDUICliper &cliper, Recorder &recorder, const std::vector<DragCase> &cases,
                  const Rect &start)
{
    for (const DragCase &c : cases) {
        SCOPED_TRACE(c.name);
        cliper.setClipRect(start);
        recorder = Recorder{};
        drag(cliper, c.press, c.to);
        EXPECT_EQ(cliper.getclipRectFrame(), c.expected);
        ASSERT_EQ(recorder.begins.size(), 1u);
        EXPECT_EQ(recorder.begins[0], Rect{});
        // Every step reports, and reports the rectangle as it stands after that step.
        ASSERT_EQ(recorder.moves.size(), 1u);
        EXPECT_EQ(recorder.moves[0], c.expected);
        EXPECT_EQ(recorder.sender, &cliper);
        EXPECT_TRUE(recorder.ends.empty()); // fileType is 0
    }
}

} // namespace

TEST_F(CliperTest, PressChoosesTheHandleByZone)
{
    const std::vector<DragCase> cases = {
        // Corner zones reach 20 points either side of the edge and 30 points above and below.
        {"top-left corner, inner limit", {119, 171}, {90, 250}, makeRect(90, 100, 210, 150)},
        {"top-left corner, outside the rectangle", {81, 229}, {90, 250}, makeRect(90, 100, 210, 150)},
        {"bottom-left corner", {119, 129}, {90, 90}, makeRect(90, 90, 210, 110)},
        {"top-right corner", {295, 195}, {320, 210}, makeRect(100, 100, 220, 110)},
        {"bottom-right corner", {305, 105}, {320, 90}, makeRect(100, 90, 220, 110)},
        {"left middle", {100, 150}, {90, 160}, makeRect(90, 100, 210, 100)},
        {"right middle", {300, 165}, {320, 160}, makeRect(100, 100, 220, 100)},
        {"top middle", {215, 195}, {210, 250}, makeRect(100, 100, 200, 150)},
        {"bottom middle", {185, 110}, {190, 80}, makeRect(100, 80, 200, 120)},
        {"inside moves", {200, 150}, {210, 140}, makeRect(110, 90, 200, 100)},
        // Within 30 points of the top but 21 points right of the left edge and outside the middle band.
        {"just beside the corner zone", {121, 171}, {90, 250}, makeRect(100, 100, 200, 100)},
        {"dead band near the bottom edge", {150, 120}, {200, 50}, makeRect(100, 100, 200, 100)},
        {"outside the rectangle", {350, 250}, {200, 50}, makeRect(100, 100, 200, 100)},
    };
    runDragCases(*cliper, recorder, cases, makeRect(100, 100, 200, 100));
}

TEST_F(CliperTest, NarrowRectangleIsJudgedByItsLeftColumn)
{
    cliper->setClipRect(makeRect(100, 100, 60, 100));
    // Squeeze the rectangle to its 20-point minimum with the right handle: both columns now overlap.
    drag(*cliper, {160, 150}, {0, 150});
    ASSERT_EQ(cliper->getclipRectFrame(), makeRect(100, 100, 20, 100));
    // 15 points from the left edge and 5 from the right one: the left handle, which stops 40 points
    // before the right edge.
    drag(*cliper, {115, 150}, {50, 150});
    EXPECT_EQ(cliper->getclipRectFrame(), makeRect(50, 100, 70, 100));
}

TEST_F(CliperTest, DragsStopAtMinimumSizesAndAtTheOverlaysSides)
{
    const std::vector<DragCase> cases = {
        {"left middle keeps 40", {100, 150}, {400, 150}, makeRect(260, 100, 40, 100)},
        {"right middle keeps 20", {300, 150}, {0, 150}, makeRect(100, 100, 20, 100)},
        {"top-left corner keeps 20 x 20", {100, 200}, {400, 0}, makeRect(280, 100, 20, 20)},
        {"bottom-right corner keeps 20 x 20", {300, 100}, {-1, 301}, makeRect(100, 180, 20, 20)},
        {"top middle keeps 20", {200, 200}, {200, 0}, makeRect(100, 100, 200, 20)},
        {"bottom middle keeps 20", {200, 100}, {200, 300}, makeRect(100, 180, 200, 20)},
        {"top-left corner past the sides", {100, 200}, {-50, 400}, makeRect(0, 100, 300, 200)},
        {"bottom-right corner past the sides", {300, 100}, {500, -20}, makeRect(100, 0, 300, 200)},
        {"move past the top right", {200, 150}, {500, 500}, makeRect(200, 200, 200, 100)},
        {"move past the bottom left", {200, 150}, {-100, -100}, makeRect(0, 0, 200, 100)},
    };
    runDragCases(*cliper, recorder, cases, makeRect(100, 100, 200, 100));
}

TEST_F(CliperTest, KeepAspectModeDragsCornersOnlyAndStaysInside)
{
    cliper->setCropType(2);
    const std::vector<DragCase> cases = {
        {"left middle does nothing", {100, 125}, {50, 125}, makeRect(100, 50, 200, 150)},
        {"top middle does nothing", {200, 200}, {200, 260}, makeRect(100, 50, 200, 150)},
        {"top-right corner follows the height", {300, 200}, {350, 230}, makeRect(100, 50, 240, 180)},
        {"bottom-left corner follows the height", {100, 50}, {80, 20}, makeRect(60, 20, 240, 180)},
        {"inside moves", {200, 125}, {210, 135}, makeRect(110, 60, 200, 150)},
        // The height the pointer asks for (250) would need a width of 333: it is cut to what fits.
        {"top-right corner stops at the right side", {300, 200}, {400, 300}, makeRect(100, 50, 300, 225)},
        {"top-left corner stops at the left side", {100, 200}, {-1, 301}, makeRect(0, 50, 300, 225)},
    };
    runDragCases(*cliper, recorder, cases, makeRect(100, 50, 200, 150));
    EXPECT_EQ(cliper->crop_Type(), 2);
}

TEST_F(CliperTest, EdgeHandlesAreDrawnOnlyInFreeMode)
{
    const QColor handle(90, 216, 238);
    const Point leftMiddle{105, 150};
    const Point bottomLeftCorner{105, 105};
    EXPECT_EQ(pixelAt(leftMiddle), handle);
    EXPECT_EQ(pixelAt(bottomLeftCorner), handle);

    cliper->setCropType(2);
    cliper->setClipRect(makeRect(100, 100, 200, 100));
    EXPECT_NE(pixelAt(leftMiddle), handle);
    EXPECT_EQ(pixelAt(bottomLeftCorner), handle);
}

TEST_F(CliperTest, SetClipRectHoldsTheSizeBetween60AndTheOverlay)
{
    struct Case
    {
        Rect given;
        Rect expected;
    };
    const Case cases[] = {
        {makeRect(10, 10, 30, 200), makeRect(10, 10, 60, 200)},
        {makeRect(10, 0, 100, 500), makeRect(10, 0, 100, 300)},
        {makeRect(0, 0, 1000, 0), makeRect(0, 0, 400, 60)},
    };
    for (const Case &c : cases) {
        cliper->setClipRect(c.given);
        EXPECT_EQ(cliper->getclipRectFrame(), c.expected);
        EXPECT_EQ(shownRect(), c.expected); // the dimming views agree
    }

    // The dimming starts right of the 60-point rectangle.
    cliper->setClipRect(makeRect(10, 10, 30, 200));
    EXPECT_EQ(pixelAt({65, 100}), QColor(Qt::white));
    EXPECT_LT(pixelAt({75, 100}).lightness(), 160);
    EXPECT_LT(pixelAt({200, 250}).lightness(), 160);
}

TEST_F(CliperTest, ResetsOfTheStoredRectangleLastUntilTheNextDrawingPass)
{
    // 400 / 300 is not above 16 / 9: full width, 9 / 16 of it high, centred.
    cliper->setCropType(4);
    EXPECT_EQ(cliper->getclipRectFrame(), makeRect(0, 37.5, 400, 225));
    EXPECT_EQ(cliper->getclipRect(), makeRect(0, 75, 800, 450)); // 2 video pixels per point
    EXPECT_EQ(shownRect(), makeRect(100, 100, 200, 100));

    cliper->setFrameRect(makeRect(0, 0, 400, 300)); // redraws at once
    EXPECT_EQ(cliper->getclipRectFrame(), makeRect(100, 100, 200, 100));
    cliper->hide();
    cliper->setFrameRect(makeRect(0, 0, 400, 300)); // nothing drawn while hidden
    EXPECT_EQ(cliper->getclipRectFrame(), makeRect(50, 0, 300, 300));
    cliper->ChangeclipEDGE(-60, 0, 0, 0); // the left edge would pass the side: held at 0
    EXPECT_EQ(cliper->getclipRectFrame(), makeRect(0, 0, 360, 300));
    EXPECT_DOUBLE_EQ(cliper->getPercentClipRect().width(), 0.9);

    cliper->show();
    EXPECT_EQ(shownRect(), makeRect(100, 100, 200, 100));
}

TEST_F(CliperTest, EndReportOnlyForAClickWhenAskedFor)
{
    struct Case
    {
        const char *name;
        qint64 fileType;
        Point releaseAt;
        bool reported;
    };
    const Case cases[] = {
        {"click, end reports on", 1, {200, 150}, true},
        {"click, end reports off", 0, {200, 150}, false},
        {"released elsewhere", 1, {201, 150}, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        recorder = Recorder{};
        cliper->setFileType(c.fileType);
        press(*cliper, {200, 150});
        release(*cliper, c.releaseAt);
        ASSERT_EQ(recorder.ends.size(), c.reported ? 1u : 0u);
        if (c.reported) {
            EXPECT_EQ(recorder.ends[0], makeRect(0.25, 100.0 / 300, 0.5, 100.0 / 300));
        }
    }
}

TEST(RDUICliper, HostFormStartsWithACentredSquare)
{
    platform::View host(makeRect(0, 0, 300, 200));
    auto *cliper = new RDUICliper(&host, true);
    EXPECT_EQ(cliper->parentWidget(), &host);
    EXPECT_EQ(cliper->frame(), makeRect(0, 0, 300, 200));
    EXPECT_EQ(cliper->getclipRectFrame(), makeRect(50, 0, 200, 200));
}
