#include "EasyCutterTestWindow.h"

#include "cutters/CutItemView.h"
#include "services/LanguageService.h"
#include "tests/support/RecordingEngine.h"

using easycuttest::EasyCutterWindowTest;

namespace {

QString text(const char *key)
{
    return LanguageService::localizedStringForKey(QString::fromLatin1(key));
}

class EasyCutterTimeEditing : public EasyCutterWindowTest
{
protected:
    void SetUp() override
    {
        openWith(easycuttest::longClip());
        ASSERT_NEAR(cutter->duration(), 125.5, 0.05);
    }
    void expectAlerts(int n)
    {
        for (int i = 0; i < n; ++i)
            TestEnvironment::scriptedPanels().answerAlert(0);
    }
};

} // namespace

TEST_F(EasyCutterTimeEditing, ALoadedSourceShowsItsWholeRange)
{
    EXPECT_EQ(texts(cutter->rangeStartGroup()), (QStringList{"00", "00", "00", "00"}));
    EXPECT_EQ(texts(cutter->rangeStopGroup()), (QStringList{"00", "02", "05", "50"}));
    EXPECT_EQ(cutter->durationValueLabel()->text(), "00:02:05.50");
    EXPECT_FLOAT_EQ(cutter->volumeSlider()->progress(), 0.5f);
}

TEST_F(EasyCutterTimeEditing, ANegativeStartIsRefusedAndKeepsEditing)
{
    expectAlerts(2);
    EXPECT_FALSE(type(cutter->rangeStartGroup(), 2, "-1"));
    EXPECT_FLOAT_EQ(cutter->cutprogressView()->lowerValue(), 0.0f);

    cutAt(10, 20);
    cutter->cutList().setOverlayIndex(0);
    cutter->modifyAction();
    EXPECT_FALSE(type(cutter->cutStartGroup(), 0, "-1"));
    EXPECT_FLOAT_EQ(cutter->cutList().cutAt(0)->startTime, 10.0f);
    EXPECT_EQ(alertTexts(), (QStringList{text("showmessageTime4"), text("showmessageTime4")}));
}

TEST_F(EasyCutterTimeEditing, EachRefusalShowsItsAlertAndMovesOnlyTheEditedPart)
{
    struct Case
    {
        bool stopGroup;
        int part;
        QString typed;
        const char *alert;
        double after; // the edited group's time once the field is corrected
    };
    const Case cases[] = {
        // A stop beyond the end: the hours come down to those of the end.
        {true, 0, "01", "showmessageTime2", 125.5},
        // A start after the stop: its minutes come down to the stop's (3 -> 2).
        {false, 1, "03", "showmessageTime1", 120.0},
    };
    for (const Case &c : cases) {
        TestEnvironment::scriptedPanels().reset();
        expectAlerts(1);
        const TimeFieldGroup &group = c.stopGroup ? cutter->rangeStopGroup() : cutter->rangeStartGroup();
        EXPECT_TRUE(type(group, c.part, c.typed));
        EXPECT_EQ(alertTexts(), QStringList{text(c.alert)}) << c.typed.toStdString();
        EXPECT_NEAR(group.seconds(), c.after, 0.011) << c.typed.toStdString();
    }
    // The start of 120 s is on the bar and in the length label.
    EXPECT_NEAR(cutter->cutprogressView()->lowerValue() * cutter->duration(), 120.0, 0.01);
    EXPECT_EQ(cutter->durationValueLabel()->text(), "00:00:05.50");

    // A stop before the start (60 s): its minutes go up to the start's.
    TestEnvironment::scriptedPanels().reset();
    expectAlerts(1);
    ASSERT_TRUE(type(cutter->rangeStartGroup(), 1, "01"));
    ASSERT_TRUE(type(cutter->rangeStopGroup(), 1, "00"));
    EXPECT_EQ(alertTexts(), QStringList{text("showmessageTime3")});
    EXPECT_NEAR(cutter->rangeStopGroup().seconds(), 65.5, 0.011);
    EXPECT_NEAR(cutter->cutprogressView()->upperValue() * cutter->duration(), 65.5, 0.01);
}

TEST_F(EasyCutterTimeEditing, EqualStartAndStopAndAStopAtTheEndAreAccepted)
{
    const QList<platform::TextField *> start = cutter->rangeStartGroup().fields();
    start[1]->setStringValue("02");
    start[2]->setStringValue("05");
    ASSERT_TRUE(type(cutter->rangeStartGroup(), 3, "50"));
    EXPECT_TRUE(TestEnvironment::scriptedPanels().alerts().isEmpty());
    EXPECT_EQ(cutter->durationValueLabel()->text(), "00:00:00.00");
}

