#include "controls/ImageView.h"
#include "controls/NSProgressView.h"
#include "controls/PNQImageView.h"
#include "controls/PNQView.h"
#include "controls/RDTextField.h"

#include "ControlTestSupport.h"

#include <QLineEdit>

#include <gtest/gtest.h>

using namespace controltest;

TEST(PNQImageView, ShowsDownImageOnlyWhilePressed)
{
    Host host;
    auto *v = new PNQImageView(platform::makeRect(0, 0, 40, 40), &host.root);
    v->setNormalImage(solid(Qt::red));
    v->setDownImage(solid(Qt::blue));
    // The image hangs from the top edge, centred.
    EXPECT_EQ(pixelAt(v, 20, 30), QColor(Qt::red));
    EXPECT_EQ(pixelAt(v, 20, 10), QColor(Qt::black));
    press(v, 20, 30);
    EXPECT_EQ(pixelAt(v, 20, 30), QColor(Qt::blue));
    release(v, 20, 30);
    EXPECT_EQ(pixelAt(v, 20, 30), QColor(Qt::red));

    v->setDownImage(QImage());
    press(v, 20, 30);
    EXPECT_EQ(pixelAt(v, 20, 30), QColor(Qt::red)) << "no down image: the normal one stays";
}

TEST(PNQImageView, DragMovesTheLeftEdgeToThePointerInsideTheSuperview)
{
    Host host;
    auto *v = new PNQImageView(platform::makeRect(50, 0, 20, 20), &host.root);
    int drags = 0;
    v->MouseDraggedBlock = [&](PNQImageView *) { ++drags; };
    press(v, 5, 5);
    drag(v, 30, 5); // the pointer at superview x 80
    EXPECT_EQ(v->frame().minX(), 80);
    drag(v, -200, 5);
    EXPECT_EQ(v->frame().minX(), 0) << "stops at the superview's start";
    drag(v, 400, 5);
    EXPECT_EQ(v->frame().maxX(), 200) << "stops at the superview's end";
    release(v, 400, 5);
    EXPECT_EQ(drags, 3);
    EXPECT_EQ(v->frame().minY(), 0);
}

TEST(PNQImageView, DisabledViewReportsPressesButDoesNotDrag)
{
    Host host;
    auto *v = new PNQImageView(platform::makeRect(50, 0, 20, 20), &host.root);
    int downs = 0, ups = 0, drags = 0;
    v->MouseDownBlock = [&](PNQImageView *) { ++downs; };
    v->MouseUpBlock = [&](PNQImageView *) { ++ups; };
    v->MouseDraggedBlock = [&](PNQImageView *) { ++drags; };
    v->setEnabled(false);
    press(v, 5, 5);
    drag(v, 60, 5);
    release(v, 60, 5);
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(ups, 1);
    EXPECT_EQ(drags, 0);
    EXPECT_EQ(v->frame().minX(), 50);
}

TEST(NSProgressView, TintFollowsProgressAndWidth)
{
    Host host;
    auto *bar = new NSProgressView(platform::makeRect(0, 0, 200, 10), &host.root);
    EXPECT_EQ(bar->progressTintView()->frame().width(), 0);
    bar->setProgress(0.25f);
    EXPECT_EQ(bar->progressTintView()->frame().width(), 50);
    bar->setFrame(platform::makeRect(0, 0, 400, 10));
    EXPECT_EQ(bar->progressBackView()->frame(), platform::makeRect(0, 0, 400, 10));
    EXPECT_EQ(bar->progressTintView()->frame().width(), 100);
    EXPECT_FALSE(bar->progressBackView()->image().isNull());
    EXPECT_FALSE(bar->progressTintView()->image().isNull());
}

TEST(RDTextField, HandsClicksToItsDelegateOnlyOnceEnabled)
{
    struct Delegate : RDTextFieldDelegate
    {
        void actionMouseDownForTextFieldBlock(RDTextField *f) override { fields.push_back(f); }
        std::vector<RDTextField *> fields;
    } delegate;
    Host host;
    auto *field = new RDTextField(platform::makeRect(0, 0, 80, 24), &host.root);
    field->setMouseDelegate(&delegate);
    field->setStringValue("1234");
    EXPECT_FALSE(field->isEnabled());
    QTest::mouseClick(field->lineEdit(), Qt::LeftButton, {}, QPoint(3, 12));
    EXPECT_TRUE(delegate.fields.empty()) << "a new field is disabled";

    field->setEnabled(true);
    const int caret = field->lineEdit()->cursorPosition();
    QTest::mouseClick(field->lineEdit(), Qt::LeftButton, {}, QPoint(3, 12));
    ASSERT_EQ(delegate.fields.size(), 1u);
    EXPECT_EQ(delegate.fields[0], field);
    EXPECT_EQ(field->lineEdit()->cursorPosition(), caret) << "the click places no caret";
}

TEST(PNQView, DrawsItsImageOverItsColour)
{
    Host host;
    auto *v = new PNQView(platform::makeRect(0, 0, 40, 40), &host.root);
    v->setBackGroundColor(Qt::red);
    EXPECT_EQ(pixelAt(v, 20, 20), QColor(Qt::red));
    QImage half(20, 20, QImage::Format_ARGB32);
    half.fill(Qt::transparent);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 10; ++x)
            half.setPixelColor(x, y, Qt::blue);
    v->setBackGroundImage(half);
    v->update();
    EXPECT_EQ(pixelAt(v, 5, 20), QColor(Qt::blue)) << "the image is stretched over the colour";
    EXPECT_EQ(pixelAt(v, 35, 20), QColor(Qt::red));
}

TEST(ImageView, GreyBezelFrameIsDarkAtTheTopLeftAndLightAtTheBottomRight)
{
    Host host(60, 60, Qt::black);
    auto *v = new ImageView(platform::makeRect(10, 10, 40, 30), &host.root);
    EXPECT_EQ(pixelAt(v, 0, 15), QColor(Qt::black)) << "no frame by default";
    v->setImageFrameStyle(ImageView::FrameStyle::GrayBezel);
    // Rows and columns by their bottom-left coordinates: the top row is at y 30, the bottom one at 1.
    EXPECT_EQ(pixelAt(v, 0, 15), QColor(128, 128, 128));
    EXPECT_EQ(pixelAt(v, 20, 30), QColor(128, 128, 128));
    EXPECT_EQ(pixelAt(v, 39, 15), QColor(224, 224, 224));
    EXPECT_EQ(pixelAt(v, 20, 1), QColor(224, 224, 224));
    EXPECT_EQ(pixelAt(v, 20, 15), QColor(Qt::black)) << "the inside stays the view's own";
}
