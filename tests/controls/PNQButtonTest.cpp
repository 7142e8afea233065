#include "controls/PNQButton.h"

#include "ControlTestSupport.h"
#include "platform/Log.h"
#include "services/ResourceService.h"

#include <gtest/gtest.h>

#include <memory>

using namespace controltest;

namespace {

const QColor normalColor(255, 0, 0);
const QColor onColor(0, 255, 0);
const QColor downColor(0, 0, 255);
const QColor selectedColor(255, 255, 0);
const QColor disabledColor(255, 0, 255);

PNQButton *imageButton(platform::View *parent)
{
    auto *b = new PNQButton(platform::makeRect(0, 0, 60, 40), parent);
    b->setNormalImage(solid(normalColor));
    b->setOnImage(solid(onColor));
    b->setDownImage(solid(downColor));
    b->setSelectedImage(solid(selectedColor));
    b->setDisAbleImage(solid(disabledColor));
    return b;
}

// Puts the button in a state through the events a user would cause.
void bringInto(PNQButton *b, bool hovered, bool pressed, bool selected, bool enabled)
{
    if (pressed)
        press(b, 30, 20);
    if (hovered)
        enter(b);
    else
        leave(b);
    b->setSelected(selected);
    b->setEnabled(enabled);
}

// The lit columns of a title drawn in white on black: first and last x with a bright pixel.
std::pair<int, int> litColumns(QWidget *w)
{
    const QImage image = shot(w);
    int first = -1, last = -1;
    for (int x = 0; x < image.width(); ++x) {
        for (int y = 0; y < image.height(); ++y) {
            if (image.pixelColor(x, y).red() > 128) {
                if (first < 0)
                    first = x;
                last = x;
                break;
            }
        }
    }
    return {first, last};
}

} // namespace

TEST(PNQButton, ShowsTheImageOfEachStateCombination)
{
    struct Case
    {
        bool hovered, pressed, selected, enabled;
        QColor expected;
    } cases[] = {
        {false, false, false, true, normalColor},
        {true, false, false, true, onColor},
        {true, true, false, true, downColor},  // pressed and hovered
        {false, true, false, true, downColor}, // pressed, pointer gone
        {false, false, true, true, selectedColor},
        {true, false, true, true, onColor},       // hover wins over selected
        {false, true, true, true, selectedColor}, // selected and pressed without hover
        {true, true, true, false, disabledColor}, // disabled wins over everything
        {false, false, false, false, disabledColor},
    };
    for (const Case &c : cases) {
        Host host;
        PNQButton *b = imageButton(&host.root);
        bringInto(b, c.hovered, c.pressed, c.selected, c.enabled);
        EXPECT_EQ(pixelAt(b, 30, 20), c.expected) << "hovered " << c.hovered << " pressed " << c.pressed
                                                  << " selected " << c.selected << " enabled " << c.enabled;
    }
}

TEST(PNQButton, FallsBackToSelectedThenNormalImageWhenTheStateHasNone)
{
    struct Case
    {
        bool hovered, selected, withSelectedImage;
        QColor expected;
    } cases[] = {
        {true, true, true, selectedColor}, // hovered, no on image, selected
        {true, false, true, normalColor},  // hovered, no on image
        {true, true, false, normalColor},  // neither on nor selected image
        {false, true, false, normalColor}, // selected without a selected image
    };
    for (const Case &c : cases) {
        Host host;
        PNQButton *b = imageButton(&host.root);
        b->setOnImage(QImage());
        if (!c.withSelectedImage)
            b->setSelectedImage(QImage());
        bringInto(b, c.hovered, false, c.selected, true);
        EXPECT_EQ(pixelAt(b, 30, 20), c.expected) << "hovered " << c.hovered << " selected " << c.selected;
    }

    Host host;
    auto *bare = new PNQButton(platform::makeRect(0, 0, 60, 40), &host.root);
    EXPECT_EQ(pixelAt(bare, 30, 20), QColor(Qt::black)) << "no images draw nothing";
}

TEST(PNQButton, FillsWithTheBackgroundColourOfItsEnabledState)
{
    struct Case
    {
        bool enabled;
        QColor color, disabledColor, expected;
    } cases[] = {
        {true, Qt::red, Qt::blue, Qt::red},
        {false, Qt::red, Qt::blue, Qt::blue},
        {false, Qt::red, QColor(), Qt::black}, // no colour for the state: no background
        {true, QColor(), QColor(), Qt::black},
    };
    for (const Case &c : cases) {
        Host host;
        auto *b = new PNQButton(platform::makeRect(0, 0, 60, 40), &host.root);
        b->setBackGroundColor(c.color);
        b->setDisAblebackGroundColor(c.disabledColor);
        b->setEnabled(c.enabled);
        EXPECT_EQ(pixelAt(b, 3, 3), c.expected) << "enabled " << c.enabled;
    }

    Host host;
    auto *b = new PNQButton(platform::makeRect(0, 0, 60, 40), &host.root);
    b->setBackGroundColor(Qt::red);
    b->setNormalBackgroundImage(solid(Qt::green));
    b->setOnBackgroundImage(solid(Qt::blue));
    EXPECT_EQ(pixelAt(b, 3, 3), QColor(Qt::green)) << "a background image covers the whole button";
    enter(b);
    EXPECT_EQ(pixelAt(b, 3, 3), QColor(Qt::blue));
}

