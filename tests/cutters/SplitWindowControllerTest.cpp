// The splitter's modes and value entry on a loaded 12 s clip: which markers the split button makes,
// and what clears or keeps them.
#include "tests/cutters/SplitterWindow.h"

#include "controls/PNQButton.h"
#include "controls/TextLabel.h"
#include "model/SimpleData.h"
#include "platform/Stepper.h"
#include "platform/TextField.h"
#include "services/LanguageService.h"

#include <QLineEdit>

namespace {

QList<double> fractions(std::initializer_list<double> seconds, double duration)
{
    QList<double> out;
    for (double s : seconds)
        out << s / duration;
    out << 1.0;
    return out;
}

} // namespace

TEST_F(SplitterWindowTest, LoadingSelectsTimeModeAndTheSplitButtonMarksEveryFiveSeconds)
{
    openWith(twelveSecondClip());
    EXPECT_EQ(splitter->mode(), SplitWindowController::Mode::Time);
    EXPECT_EQ(splitter->split_timepopBtn()->indexOfSelectedItem(), 0);
    EXPECT_FLOAT_EQ(SplitWindowController::popUpValue(splitter->split_timepopBtn()), 5.0f);
    EXPECT_EQ(points(), QList<double>({1.0})) << "choosing a mode places no markers by itself";

    click(splitter->splitBtn());
    const double D = splitter->preview().duration();
    expectNear(points(), fractions({5, 10}, D));

    // Another pop-up entry does not recompute; the split button does.
    splitter->split_timepopBtn()->chooseItemAtIndex(1);
    expectNear(points(), fractions({5, 10}, D));
    click(splitter->splitBtn());
    expectNear(points(), fractions({10}, D));
}

TEST_F(SplitterWindowTest, ModesClearTheMarkersExceptManualChosenAgain)
{
    openWith(twelveSecondClip());
    click(splitter->splitBtn());
    ASSERT_EQ(points().size(), 3);
    splitter->limiteachFilesizeSegmentAction();
    EXPECT_EQ(points(), QList<double>({1.0}));

    splitter->limiteachManuallySegmentAction();
    EXPECT_TRUE(splitter->splitBtn()->isHidden());
    EXPECT_TRUE(splitter->totalTimeLabel()->text().startsWith("/ "));
    splitter->playerSlider()->addSplitItemTime(0.5f);
    splitter->limiteachManuallySegmentAction();
    EXPECT_EQ(points(), QList<double>({double(0.5f), 1.0})) << "manual again keeps the hand-set markers";
    splitter->splitAction(); // no mode of its own: nothing changes
    EXPECT_EQ(points(), QList<double>({double(0.5f), 1.0}));

    splitter->limiteachAverageSegmentAction();
    EXPECT_EQ(points(), QList<double>({1.0}));
    EXPECT_FALSE(splitter->totalTimeLabel()->text().startsWith("/ "));
}

TEST_F(SplitterWindowTest, SizeAndCountModesMarkTheirParts)
{
    openWith(twelveSecondClip());
    const float F = splitter->fileData()->sourceData()->fileSize();
    splitter->limiteachFilesizeSegmentAction();
    // A custom size of a third of the file: points at 1/3 and 2/3.
    TestEnvironment::scriptedPanels().answerAlert(0, QString::number(F / 3 + 1e-4, 'f', 6));
    platform::PopUpButton *size = splitter->split_sizepopBtn();
    size->chooseItemAtIndex(size->numberOfItems() - 1);
    click(splitter->splitBtn());
    expectNear(points(), {1 / 3.0, 2 / 3.0, 1.0});

    splitter->limiteachAverageSegmentAction();
    splitter->averageTextField()->setStringValue("4");
    splitter->controlTextDidChange(splitter->averageTextField());
    click(splitter->splitBtn());
    expectNear(points(), {0.25, 0.5, 0.75, 1.0});

    // Changing the count clears the markers and follows into the stepper; 6 parts are five markers.
    splitter->averageTextField()->setStringValue("6");
    splitter->controlTextDidChange(splitter->averageTextField());
    EXPECT_EQ(points(), QList<double>({1.0}));
    EXPECT_EQ(splitter->averagestepper()->intValue(), 6);
    click(splitter->splitBtn());
    EXPECT_EQ(points().size(), 6);
}

