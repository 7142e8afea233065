#include "controls/ImageView.h"
#include "controls/MergeButton.h"
#include "controls/RDButton.h"
#include "controls/RDCustomButton.h"
#include "controls/RDRadioButton.h"
#include "controls/RDSwitchButton.h"
#include "controls/RDTitleButton.h"
#include "controls/TextLabel.h"

#include "ControlTestSupport.h"

#include <QRadioButton>

#include <gtest/gtest.h>

using namespace controltest;

namespace {

struct WhiteHost : Host
{
    WhiteHost() : Host(300, 100, Qt::white) {}
};

struct Recorder : RDCustomButtonDelegate, RDButtonDelegate, RDRadioButtonDelegate, RDSwitchButtonDelegate
{
    void actionMouseUpForCustomButtonBlock(RDCustomButton *) override { ++custom; }
    void actionMouseUpForRDButtonBlock(RDButton *) override { ++button; }
    void actionMouseUpForRDRadioButtonBlock(RDRadioButton *) override { ++radio; }
    void actionMouseUpForSwitchButtonBlock(RDSwitchButton *b) override
    {
        switchStates.push_back(b->selected());
    }
    int custom = 0, button = 0, radio = 0;
    std::vector<bool> switchStates;
};

} // namespace

TEST(RDCustomButton, ReportsOnReleaseWithPressedImageElseOnPress)
{
    struct Case
    {
        bool pressedImage, enabled;
        int afterPress, afterRelease;
    } cases[] = {
        {true, true, 0, 1},
        {false, true, 1, 1},
        {true, false, 0, 0},
        {false, false, 0, 0},
    };
    for (const Case &c : cases) {
        WhiteHost host;
        Recorder recorder;
        auto *b = new RDCustomButton(platform::makeRect(0, 0, 100, 40), &host.root);
        b->setDelegate(&recorder);
        b->setNormalBackImage(solid(Qt::gray));
        if (c.pressedImage)
            b->setHightideBackImage(solid(Qt::blue));
        b->setEnabled(c.enabled);
        b->setSelected(false);
        // A real click lands on the title button that covers the whole button.
        press(b->titleButton(), 50, 20);
        EXPECT_EQ(recorder.custom, c.afterPress)
            << "pressed image " << c.pressedImage << " enabled " << c.enabled;
        if (c.pressedImage && c.enabled) {
            EXPECT_EQ(b->backView()->image(), solid(Qt::blue));
        }
        release(b->titleButton(), 50, 20);
        EXPECT_EQ(recorder.custom, c.afterRelease)
            << "pressed image " << c.pressedImage << " enabled " << c.enabled;
    }
}

TEST(RDCustomButton, SelectionAppliesStateLookWithDefaultColours)
{
    WhiteHost host;
    auto *b = new RDCustomButton(platform::makeRect(0, 0, 100, 40), &host.root);
    b->setNormalImage(solid(Qt::red));
    b->setSelectedImage(solid(Qt::green));
    b->setDisableImage(solid(Qt::gray));

    b->setSelected(true);
    ASSERT_TRUE(b->titleButton()->attributedStringTitle());
    EXPECT_EQ(b->titleButton()->attributedStringTitle()->text, "  ") << "an empty title becomes two blanks";
    EXPECT_EQ(b->titleButton()->attributedStringTitle()->color, QColor::fromRgbF(0.404f, 0.756f, 1.0f));
    EXPECT_EQ(b->iconView()->image(), solid(Qt::green));

    b->setSelected(false);
    EXPECT_EQ(b->titleButton()->attributedStringTitle()->color, QColor::fromRgbF(0.828f, 0.828f, 0.828f));
    EXPECT_EQ(b->iconView()->image(), solid(Qt::red));

    b->setEnabled(false);
    EXPECT_EQ(b->iconView()->image(), solid(Qt::red)) << "setEnabled alone changes nothing visible";
    b->setSelected(true);
    EXPECT_EQ(b->iconView()->image(), solid(Qt::gray));

    b->setCellTextPosition(0);
    EXPECT_EQ(b->iconView()->frame(), platform::makeRect(60, 0, 40, 40));
    EXPECT_EQ(b->titleButton()->frame(), platform::makeRect(-2, 0, 104, 40)) << "titleLab is off";
}

