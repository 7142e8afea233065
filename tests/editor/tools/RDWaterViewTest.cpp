#include "editor/tools/RDWaterView.h"

#include "editor/tools/QYTextFiledCenter.h"
#include "platform/Workspace.h"
#include "tests/editor/tools/OverlayTestSupport.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace overlaytest;
using platform::makeRect;
using platform::Point;
using platform::Rect;

namespace {

struct Recorder : RDWaterViewDelegate
{
    std::vector<Rect> begins;
    std::vector<Rect> moves;
    std::vector<Rect> heldAtMove;
    std::vector<Rect> ends;
    std::vector<QImage> images;

    void actionMouseMoveBeginForWaterViewBlock(RDWaterView *, const Rect &r) override { begins.push_back(r); }
    void actionMouseMovedForWaterViewBlock(RDWaterView *view, const Rect &r) override
    {
        moves.push_back(r);
        heldAtMove.push_back(view->getclipRectFrame());
    }
    void actionMouseMoveEndForWaterViewBlock(RDWaterView *, const Rect &r) override { ends.push_back(r); }
    void DreawwaterImage(const QImage &image) override { images.push_back(image); }
};

// A 400 x 300 overlay over a black backdrop, for a 800 x 600 video, showing a 100 x 50 picture in the
// rectangle L 100, R 300, B 100, T 200, in free resize.
class WaterViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fillBackdrop(backdrop, Qt::black);
        view = new RDWaterView(makeRect(0, 0, 400, 300), &backdrop);
        view->setVideoSize(platform::makeSize(800, 600));
        QImage picture(100, 50, QImage::Format_ARGB32);
        picture.fill(Qt::red);
        view->setWaterMark(picture);
        view->setMarkWaterType(2);
        view->setScale_Type(1);
        view->setClipRect(makeRect(100, 100, 200, 100));
        view->setDelegate(&recorder);
        backdrop.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&backdrop));
    }

    QImage screen() { return backdrop.grab().toImage(); }

    QWidget backdrop;
    RDWaterView *view = nullptr;
    Recorder recorder;
};

struct DragCase
{
    const char *name;
    Point press;
    Point to;
    Rect expected;
    bool moveReported = true;
    Rect start = makeRect(100, 100, 200, 100);
};

void runDragCases(RDWaterView &view, Recorder &recorder, const std::vector<DragCase> &cases)
{
    for (const DragCase &c : cases) {
        SCOPED_TRACE(c.name);
        view.setClipRect(c.start);
        recorder = Recorder{};
        drag(view, c.press, c.to);
        EXPECT_TRUE(rectNear(view.getclipRectFrame(), c.expected));
        ASSERT_EQ(recorder.begins.size(), 1u);
        EXPECT_EQ(recorder.begins[0], Rect{});
        // The moved notice carries the rectangle as it stands after the step, not an older one.
        ASSERT_EQ(recorder.moves.size(), c.moveReported ? 1u : 0u);
        if (c.moveReported) {
            EXPECT_TRUE(rectNear(recorder.moves[0], c.expected));
            EXPECT_EQ(recorder.moves[0], recorder.heldAtMove[0]);
        }
        ASSERT_EQ(recorder.ends.size(), 1u);
        const Rect &e = c.expected;
        EXPECT_TRUE(rectNear(recorder.ends[0],
                             makeRect(e.minX() / 400, e.minY() / 300, e.width() / 400, e.height() / 300)));
        // What is drawn agrees: a drawing pass reads the same rectangle back from the strips.
        view.repaint();
        EXPECT_TRUE(rectNear(view.getclipRectFrame(), c.expected));
    }
}

} // namespace