TEST_F(SplitterWindowTest, ValuesThatMakeNoPiecesMakeNoMarkers)
{
    openWith(twelveSecondClip());
    struct Case
    {
        SplitWindowController::Mode mode;
        QString value;
    };
    // No digits, zero, a negative count, one part, a step as long as the clip.
    for (const Case &c :
         {Case{SplitWindowController::Mode::Time, "abc"}, Case{SplitWindowController::Mode::Time, "0"},
          Case{SplitWindowController::Mode::Time, "12"}, Case{SplitWindowController::Mode::Size, "0"},
          Case{SplitWindowController::Mode::Average, "-3"}, Case{SplitWindowController::Mode::Average, "1"},
          Case{SplitWindowController::Mode::Average, "0"}}) {
        if (c.mode == SplitWindowController::Mode::Average) {
            splitter->limiteachAverageSegmentAction();
            splitter->averageTextField()->setStringValue(c.value);
        } else {
            if (c.mode == SplitWindowController::Mode::Time)
                splitter->limiteachTimeSegmentAction();
            else
                splitter->limiteachFilesizeSegmentAction();
            platform::PopUpButton *popUp = c.mode == SplitWindowController::Mode::Time
                                               ? splitter->split_timepopBtn()
                                               : splitter->split_sizepopBtn();
            TestEnvironment::scriptedPanels().answerAlert(0, c.value);
            popUp->chooseItemAtIndex(popUp->numberOfItems() - 1);
        }
        click(splitter->splitBtn());
        EXPECT_EQ(points(), QList<double>({1.0})) << c.value.toStdString();
    }
}

TEST_F(SplitterWindowTest, CustomEntryAddsItsItemAndACancelKeepsTheValueBefore)
{
    openWith(twelveSecondClip());
    platform::PopUpButton *time = splitter->split_timepopBtn();
    const QString custom = time->lastItemTitle();
    TestEnvironment::scriptedPanels().answerAlert(0, "12.5");
    time->chooseItemAtIndex(time->numberOfItems() - 1);
    EXPECT_FLOAT_EQ(SplitWindowController::popUpValue(time), 12.5f);
    EXPECT_TRUE(time->titleOfSelectedItem().startsWith("12.5"));
    EXPECT_EQ(time->lastItemTitle(), custom) << "the custom entry stays last";
    EXPECT_EQ(time->numberOfItems(), 7);

    time->chooseItemAtIndex(2);                       // 20 s
    TestEnvironment::scriptedPanels().answerAlert(1); // Cancel
    time->chooseItemAtIndex(time->numberOfItems() - 1);
    EXPECT_FLOAT_EQ(SplitWindowController::popUpValue(time), 12.5f) << "the last typed value comes back";
    EXPECT_EQ(time->lastItemTitle(), custom);
}

TEST_F(SplitterWindowTest, ManualButtonsAddSelectAndDeleteMarkers)
{
    openWith(twelveSecondClip());
    splitter->limiteachManuallySegmentAction();
    SplitProgressView *timeline = splitter->playerSlider();
    // No markers: moving the selection changes nothing.
    splitter->leftMoveAction();
    splitter->rightMoveAction();
    EXPECT_EQ(points(), QList<double>({1.0}));

    const double span = timeline->frame().width() - SplitProgressView::markerSize;
    for (double f : {0.25, 0.5, 0.75}) {
        timeline->beginBtn()->setFrameOrigin(
            platform::Point{span * f, timeline->beginBtn()->frame().origin.y});
        splitter->splitItemAction();
    }
    expectNear(points(), {0.25, 0.5, 0.75, 1.0});
    splitter->leftMoveAction();
    EXPECT_EQ(timeline->selectedSplitIndex(), 1);
    EXPECT_NEAR(splitter->preview().currentTime(), 0.5 * splitter->preview().duration(), 0.1);
    splitter->deletedItemAction();
    expectNear(points(), {0.25, 0.75, 1.0});
}

TEST_F(SplitterWindowTest, StartWithoutAFileSaysSoAndLoadingAnotherFileReplacesThePreview)
{
    open();
    TestEnvironment::scriptedPanels().answerAlert(0);
    splitter->startExportAction();
    ASSERT_EQ(TestEnvironment::scriptedPanels().alerts().size(), 1);
    EXPECT_EQ(TestEnvironment::scriptedPanels().alerts().first().informativeText,
              LanguageService::localizedStringForKey("scrlabelplaceholderString"));

    TestEnvironment::scriptedPanels().answerOpenPanel({twelveSecondClip()});
    splitter->addFileAction();
    ASSERT_TRUE(splitter->preview().player());
    const QPointer<QWidget> first = splitter->preview().view();
    TestEnvironment::scriptedPanels().answerOpenPanel({twelveSecondClip()});
    splitter->addFileAction();
    TestEnvironment::processDeferredDeletes();
    EXPECT_TRUE(!first || first != splitter->preview().view()) << "the old preview is gone";
    EXPECT_TRUE(splitter->preview().player());
}

TEST_F(SplitterWindowTest, TheVolumeSliderShowsTheClipsLevelOnceLoaded)
{
    open();
    EXPECT_FLOAT_EQ(splitter->volumeSlider()->progress(), 0.0f) << "no clip, no level";
    TestEnvironment::scriptedPanels().answerOpenPanel({twelveSecondClip()});
    QTest::mouseClick(splitter->addfileBtn(), Qt::LeftButton);
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return splitter->preview().player() != nullptr; }));
    EXPECT_FLOAT_EQ(splitter->volumeSlider()->progress(), 0.5f) << "the clip's level 1.0, as every tool";
}