TEST(RDTitleButton, DrawsPlatformTitleCentredInBlack)
{
    WhiteHost host;
    auto *b = new RDTitleButton(platform::makeRect(0, 0, 200, 40), &host.root);
    b->setTitle("II");
    const QImage image = shot(b);
    int first = -1, last = -1;
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            if (image.pixelColor(x, y).lightness() < 60) {
                if (first < 0)
                    first = x;
                last = x;
                break;
            }
    ASSERT_GE(first, 0) << "a dark title is drawn";
    EXPECT_NEAR(first, 199 - last, 3);
}

TEST(RDButton, ClickSelectsAndReportsOnce)
{
    WhiteHost host;
    Recorder recorder;
    auto *b = new RDButton(platform::makeRect(0, 0, 90, 25), &host.root);
    b->setDelegate(&recorder);
    b->setTitle("Cancel");
    press(b, 45, 12);
    EXPECT_EQ(b->backgroundView()->image(), b->heightBackImage());
    EXPECT_EQ(recorder.button, 0);
    release(b, 200, 12); // wherever the pointer is
    EXPECT_EQ(recorder.button, 1);
    EXPECT_TRUE(b->selected());
    EXPECT_EQ(b->titleLabel()->textColor(), QColor::fromRgbF(1.0f, 81 / 255.0f, 0.0f));
    EXPECT_EQ(b->backgroundView()->image(), b->backImage());

    b->setEnabled(false);
    click(b, 45, 12);
    EXPECT_EQ(recorder.button, 1);
}

TEST(RDRadioButton, StaysSelectedAndReportsEachClick)
{
    WhiteHost host;
    Recorder recorder;
    auto *b = new RDRadioButton(platform::makeRect(0, 0, 120, 30), &host.root);
    b->setDelegate(&recorder);
    EXPECT_FALSE(b->iconView()->isChecked());
    click(b, 80, 15);
    click(b, 80, 15);
    EXPECT_TRUE(b->selected());
    EXPECT_TRUE(b->iconView()->isChecked());
    EXPECT_EQ(recorder.radio, 2);
    QTest::mouseClick(b->iconView(), Qt::LeftButton);
    EXPECT_EQ(recorder.radio, 3) << "the radio button itself clicks too";
}

TEST(RDSwitchButton, TogglesOnEveryRelease)
{
    WhiteHost host;
    Recorder recorder;
    auto *b = new RDSwitchButton(platform::makeRect(0, 0, 120, 30), &host.root);
    b->setDelegate(&recorder);
    b->setSelectedImage(solid(Qt::green));
    b->setNormalImage(solid(Qt::red));
    click(b, 60, 15);
    EXPECT_TRUE(b->selected());
    EXPECT_EQ(b->imageView()->image(), solid(Qt::green));
    click(b, 60, 15);
    EXPECT_FALSE(b->selected());
    EXPECT_EQ(recorder.switchStates, (std::vector<bool>{true, false}));
}

TEST(MergeButton, OnlyTheLowerCaseSetterMovesTheKnob)
{
    WhiteHost host;
    auto *b = new MergeButton(platform::makeRect(0, 0, 80, 30), &host.root);
    b->setSelected(true);
    EXPECT_EQ(b->knobView()->frame(), platform::makeRect(0, 0, 40, 30));
    b->setselected(true);
    EXPECT_EQ(b->knobView()->frame(), platform::makeRect(40, 0, 40, 30));
    b->setselected(false);
    EXPECT_EQ(b->knobView()->frame(), platform::makeRect(0, 0, 40, 30));
}