TEST_F(WaterViewTest, PressChoosesTheHandleByZone)
{
    const Rect unchanged = makeRect(100, 100, 200, 100);
    runDragCases(*view, recorder,
                 {
                     // Corner zones are 20 points either side of a side and 10 above and below an edge.
                     {"top-left corner", {119, 191}, {90, 250}, makeRect(90, 100, 210, 150)},
                     {"bottom-left corner", {105, 105}, {90, 90}, makeRect(90, 90, 210, 110)},
                     {"top-right corner", {295, 195}, {350, 250}, makeRect(100, 100, 250, 150)},
                     {"bottom-right corner", {295, 105}, {350, 50}, makeRect(100, 50, 250, 150)},
                     {"left middle", {110, 155}, {50, 150}, makeRect(50, 100, 250, 100)},
                     {"right middle", {290, 145}, {350, 150}, makeRect(100, 100, 250, 100)},
                     {"top middle", {205, 195}, {200, 250}, makeRect(100, 100, 200, 150)},
                     {"bottom middle", {195, 105}, {200, 50}, makeRect(100, 50, 200, 150)},
                     {"inside moves", {150, 150}, {160, 140}, makeRect(110, 90, 200, 100)},
                     // Inside, but in a column away from its handles, or near an edge off its middle.
                     {"left column between handles", {110, 185}, {50, 250}, unchanged},
                     {"near the bottom edge, off the middle", {150, 105}, {200, 50}, unchanged},
                     // Outside the rectangle nothing drags, though press and release are reported.
                     {"outside", {350, 250}, {200, 150}, unchanged, false},
                     {"corner zone outside the rectangle", {95, 205}, {50, 250}, unchanged, false},
                 });
}

TEST_F(WaterViewTest, DragsStopAtMinimumSizesAndAtTheOverlaysSides)
{
    runDragCases(
        *view, recorder,
        {
            {"left middle keeps 40", {110, 150}, {400, 150}, makeRect(260, 100, 40, 100)},
            {"right middle keeps 10", {290, 150}, {0, 150}, makeRect(100, 100, 10, 100)},
            {"top-left corner keeps 10 x 10", {105, 195}, {400, 0}, makeRect(290, 100, 10, 10)},
            {"bottom-right corner keeps 10 x 10", {295, 105}, {-1, 301}, makeRect(100, 190, 10, 10)},
            {"top-right corner past the sides", {295, 195}, {500, 500}, makeRect(100, 100, 300, 200)},
            {"move past the top right", {150, 150}, {500, 500}, makeRect(200, 200, 200, 100)},
            {"move past the bottom left", {150, 150}, {-50, -50}, makeRect(0, 0, 200, 100)},
        });
}

TEST_F(WaterViewTest, NarrowPictureCanBeResizedButNotMoved)
{
    runDragCases(*view, recorder,
                 {
                     // 15 points from the left side and 15 from the right: the left column decides.
                     {"left middle",
                      {115, 150},
                      {50, 150},
                      makeRect(50, 100, 80, 100),
                      true,
                      makeRect(100, 100, 30, 100)},
                     {"no move from inside",
                      {115, 130},
                      {200, 200},
                      makeRect(100, 100, 30, 100),
                      true,
                      makeRect(100, 100, 30, 100)},
                 });
}

TEST_F(WaterViewTest, PictureAspectModeIgnoresTheMiddlesAndKeepsTheAspect)
{
    view->setScale_Type(3);
    runDragCases(*view, recorder,
                 {
                     {"top middle does nothing", {205, 195}, {200, 250}, makeRect(100, 100, 200, 100), false},
                     {"left middle does nothing", {110, 155}, {50, 150}, makeRect(100, 100, 200, 100), false},
                     // The pointer's height is ignored: the width decides, the bottom edge stays.
                     {"top-right corner", {295, 195}, {250, 0}, makeRect(100, 100, 150, 75)},
                     {"bottom-left corner", {105, 105}, {0, 280}, makeRect(0, 50, 300, 150)},
                     // Too tall for the room above the bottom edge: the width gives way.
                     {"top-right corner at the top",
                      {145, 225},
                      {400, 0},
                      makeRect(50, 180, 240, 120),
                      true,
                      makeRect(50, 180, 100, 50)},
                 });
}