TEST_F(EasyCutterTimeEditing, CutFieldsEditTheSelectedCutAndItsRow)
{
    cutAt(10, 20);
    cutter->cutList().setOverlayIndex(0);
    cutter->modifyAction();
    ASSERT_TRUE(cutter->selectedItemTimeChangeView()->isVisible());
    EXPECT_EQ(texts(cutter->cutStartGroup()), (QStringList{"00", "00", "10", "00"}));

    expectAlerts(2);
    // A start after the stop comes down to the stop's minutes (0): 10 s again.
    EXPECT_TRUE(type(cutter->cutStartGroup(), 1, "01"));
    EXPECT_FLOAT_EQ(cutter->cutList().cutAt(0)->startTime, 10.0f);
    // A stop of 5 s before the start of 10 s: its seconds go up to 10.
    EXPECT_TRUE(type(cutter->cutStopGroup(), 2, "05"));
    EXPECT_FLOAT_EQ(cutter->cutList().cutAt(0)->endTime, 10.0f);
    EXPECT_EQ(alertTexts(), (QStringList{text("showmessageTime1"), text("showmessageTime3")}));

    // An accepted edit reaches the cut, its row and the bar.
    EXPECT_TRUE(type(cutter->cutStopGroup(), 2, "30"));
    EXPECT_FLOAT_EQ(cutter->cutList().cutAt(0)->endTime, 30.0f);
    EXPECT_EQ(cutter->cutItemViews().at(0)->titleField()->text(), "00:00:10.00-00:00:30.00");
    EXPECT_NEAR(cutter->cutprogressView()->upperValue() * cutter->duration(), 30.0, 0.01);
}

TEST_F(EasyCutterTimeEditing, TypedAndSteppedHundredthsAreKeptExactlyUpToTheEngine)
{
    // None of 1.15, 16.15 and 64.15 has an exact binary form: in single precision, through the bar's
    // single-precision fractions of 125.5 s, or truncated to microseconds, each comes out a hair short.
    const auto stepUp = [&](const TimeFieldGroup &group, platform::Stepper *stepper) {
        cutter->actionMouseDownForTextFieldBlock(static_cast<RDTextField *>(group.fields().at(3)));
        stepper->stepUp();
    };
    // The range: a start typed as 00:00:01.15, a stop typed as 00:01:04.14 and stepped to .15.
    cutter->rangeStartGroup().fields().at(2)->setStringValue("01");
    ASSERT_TRUE(type(cutter->rangeStartGroup(), 3, "15"));
    cutter->rangeStopGroup().fields().at(1)->setStringValue("01");
    cutter->rangeStopGroup().fields().at(2)->setStringValue("04");
    ASSERT_TRUE(type(cutter->rangeStopGroup(), 3, "14"));
    stepUp(cutter->rangeStopGroup(), cutter->stopStepper());
    EXPECT_TRUE(TestEnvironment::scriptedPanels().alerts().isEmpty());
    EXPECT_EQ(texts(cutter->rangeStartGroup()), (QStringList{"00", "00", "01", "15"}));
    EXPECT_EQ(texts(cutter->rangeStopGroup()), (QStringList{"00", "01", "04", "15"}));

    // CUT stores the range as typed and stepped.
    cutter->cutAction();
    ASSERT_EQ(cutter->cutList().count(), 1);
    EXPECT_EQ(cutter->cutList().cutAt(0)->startTime, 1.15);
    EXPECT_EQ(cutter->cutList().cutAt(0)->endTime, 64.15);
    EXPECT_EQ(cutter->cutItemViews().at(0)->titleField()->text(), "00:00:01.15-00:01:04.15");

    // The cut's own stop, typed as 00:00:16.14 in modify mode and stepped to .15.
    cutter->cutList().setOverlayIndex(0);
    cutter->modifyAction();
    cutter->cutStopGroup().fields().at(1)->setStringValue("00");
    cutter->cutStopGroup().fields().at(2)->setStringValue("16");
    ASSERT_TRUE(type(cutter->cutStopGroup(), 3, "14"));
    stepUp(cutter->cutStopGroup(), cutter->stopItemStepper());
    EXPECT_TRUE(TestEnvironment::scriptedPanels().alerts().isEmpty());
    EXPECT_EQ(cutter->cutList().cutAt(0)->startTime, 1.15);
    EXPECT_EQ(cutter->cutList().cutAt(0)->endTime, 16.15);
    EXPECT_EQ(texts(cutter->cutStopGroup()), (QStringList{"00", "00", "16", "15"}));
    EXPECT_EQ(cutter->cutItemViews().at(0)->titleField()->text(), "00:00:01.15-00:00:16.15");

    // The export hands the engine the exact microseconds and names the file after the fields.
    RecordingEngine::Installed engine;
    RecordingEngine::holdStart = true; // the conversion runs until the window's close cancels it
    cutter->startExportAction(nullptr);
    ASSERT_TRUE(TestEnvironment::waitUntil([] { return RecordingEngine::count("output") == 1; }));
    EXPECT_EQ(RecordingEngine::only({"cut"}), std::vector<std::string>{"cut 1150000 16150000"});
    const std::vector<std::string> output = RecordingEngine::only({"output"});
    EXPECT_NE(output.at(0).find("/000001.15-000016.15.mp4"), std::string::npos) << output.at(0);
}

