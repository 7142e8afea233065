#include "platform/View.h"

#include "platform/PopUpButton.h"
#include "platform/TextField.h"

#include "tests/support/TestEnvironment.h"

#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

using namespace platform;

namespace {

class RecordingView : public View
{
public:
    using View::View;
    std::vector<Point> downs;
    std::vector<Point> drags;
    std::vector<Point> ups;

protected:
    void mouseDown(const MouseEvent &e) override { downs.push_back(e.locationInView); }
    void mouseDragged(const MouseEvent &e) override { drags.push_back(e.locationInView); }
    void mouseUp(const MouseEvent &e) override { ups.push_back(e.locationInView); }
};

// Fills a 10-point band along its bottom edge, written in bottom-left coordinates.
class BottomBandView : public View
{
public:
    using View::View;

protected:
    void drawRect(QPainter &painter, const Rect &) override
    {
        painter.fillRect(QRectF(0, 0, width(), 10), Qt::red);
    }
};

} // namespace

TEST(View, FrameOriginIsTheParentsBottomLeft)
{
    View parent(makeRect(0, 0, 200, 100));
    auto *bottom = new View(makeRect(10, 0, 50, 20), &parent);
    auto *top = new View(makeRect(0, 70, 40, 30), &parent);
    EXPECT_EQ(bottom->geometry(), QRect(10, 80, 50, 20));
    EXPECT_EQ(top->geometry(), QRect(0, 0, 40, 30));
    EXPECT_EQ(bottom->frame(), makeRect(10, 0, 50, 20));
    EXPECT_EQ(bottom->bounds(), makeRect(0, 0, 50, 20));

    // A taller parent keeps a fixed child at the same distance from the bottom.
    parent.setFrame(makeRect(0, 0, 200, 150));
    EXPECT_EQ(bottom->geometry(), QRect(10, 130, 50, 20));
    EXPECT_EQ(bottom->frame(), makeRect(10, 0, 50, 20));
}