TEST_F(WaterViewTest, PictureAspectTypeReshapesTheRectangleInsideTheOverlay)
{
    struct Case
    {
        Rect start;
        Rect expected;
    };
    const Case cases[] = {
        {makeRect(100, 100, 100, 80), makeRect(100, 100, 160, 80)},
        // Twice as wide as high would pass the right side: shrunk to end there, aspect kept.
        {makeRect(300, 100, 100, 100), makeRect(300, 100, 100, 50)},
    };
    for (const Case &c : cases) {
        view->setScale_Type(1);
        view->setClipRect(c.start);
        view->setScale_Type(3);
        EXPECT_TRUE(rectNear(view->getclipRectFrame(), c.expected));
        view->repaint();
        EXPECT_TRUE(rectNear(view->getclipRectFrame(), c.expected));
    }
}

TEST_F(WaterViewTest, VideoAspectModeFollowsTheHeightAndStaysInside)
{
    view->setScale_Type(2);
    const Rect start = makeRect(100, 50, 200, 150);
    runDragCases(*view, recorder,
                 {
                     {"top-right corner stops at the right side",
                      {295, 195},
                      {400, 300},
                      makeRect(100, 50, 300, 225),
                      true,
                      start},
                     {"bottom-left corner",
                      {105, 55},
                      {0, 0},
                      makeRect(100 - 200.0 / 3, 0, 800.0 / 3, 200),
                      true,
                      start},
                     {"pointer below the fixed edge keeps 10 high",
                      {295, 195},
                      {300, 20},
                      makeRect(100, 50, 40.0 / 3, 10),
                      true,
                      start},
                     {"top middle does nothing", {205, 195}, {200, 300}, start, true, start},
                     {"inside moves", {200, 100}, {210, 110}, makeRect(110, 60, 200, 150), true, start},
                 });
}

TEST_F(WaterViewTest, SetClipRectHoldsTheSizeBetween10AndTheOverlay)
{
    struct Case
    {
        Rect given;
        Rect expected;
    };
    const Case cases[] = {
        {makeRect(10, 20, 0, 0), makeRect(10, 20, 10, 10)},
        {makeRect(0, 0, 1000, 1000), makeRect(0, 0, 400, 300)},
        {makeRect(30, 40, 50, 60), makeRect(30, 40, 50, 60)},
    };
    for (const Case &c : cases) {
        view->setClipRect(c.given);
        EXPECT_EQ(view->getclipRectFrame(), c.expected);
        view->repaint();
        EXPECT_EQ(view->getclipRectFrame(), c.expected);
    }
}