TEST_F(EasyCutterTimeEditing, StepperWritesIntoTheLastClickedFieldOfItsGroup)
{
    // The stop's minutes were clicked last: the start stepper writes there, and only the start handle
    // is set (to the unchanged start).
    auto *stopMinutes = static_cast<RDTextField *>(cutter->rangeStopGroup().fields().at(1));
    cutter->actionMouseDownForTextFieldBlock(stopMinutes);
    cutter->cutprogressView()->setUpperValue(0.5f);
    cutter->startStepper()->stepUp(); // the start stepper's own 0 -> 1
    EXPECT_EQ(stopMinutes->stringValue(), "01");
    EXPECT_FLOAT_EQ(cutter->cutprogressView()->lowerValue(), 0.0f);
    EXPECT_FLOAT_EQ(cutter->cutprogressView()->upperValue(), 0.5f);

    // The hundredths wrap within 0..59 with no carry.
    auto *startHundredths = static_cast<RDTextField *>(cutter->rangeStartGroup().fields().at(3));
    cutter->actionMouseDownForTextFieldBlock(startHundredths);
    cutter->startStepper()->stepDown();
    EXPECT_EQ(startHundredths->stringValue(), "59");
    EXPECT_EQ(cutter->rangeStartGroup().fields().at(2)->stringValue(), "00");
    EXPECT_NEAR(cutter->cutprogressView()->lowerValue() * cutter->duration(), 0.59, 0.001);
    cutter->startStepper()->stepUp();
    EXPECT_EQ(startHundredths->stringValue(), "00");
}

TEST_F(EasyCutterTimeEditing, AStopStepperBeyondTheEndIsLoweredToTheEnd)
{
    expectAlerts(1);
    auto *stopMinutes = static_cast<RDTextField *>(cutter->rangeStopGroup().fields().at(1));
    cutter->actionMouseDownForTextFieldBlock(stopMinutes);
    cutter->stopStepper()->stepUp(); // 02 -> 03: past 125.5 s
    EXPECT_EQ(alertTexts(), QStringList{text("showmessageTime2")});
    EXPECT_EQ(stopMinutes->stringValue(), "02");
    EXPECT_FLOAT_EQ(cutter->cutprogressView()->upperValue(), 1.0f);
}

TEST_F(EasyCutterTimeEditing, ListOperationsThroughTheWindow)
{
    cutAt(10, 25.5f);
    cutAt(30, 40);
    cutAt(50, 60);
    ASSERT_EQ(cutter->cutItemViews().size(), 3);
    EXPECT_EQ(cutter->cutItemViews().at(0)->titleField()->text(), "00:00:10.00-00:00:25.50");
    EXPECT_TRUE(cutter->cutItemViews().at(2)->selected());
    EXPECT_FALSE(cutter->downMoveItemBtn()->isEnabled());
    EXPECT_TRUE(cutter->upMoveItemBtn()->isEnabled());

    // Hover the first row, copy it: the copy stands in front; the selection index stays at 2.
    cutter->rowEntered(cutter->cutItemViews().at(0));
    EXPECT_EQ(cutter->itemSelectView()->parentWidget(), cutter->cutItemViews().at(0));
    cutter->copyAction();
    ASSERT_EQ(cutter->cutList().count(), 4);
    EXPECT_TRUE(cutter->cutItemViews().at(2)->selected());
    EXPECT_FLOAT_EQ(cutter->cutList().selectedCut()->startTime, 30.0f);

    // A click selects a row and shows its cut in the bar and both groups.
    cutter->fileItemAction(cutter->cutItemViews().at(3));
    EXPECT_EQ(texts(cutter->rangeStartGroup()), (QStringList{"00", "00", "50", "00"}));
    EXPECT_EQ(texts(cutter->cutStopGroup()), (QStringList{"00", "01", "00", "00"}));
    EXPECT_FALSE(cutter->downMoveItemBtn()->isEnabled());

    // Modify shows the cut-time panel under the row, a second press hides it; the row stays selected.
    cutter->modifyAction();
    EXPECT_TRUE(cutter->selectedItemTimeChangeView()->isVisible());
    EXPECT_TRUE(cutter->itemModifyBtn()->selected());
    cutter->modifyAction();
    EXPECT_FALSE(cutter->selectedItemTimeChangeView()->isVisible());
    EXPECT_TRUE(cutter->cutItemViews().at(3)->selected());

    // Delete the last row: the one before it is selected.
    cutter->deleteAction();
    ASSERT_EQ(cutter->cutList().count(), 3);
    EXPECT_EQ(cutter->cutList().selectedCutIndex(), 2);

    // Clear: every row goes; the next CUT selects its cut at index 0.
    cutter->clearAction();
    EXPECT_TRUE(cutter->cutItemViews().isEmpty());
    EXPECT_TRUE(cutter->itemSelectView()->isHidden());
    cutter->moveUpAction();
    cutAt(1, 2);
    EXPECT_EQ(cutter->cutList().selectedCutIndex(), 0);
}

