// The trim panel without a window: its field checks, the trim bar's keep/delete look, the reset, and a
// zero duration (no player) that must never divide or lose the stored range.
#include "toolkit/TrimPanel.h"

#include "controls/RDCutProgressView.h"
#include "platform/PopUpButton.h"
#include "platform/Stepper.h"
#include "platform/TextField.h"
#include "platform/View.h"
#include "toolkit/PreviewHost.h"

#include <gtest/gtest.h>

namespace {

class TrimPanelTest : public ::testing::Test
{
protected:
    TrimPanelTest()
    {
        trim.build(&panel, nullptr, nullptr, TrimPanel::Actions{});
        trim.setPreview(&preview);
        trim.setBar(&bar);
    }

    static void type(const TimeFieldGroup &group, const QStringList &values)
    {
        for (int i = 0; i < 4; ++i)
            group.fields()[i]->setStringValue(values[i]);
    }

    platform::View panel{platform::makeRect(0, 0, 230, 400)};
    RDCutProgressView bar{platform::makeRect(0, 0, 300, 30)};
    PreviewHost preview; // no player: duration 0
    TrimPanel trim;
};

} // namespace

TEST_F(TrimPanelTest, BuildsTwoGroupsStepperPopUpAndButtons)
{
    EXPECT_FALSE(trim.startGroup().isEmpty());
    EXPECT_FALSE(trim.stopGroup().isEmpty());
    EXPECT_TRUE(trim.startStepper() && trim.stopStepper());
    EXPECT_EQ(trim.preferenceBtn()->numberOfItems(), 2);
    for (PNQButton *b : {trim.setStartTrimBtn().data(), trim.setStopTrimBtn().data(),
                         trim.playTrimBtn().data(), trim.resetTrimBtn().data()}) {
        ASSERT_TRUE(b);
        EXPECT_FALSE(b->isEnabled());
    }
    // Before a clip the play button draws its disabled glyph, not the enabled one on grey.
    EXPECT_FALSE(trim.playTrimBtn()->disAbleImage().isNull());
    EXPECT_NE(trim.playTrimBtn()->disAbleImage(), trim.playTrimBtn()->normalImage());
    trim.setEnabled(true);
    EXPECT_TRUE(trim.resetTrimBtn()->isEnabled());
}

TEST_F(TrimPanelTest, FieldEditsAreCheckedAndTakenIntoTheRange)
{
    std::vector<std::string> refused;
    const auto refuse = [&](const char *key) { refused.push_back(key); };
    type(trim.startGroup(), {"00", "00", "05", "50"});
    type(trim.stopGroup(), {"00", "00", "02", "00"});
    EXPECT_FALSE(trim.fieldShouldEndEditing(trim.startGroup().fields()[2], refuse));
    EXPECT_FALSE(trim.fieldShouldEndEditing(trim.stopGroup().fields()[2], refuse));
    EXPECT_EQ(refused, (std::vector<std::string>{"showmessageTime5", "showmessageTime2"}));
    EXPECT_EQ(trim.range().start, 0.0) << "a refused edit leaves the range";

    type(trim.stopGroup(), {"00", "01", "00", "00"});
    EXPECT_TRUE(trim.fieldShouldEndEditing(trim.startGroup().fields()[2], refuse));
    EXPECT_TRUE(trim.fieldShouldEndEditing(trim.stopGroup().fields()[1], refuse));
    EXPECT_NEAR(trim.range().start, 5.5e6, 1);
    EXPECT_NEAR(trim.range().stop, 60e6, 1);
    platform::TextField other(platform::Rect{}, &panel);
    EXPECT_TRUE(trim.fieldShouldEndEditing(&other, refuse)) << "not a trim field";
}

TEST_F(TrimPanelTest, ZeroDurationNeverDividesAndKeepsTheRange)
{
    trim.range() = {2e6, 8e6};
    bar.setUpperValue(0.8f);
    bar.setLowerValue(0.2f);
    trim.handlesMoved(0.1f, 0.9f, 1);
    trim.changeStart(9.0f);
    EXPECT_EQ(trim.range().stop, 8e6) << "no end to move the stop to";
    EXPECT_EQ(bar.lowerValue(), 0.0f);
    trim.range() = {2e6, 8e6};
    trim.handlesMoved(0.1f, 0.9f, 2);
    EXPECT_EQ(trim.range().start, 2e6);
    EXPECT_EQ(trim.range().stop, 8e6);
    EXPECT_FALSE(trim.setStopAtPlayhead()) << "no player, nothing to take";
    EXPECT_EQ(trim.range().stop, 8e6);
}

TEST_F(TrimPanelTest, DeleteModeKeepsTheHandlesAndResetGoesToTheEnds)
{
    bar.setUpperValue(0.7f);
    bar.setLowerValue(0.3f);
    trim.setDeleteMode(true);
    EXPECT_TRUE(bar.isFanxuan());
    EXPECT_FLOAT_EQ(bar.lowerValue(), 0.3f);
    EXPECT_FLOAT_EQ(bar.upperValue(), 0.7f);
    EXPECT_EQ(bar.progress(), 0.0f);
    trim.setDeleteMode(false);
    EXPECT_FALSE(bar.isFanxuan());
    EXPECT_FLOAT_EQ(bar.progress(), 0.3f);

    type(trim.startGroup(), {"00", "00", "05", "00"});
    trim.reset();
    EXPECT_EQ(trim.startGroup().seconds(), 0.0f);
    EXPECT_EQ(bar.lowerValue(), 0.0f);
    EXPECT_EQ(bar.upperValue(), 1.0f);
}

TEST_F(TrimPanelTest, EveryTypedHundredthIsStoredExactlyAndShownAgainAsTyped)
{
    // Times whose hundredths have no exact binary fraction, from under a second to over an hour.
    for (const QStringList &typed :
         {QStringList{"00", "00", "00", "29"}, QStringList{"00", "00", "01", "15"},
          QStringList{"00", "00", "01", "36"}, QStringList{"00", "00", "04", "35"},
          QStringList{"00", "59", "59", "99"}, QStringList{"01", "02", "03", "45"}}) {
        SCOPED_TRACE(typed.join(u':').toStdString());
        type(trim.startGroup(), typed);
        const int64_t expected =
            (typed[0].toLongLong() * 3600 + typed[1].toLongLong() * 60 + typed[2].toLongLong()) * 1000000 +
            typed[3].toLongLong() * 10000;
        EXPECT_EQ(trim.startGroup().microseconds(), expected);
        trim.range().start = double(expected);
        trim.startGroup().showZero();
        trim.showRange();
        QStringList shown;
        for (platform::TextField *field : trim.startGroup().fields())
            shown << field->stringValue();
        EXPECT_EQ(shown, typed);
    }
}