TEST(View, AutoresizingMaskSpreadsTheParentsSizeChange)
{
    struct Case
    {
        const char *name;
        int mask;
        Rect expected; // after the parent grows from 200 x 100 to 300 x 160
    };
    const Case cases[] = {
        {"fixed", View::NotSizable, makeRect(20, 10, 100, 40)},
        {"flexible width", View::WidthSizable, makeRect(20, 10, 200, 40)},
        {"flexible left margin", View::MinXMargin, makeRect(120, 10, 100, 40)},
        {"flexible height", View::HeightSizable, makeRect(20, 10, 100, 100)},
        {"flexible bottom margin (sticks to the top)", View::MinYMargin, makeRect(20, 70, 100, 40)},
        // Both margins flexible: shared in proportion to the margins (20 and 80) -> the view stays
        // centred-ish.
        {"both horizontal margins", View::MinXMargin | View::MaxXMargin, makeRect(40, 10, 100, 40)},
        // Width and right margin flexible: in proportion to 100 and 80.
        {"width and right margin", View::WidthSizable | View::MaxXMargin,
         makeRect(20, 10, 100 + 100 * 100.0 / 180, 40)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        View parent(makeRect(0, 0, 200, 100));
        auto *child = new View(makeRect(20, 10, 100, 40), &parent);
        child->setAutoresizingMask(c.mask);
        parent.setFrame(makeRect(0, 0, 300, 160));
        EXPECT_NEAR(child->frame().minX(), c.expected.minX(), 1e-9);
        EXPECT_NEAR(child->frame().minY(), c.expected.minY(), 1e-9);
        EXPECT_NEAR(child->frame().width(), c.expected.width(), 1e-9);
        EXPECT_NEAR(child->frame().height(), c.expected.height(), 1e-9);
        // The Qt geometry follows, measured from the new top.
        const QRect g = child->geometry();
        EXPECT_EQ(g.y(), qRound(160 - c.expected.maxY()));
        EXPECT_EQ(g.height(), qRound(c.expected.height()));
    }
}

TEST(View, AutoresizingCascadesAndGoesBackExactly)
{
    View root(makeRect(0, 0, 400, 300));
    auto *panel = new View(makeRect(0, 0, 400, 300), &root);
    panel->setAutoresizingMask(View::WidthSizable | View::HeightSizable);
    auto *button = new View(makeRect(340, 250, 50, 40), panel);
    button->setAutoresizingMask(View::MinXMargin | View::MinYMargin); // pinned to the top right

    root.setFrame(makeRect(0, 0, 500, 350));
    EXPECT_EQ(panel->frame(), makeRect(0, 0, 500, 350));
    EXPECT_EQ(button->frame(), makeRect(440, 300, 50, 40));
    EXPECT_EQ(button->geometry(), QRect(440, 10, 50, 40));

    root.setFrame(makeRect(0, 0, 400, 300));
    EXPECT_EQ(button->frame(), makeRect(340, 250, 50, 40));
}

TEST(View, AutoresizesUnderAPlainWidgetParent)
{
    QWidget parent;
    parent.resize(200, 100);
    parent.show();
    auto *child = new View(makeRect(0, 0, 50, 100), &parent);
    child->setAutoresizingMask(View::HeightSizable | View::MinXMargin);
    parent.resize(260, 140);
    TestEnvironment::processEvents();
    EXPECT_EQ(child->frame(), makeRect(60, 0, 50, 140));
    EXPECT_EQ(child->geometry(), QRect(60, 0, 50, 140));
}

TEST(View, MouseLocationsAreBottomLeftAndUnhandledPressesGoToTheParent)
{
    RecordingView parent(makeRect(0, 0, 200, 100));
    auto *target = new RecordingView(makeRect(20, 10, 100, 40), &parent);
    auto *plain = new View(makeRect(150, 0, 50, 50), &parent); // overrides nothing
    parent.show();

    QTest::mousePress(target, Qt::LeftButton, {}, QPoint(5, 10));
    QTest::mouseMove(target, QPoint(7, 30));
    QTest::mouseRelease(target, Qt::LeftButton, {}, QPoint(7, 30));
    ASSERT_EQ(target->downs.size(), 1u);
    EXPECT_EQ(target->downs[0], (Point{5, 30}));
    ASSERT_EQ(target->ups.size(), 1u);
    EXPECT_EQ(target->ups[0], (Point{7, 10}));
    EXPECT_TRUE(parent.downs.empty());

    QTest::mousePress(plain, Qt::LeftButton, {}, QPoint(10, 40));
    ASSERT_EQ(parent.downs.size(), 1u);
    EXPECT_EQ(parent.downs[0], (Point{160, 10})); // in the parent's own coordinates
    QTest::mouseRelease(plain, Qt::LeftButton, {}, QPoint(10, 40));
}

TEST(View, DrawRectPaintsInBottomLeftCoordinatesOverTheLayerBackground)
{
    BottomBandView view(makeRect(0, 0, 40, 40));
    view.setBackgroundColor(Qt::blue);
    const QImage image = view.grab().toImage();
    EXPECT_EQ(QColor(image.pixel(20, 35)), QColor(Qt::red)); // bottom rows: drawRect's band
    EXPECT_EQ(QColor(image.pixel(20, 5)), QColor(Qt::blue)); // top rows: the background
}

// drawTextUpright() lets each text decide its own direction, whatever the painter was set to: an Arabic
// text reads right to left, and one with no right-to-left letter left to right, so that the set-start
// button's "[" never shows as "]".
TEST(View, DrawnTextTakesItsDirectionFromItsOwnLetters)
{
    const QFont font(QStringLiteral("DejaVu Sans"), 16);
    auto painted = [&](const QString &text, Qt::LayoutDirection direction, bool upright) {
        QImage image(60, 28, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setLayoutDirection(direction);
        if (upright) {
            // As drawRect() receives it: y upwards.
            painter.translate(0, image.height());
            painter.scale(1, -1);
            View::drawTextUpright(painter, makeRect(0, 0, image.width(), image.height()), text, font,
                                  Qt::black, Qt::AlignCenter);
        } else {
            painter.setFont(font);
            painter.setPen(Qt::black);
            painter.drawText(image.rect(), Qt::AlignCenter, text);
        }
        return image;
    };
    ASSERT_FALSE(painted(QStringLiteral("["), Qt::RightToLeft, false) ==
                 painted(QStringLiteral("["), Qt::LeftToRight, false))
        << "a right-to-left paragraph mirrors a bracket, else this case means nothing";
    for (const char *text : {"[", "]", "【", "】", "00:00:03.00", "نص عربي."}) {
        const QString t = QString::fromUtf8(text);
        EXPECT_TRUE(painted(t, Qt::RightToLeft, true) == painted(t, Qt::LeftToRight, true))
            << text << ": follows the painter's direction";
        const Qt::LayoutDirection own = t.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight;
        EXPECT_TRUE(painted(t, Qt::LeftToRight, true) == painted(t, own, false))
            << text << ": not drawn in its own direction";
    }
}

TEST(View, ConvertsPointsThroughTheWindow)
{
    View root(makeRect(0, 0, 300, 200));
    auto *a = new View(makeRect(10, 20, 100, 100), &root);
    auto *b = new View(makeRect(150, 50, 100, 100), &root);
    EXPECT_EQ(a->convertPointToWindow({5, 5}), (Point{15, 25}));
    EXPECT_EQ(a->convertPointFromWindow({15, 25}), (Point{5, 5}));
    EXPECT_EQ(b->convertPoint({5, 5}, a), (Point{-135, -25}));
}

// Rows are added to lists that are already on screen: a control made there must show its inner widget too.
TEST(View, ControlsMadeInsideAShownWindowShowTheirInnerWidget)
{
    QWidget window;
    window.resize(300, 100);
    window.show();
    auto *popUp = new PopUpButton(makeRect(0, 0, 120, 22), false, &window);
    auto *field = new TextField(makeRect(0, 40, 120, 22), &window);
    for (QWidget *control : {static_cast<QWidget *>(popUp), static_cast<QWidget *>(field)}) {
        ASSERT_TRUE(control->isVisible());
        const auto inner = control->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
        ASSERT_FALSE(inner.isEmpty());
        EXPECT_TRUE(inner.first()->isVisible()) << control->metaObject()->className();
    }
}