TEST_F(EasyCutterTimeEditing, RebuildsAndALeavingPointerHideTheOverlayAndClearKeepsEverythingElse)
{
    cutAt(10, 20);
    cutAt(30, 40);
    cutAt(50, 60);
    const auto row = [&](int i) { return cutter->cutItemViews().at(i).data(); };
    EXPECT_TRUE(cutter->itemSelectView()->isHidden()) << "a rebuild shows no overlay until the pointer comes";

    // The pointer on a row brings the overlay there; a rebuild takes it away and keeps its row index.
    cutter->rowEntered(row(0));
    EXPECT_FALSE(cutter->itemSelectView()->isHidden());
    EXPECT_EQ(cutter->itemSelectView()->parentWidget(), row(0));
    EXPECT_EQ(cutter->cutList().overlayIndex(), 0);
    cutter->moveUpAction(); // the selected cut 2 goes to 1
    EXPECT_TRUE(cutter->itemSelectView()->isHidden());
    EXPECT_EQ(cutter->cutList().overlayIndex(), 0);

    // Leaving a row outside modify mode hides the overlay, which then acts on the selected cut.
    cutter->rowEntered(row(2));
    EXPECT_EQ(cutter->cutList().overlayIndex(), 2);
    cutter->rowExited(row(2));
    EXPECT_TRUE(cutter->itemSelectView()->isHidden());
    EXPECT_EQ(cutter->cutList().overlayIndex(), 1);

    // In modify mode the overlay stays; the panel lies under the row of the cut it edits.
    cutter->rowEntered(row(2));
    cutter->modifyAction();
    ASSERT_TRUE(cutter->itemModifyBtn()->selected());
    cutter->rowExited(row(2));
    EXPECT_FALSE(cutter->itemSelectView()->isHidden());
    cutter->moveUpAction(); // the modified cut 2 goes to 1: the panel follows it
    EXPECT_EQ(cutter->selectedItemTimeChangeView()->frame().maxY(), row(1)->frame().minY());

    // Clear takes the cuts and their rows; the index, the move buttons, Modify and the panel stay.
    const bool up = cutter->upMoveItemBtn()->isEnabled(), down = cutter->downMoveItemBtn()->isEnabled();
    cutter->clearAction();
    EXPECT_TRUE(cutter->cutItemViews().isEmpty());
    EXPECT_EQ(cutter->cutList().count(), 0);
    EXPECT_TRUE(cutter->itemSelectView()->isHidden());
    EXPECT_EQ(cutter->cutList().selectedCutIndex(), 1);
    EXPECT_EQ(cutter->upMoveItemBtn()->isEnabled(), up);
    EXPECT_EQ(cutter->downMoveItemBtn()->isEnabled(), down);
    EXPECT_TRUE(cutter->itemModifyBtn()->selected());
    EXPECT_TRUE(cutter->selectedItemTimeChangeView()->isVisible());
    cutter->moveUpAction();
    cutter->copyAction();
    EXPECT_EQ(cutter->cutList().count(), 0) << "no cut at the kept indexes: nothing happens";
}

TEST(CutItemView, TitleCutsHundredthsAndShowsNegativePartsAsZero)
{
    const struct
    {
        float start, end;
        const char *title;
    } cases[] = {
        {0.0f, 83.456f, "00:00:00.00-00:01:23.45"},
        {3600.5f, 3601.0f, "01:00:00.50-01:00:01.00"},
        {-5.0f, 1.0f, "00:00:00.00-00:00:01.00"},
    };
    for (const auto &c : cases) {
        CutItem item;
        item.startTime = c.start;
        item.endTime = c.end;
        EXPECT_EQ(CutItemView::titleFor(item), c.title);
    }
}