TEST(PNQButton, ClicksOnceOnReleaseInsideOnly)
{
    Host host;
    PNQButton *b = imageButton(&host.root);
    int clicks = 0;
    PNQButton *sender = nullptr;
    b->mouseDownAction = [&](PNQButton *button) {
        ++clicks;
        sender = button;
    };

    press(b, 30, 20);
    EXPECT_EQ(clicks, 0) << "never on the press";
    release(b, 30, 20);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(sender, b);

    press(b, 30, 20);
    EXPECT_EQ(pixelAt(b, 30, 20), downColor);
    release(b, 150, 20); // outside
    EXPECT_EQ(clicks, 1) << "a press released outside does not click";
    EXPECT_EQ(pixelAt(b, 30, 20), normalColor) << "the pressed look goes away";

    release(b, 30, 20); // a release with no press of its own
    EXPECT_EQ(clicks, 1);
}

TEST(PNQButton, ClicksOverItsWholeAreaAfterAResize)
{
    Host host;
    auto *b = new PNQButton(platform::makeRect(0, 0, 40, 40), &host.root);
    int clicks = 0;
    b->mouseDownAction = [&](PNQButton *) { ++clicks; };
    b->setFrame(platform::makeRect(0, 0, 180, 40));
    click(b, 150, 20);
    EXPECT_EQ(clicks, 1);
}

TEST(PNQButton, DisabledButtonCallsNothingAndDrawsItsTitleGrey)
{
    Host host(200, 60);
    auto *b = new PNQButton(platform::makeRect(0, 0, 200, 60), &host.root);
    QFont font = b->font();
    font.setPointSize(30);
    font.setBold(true);
    b->setFont(font);
    b->setContentTitle("HH");
    b->setContentColor(Qt::red);
    int calls = 0;
    b->mouseDownAction = [&](PNQButton *) { ++calls; };
    b->mouseEnteredCallback = [&](PNQButton *) { ++calls; };
    b->mouseExitedCallback = [&](PNQButton *) { ++calls; };

    auto countOf = [&](const QColor &color) {
        const QImage image = shot(b);
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += image.pixelColor(x, y) == color;
        return n;
    };
    EXPECT_GT(countOf(Qt::red), 50);

    b->setEnabled(false);
    enter(b);
    click(b, 100, 30);
    leave(b);
    EXPECT_EQ(calls, 0);
    EXPECT_GT(countOf(QColor(173, 173, 173)), 50);
    EXPECT_EQ(countOf(Qt::red), 0);

    b->setEnabled(true);
    enter(b);
    click(b, 100, 30);
    leave(b);
    EXPECT_EQ(calls, 3) << "entered, clicked, exited once enabled again";
}

TEST(PNQButton, UnderlinedButtonShowsLinkCursors)
{
    Host host;
    auto *b = new PNQButton(platform::makeRect(0, 0, 100, 30), &host.root);
    b->setContentTitle("link");
    b->setUnderLine(true);
    enter(b);
    EXPECT_EQ(b->cursor().shape(), Qt::PointingHandCursor);
    leave(b);
    EXPECT_EQ(b->cursor().shape(), Qt::ArrowCursor);
    b->setEnabled(false);
    enter(b);
    EXPECT_EQ(b->cursor().shape(), Qt::ForbiddenCursor);
}

TEST(PNQButton, PlacesItsTitleByTitlePosition)
{
    auto makeButton = [](platform::View *parent, std::optional<PNQPosition> position) {
        auto *b = new PNQButton(platform::makeRect(0, 0, 200, 40), parent);
        QFont font = b->font();
        font.setPointSize(16);
        b->setFont(font);
        b->setContentTitle("HH");
        b->setTitlePosition(position);
        return b;
    };
    {
        Host host;
        const auto [first, last] = litColumns(makeButton(&host.root, std::nullopt));
        ASSERT_GE(first, 0);
        EXPECT_NEAR(first, 199 - last, 3) << "centred without a titlePosition";
    }
    {
        Host host;
        const auto [first, last] = litColumns(makeButton(&host.root, PNQPosition(0, 10, 0, 0)));
        EXPECT_GE(first, 10);
        EXPECT_LE(first, 13) << "starts 10 from the left";
    }
    {
        Host host;
        const auto [first, last] = litColumns(makeButton(&host.root, PNQPosition(0, 0, 0, 10)));
        EXPECT_LE(last, 200 - 10 - 1);
        EXPECT_GE(last, 200 - 10 - 4) << "ends 10 from the right";
    }
}