TEST_F(WaterViewTest, CheckClipRectFitsBothWays)
{
    struct Case
    {
        const char *name;
        Rect given;
        Rect expected;
    };
    const Case cases[] = {
        {"wider than the overlay", makeRect(0, 0, 800, 100), makeRect(0, 0, 400, 50)},
        {"taller than the overlay", makeRect(0, 0, 100, 600), makeRect(0, 0, 50, 300)},
        {"both, height decides", makeRect(0, 0, 800, 900), makeRect(0, 0, 800.0 / 3, 300)},
        {"fits", makeRect(10, 10, 200, 100), makeRect(10, 10, 200, 100)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(rectNear(view->getCheckClipRect(c.given), c.expected));
    }
}

TEST_F(WaterViewTest, DisabledOverlayIgnoresPressesButStillSetsTheHoverCursor)
{
    view->setEnabled(false);
    EXPECT_TRUE(view->isEnabled()); // the widget itself stays live for hover
    drag(*view, {150, 150}, {250, 250});
    drag(*view, {295, 195}, {350, 250});
    EXPECT_EQ(view->getclipRectFrame(), makeRect(100, 100, 200, 100));
    EXPECT_TRUE(recorder.begins.empty());
    EXPECT_TRUE(recorder.moves.empty());
    EXPECT_TRUE(recorder.ends.empty());
    EXPECT_FALSE(view->isMoving());

    struct Case
    {
        const char *name;
        int scaleType;
        Point at;
        Qt::CursorShape shape;
    };
    const Case cases[] = {
        {"inside", 1, {150, 150}, Qt::OpenHandCursor},
        {"outside", 1, {350, 250}, Qt::ArrowCursor},
        {"corner", 1, {105, 105}, Qt::SizeHorCursor},
        {"top middle", 1, {205, 195}, Qt::SizeVerCursor},
        {"top middle keeping the picture's aspect leaves the cursor", 3, {205, 195}, Qt::ArrowCursor},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        view->setScale_Type(c.scaleType);
        dragTo(*view, {350, 250}); // arrow first
        dragTo(*view, c.at);
        EXPECT_EQ(view->cursor().shape(), c.shape);
    }
}

TEST_F(WaterViewTest, TextIsRenderedOnATransparentPictureForTheExport)
{
    const QString waterFolder =
        platform::Workspace::standardFolder(platform::StandardFolder::Movies) + "/Water";
    QDir(waterFolder).removeRecursively();
    QFont font(".AppleSystemUIFont");
    font.setPointSizeF(30);
    view->setWaterMark(QImage());
    view->setWaterMarkFont(font);
    view->setWaterMarkColor(Qt::green);
    view->setMarkWaterType(4);
    view->setWaterMarkString("Hello");
    view->setClipRect(makeRect(100, 100, 200, 100));
    recorder = Recorder{};
    view->repaint();

    ASSERT_FALSE(recorder.images.empty());
    EXPECT_TRUE(QDir(waterFolder).exists());
    EXPECT_EQ(view->getPercentTextClipRect(), makeRect(0.25, 100.0 / 300, 0.5, 100.0 / 300));
    EXPECT_EQ(view->waterMarkLb()->frame(), makeRect(100, 100, 200, 100));
    auto maxAlpha = [](const QImage &image, QColor *strongest) {
        int best = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c.alpha() > best)
                    best = c.alpha(), *strongest = c;
            }
        return best;
    };
    // At the video's scale (2 pixels per point), text at the top left, the rest see-through.
    QImage image = recorder.images.back().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(image.size(), QSize(400, 200));
    QColor strongest;
    EXPECT_EQ(maxAlpha(image, &strongest), 255);
    EXPECT_GT(strongest.green(), 200);
    EXPECT_EQ(strongest.red(), 0);
    EXPECT_EQ(image.pixelColor(399, 199).alpha(), 0);
    EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0); // no background behind the text

    // Handing the label its text and frame while drawing must not start another drawing pass.
    recorder = Recorder{};
    QTest::qWait(100);
    EXPECT_TRUE(recorder.images.empty());

    // The overlay shows a transparency, but the picture handed on stays opaque: the engine applies the
    // transparency once.
    view->setWaterMarkAlph(50);
    ASSERT_FALSE(recorder.images.empty());
    image = recorder.images.back().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(maxAlpha(image, &strongest), 255);
    EXPECT_NEAR(view->waterMarkLb()->textColor().alphaF(), 0.5, 0.01);
}

TEST_F(WaterViewTest, TextMovesFromAnyPointInside)
{
    view->setWaterMark(QImage());
    view->setMarkWaterType(4);
    view->setWaterMarkString("Hello");
    drag(*view, {105, 195}, {115, 185}); // a picture's corner handle
    EXPECT_EQ(view->getclipRectFrame(), makeRect(110, 90, 200, 100));
}

TEST_F(WaterViewTest, BlankTextIsASpaceWithoutOutline)
{
    view->setWaterMark(QImage());
    view->setMarkWaterType(4);
    view->setWaterMarkColor(Qt::red);
    // The outline is white; the text red, the backdrop black: green shows the outline.
    auto outlineShown = [&] {
        const QImage image = screen();
        for (int y = 105; y < 195; ++y)
            for (int x = 99; x <= 100; ++x)
                if (QColor(image.pixel(x, 300 - y)).green() > 60)
                    return true;
        return false;
    };
    struct Case
    {
        QString text;
        QString stored;
        bool outline;
    };
    const Case cases[] = {{"", " ", false}, {"   ", "   ", false}, {"Hi", "Hi", true}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        view->setWaterMarkString(c.text);
        EXPECT_EQ(outlineShown(), c.outline);
        EXPECT_EQ(view->waterMarkString(), c.stored);
    }
}