TEST(PNQButton, ACentredTitleKeepsClearOfTheRightMargin)
{
    // A 200-wide button with 60 kept clear at the right (an icon laid over it): a short title stays
    // centred, a long one moves left to end before the margin.
    for (const char *title : {"HH", "HHHHHHHHHH"}) {
        SCOPED_TRACE(title);
        Host host;
        auto *b = new PNQButton(platform::makeRect(0, 0, 200, 40), &host.root);
        QFont font = b->font();
        font.setPointSize(16);
        b->setFont(font);
        b->setContentTitle(QString::fromLatin1(title));
        const auto [centredFirst, centredLast] = litColumns(b);
        ASSERT_GE(centredFirst, 0);
        b->setTitleRightMargin(60);
        const auto [first, last] = litColumns(b);
        ASSERT_GE(first, 0);
        EXPECT_LE(last, 200 - 60);
        if (centredLast <= 200 - 60)
            EXPECT_EQ(first, centredFirst) << "a title clear of the margin stays centred";
        else
            EXPECT_LT(first, centredFirst) << "the long title moved left";
    }
}

TEST(PNQButton, CentresAnImageWithoutTitleAndPutsItLeftOfATitle)
{
    Host host;
    auto *b = new PNQButton(platform::makeRect(0, 0, 200, 40), &host.root);
    b->setNormalImage(solid(Qt::green, 20, 20));
    EXPECT_EQ(pixelAt(b, 90, 20), QColor(Qt::green));
    EXPECT_EQ(pixelAt(b, 109, 20), QColor(Qt::green));
    EXPECT_EQ(pixelAt(b, 88, 20), QColor(Qt::black));
    EXPECT_EQ(pixelAt(b, 111, 20), QColor(Qt::black));

    b->setContentTitle("HH");
    const QImage image = shot(b);
    int imageRight = -1, titleLeft = -1;
    for (int x = 0; x < image.width(); ++x) {
        const QColor c = image.pixelColor(x, 20);
        if (c == QColor(Qt::green))
            imageRight = x;
        else if (titleLeft < 0 && imageRight >= 0 && c.red() > 128)
            titleLeft = x;
    }
    ASSERT_GE(imageRight, 0);
    EXPECT_GT(titleLeft, imageRight);
    EXPECT_LT(titleLeft - imageRight, 5) << "image and title sit side by side";
}

TEST(PNQButton, LogsDrags)
{
    Host host;
    auto *b = new PNQButton(platform::makeRect(0, 0, 60, 40), &host.root);
    platform::LogCapture capture;
    press(b, 10, 10);
    drag(b, 12, 10);
    release(b, 12, 10);
    EXPECT_TRUE(capture.containsText("-[PNQButton mouseDragged:] x:12.0"));
}

TEST(PNQButton, TakesEachStatesImagesFromOneResourceStem)
{
    PNQButton button(platform::makeRect(0, 0, 40, 20));
    button.setStateImages(QStringLiteral("Join/btnPlay"));
    button.setStateBackgroundImages(QStringLiteral("SubFun/btnStart"));
    const struct
    {
        QImage image;
        const char *file;
    } cases[] = {
        {button.normalImage(), "Join/btnPlay_Normal.png"},
        {button.onImage(), "Join/btnPlay_On.png"},
        {button.downImage(), "Join/btnPlay_Down.png"},
        {button.disAbleImage(), "Join/btnPlay_Disable.png"},
        {button.normalBackgroundImage(), "SubFun/btnStart_Normal.bmp"},
        {button.onBackgroundImage(), "SubFun/btnStart_On.bmp"},
        {button.downBackgroundImage(), "SubFun/btnStart_Down.bmp"},
        {button.selectedBackgroundImage(), "SubFun/btnStart_Down.bmp"},
        {button.disAbleBackgroundImage(), "SubFun/btnStart_Disable.bmp"},
    };
    for (const auto &c : cases) {
        const QImage expected = ResourceService::imageWithfileName(QString::fromLatin1(c.file));
        ASSERT_FALSE(expected.isNull()) << c.file;
        EXPECT_EQ(c.image, expected) << c.file;
    }
    EXPECT_TRUE(button.selectedImage().isNull()) << "the selected image is left alone";
}
