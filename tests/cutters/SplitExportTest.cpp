// The split run as the engine sees it (recording engine): one conversion per piece with the size limit
// where the mode asks, pieces that follow where the engine says the previous one ended, set-up failures
// and the finish dialog.
#include "tests/cutters/SplitterWindow.h"

#include "controls/NSProgressView.h"
#include "cutters/SplitExport.h"
#include "tests/support/RecordingEngine.h"

#include <cmath>

namespace {

std::vector<std::string> cuts()
{
    return RecordingEngine::only({"cut"});
}

} // namespace

class SplitExportTest : public SplitterWindowTest
{
protected:
    // Starts a run and waits for its end.
    void runToEnd()
    {
        click(splitter->startExportBtn());
        ASSERT_TRUE(TestEnvironment::waitUntil([&] { return !splitter->exportRun().isRunning(); }));
        TestEnvironment::processEvents();
    }
};

TEST_F(SplitExportTest, SizeModeLimitsEveryPieceAndGoesOnWhereTheEngineStopped)
{
    openWith(twelveSecondClip());
    RecordingEngine::Installed engine;
    // Four equal parts of 12 s, in size mode with the 2 MB entry: every job carries 2,097,152 bytes.
    splitter->limiteachAverageSegmentAction();
    splitter->averageTextField()->setStringValue("4");
    click(splitter->splitBtn());
    const QList<double> P = points();
    splitter->limiteachFilesizeSegmentAction(); // clears the markers...
    for (double p : P.mid(0, P.size() - 1))
        splitter->playerSlider()->addSplitItemTime(float(p)); // ...so put them back
    splitter->split_sizepopBtn()->chooseItemAtIndex(1);

    const int64_t D = std::llround(splitter->preview().duration() * 1e6);
    auto at = [D](float p) { return static_cast<int64_t>(double(D) * double(p)); };
    // The second piece ends 1 s early, the last one 0.5 s early: the third starts where the second
    // ended, and one more piece takes the rest.
    RecordingEngine::endTimes = {at(0.25f), at(0.5f) - 1000000, at(0.75f), D - 500000, D};
    runToEnd();

    auto cut = [](int64_t a, int64_t b) { return "cut " + std::to_string(a) + " " + std::to_string(b); };
    EXPECT_EQ(cuts(), std::vector<std::string>({cut(0, at(0.25f)), cut(at(0.25f), at(0.5f)),
                                                cut(at(0.5f) - 1000000, at(0.75f)), cut(at(0.75f), D),
                                                cut(D - 500000, D)}));
    EXPECT_EQ(RecordingEngine::count("limitFileSize 2097152"), 5);
    EXPECT_EQ(files(), QStringList({"fixture-twelve-split1.mp4", "fixture-twelve-split2.mp4",
                                    "fixture-twelve-split3.mp4", "fixture-twelve-split4.mp4",
                                    "fixture-twelve-split5.mp4"}));
    EXPECT_EQ(dialogTexts, QStringList({"Splitfinishedstring"}));
}

TEST_F(SplitExportTest, OtherModesSetNoLimitAndNoMarkersExportTheWholeFile)
{
    openWith(twelveSecondClip());
    RecordingEngine::Installed engine;
    runToEnd();
    const int64_t D = std::llround(splitter->preview().duration() * 1e6);
    EXPECT_EQ(cuts(), std::vector<std::string>({"cut 0 " + std::to_string(D)}));
    EXPECT_EQ(RecordingEngine::count("limitFileSize"), 0);
    EXPECT_EQ(RecordingEngine::count("endTime"), 0);
    EXPECT_EQ(RecordingEngine::only({"vcodec", "acodec", "frameSize", "videoBitrate"}).size(), 0u);
    EXPECT_EQ(files(), QStringList({"fixture-twelve-split1.mp4"}));
    EXPECT_FLOAT_EQ(splitter->exportProgressView()->progress(), 1.0f);
}

TEST_F(SplitExportTest, TimeModePiecesEndOnWholeSteps)
{
    openWith(twelveSecondClip());
    click(splitter->splitBtn()); // a point every 5 s
    RecordingEngine::Installed engine;
    runToEnd();
    // 5 / 12 and 10 / 12 have no exact binary form; the pieces still end on the microsecond of the step.
    const int64_t D = std::llround(splitter->preview().duration() * 1e6);
    EXPECT_EQ(cuts(), std::vector<std::string>(
                          {"cut 0 5000000", "cut 5000000 10000000", "cut 10000000 " + std::to_string(D)}));
}

TEST_F(SplitExportTest, APieceThatFailsToSetUpIsClosedAndReportedAndTheRunStops)
{
    openWith(twelveSecondClip());
    click(splitter->splitBtn()); // three pieces
    RecordingEngine::Installed engine;
    RecordingEngine::outputResult = MEDIA_ERR_OUTPUT;
    TestEnvironment::scriptedPanels().answerAlert(0);
    runToEnd();
    EXPECT_EQ(RecordingEngine::count("create"), 1);
    EXPECT_EQ(RecordingEngine::count("close"), 1);
    EXPECT_EQ(RecordingEngine::count("start"), 0);
    ASSERT_EQ(TestEnvironment::scriptedPanels().alerts().size(), 1);
    EXPECT_EQ(TestEnvironment::scriptedPanels().alerts().first().informativeText, QStringLiteral("error:-4"));
    EXPECT_TRUE(dialogTexts.isEmpty());
    EXPECT_TRUE(splitter->addfileBtn()->isEnabled());
}

TEST_F(SplitExportTest, ALimitThatHoldsNothingFailsInsteadOfAddingPiecesForEver)
{
    openWith(twelveSecondClip());
    RecordingEngine::Installed engine;
    splitter->limiteachFilesizeSegmentAction();
    RecordingEngine::endTimes = {0}; // the only piece wrote nothing of the source
    TestEnvironment::scriptedPanels().answerAlert(0);
    runToEnd();
    EXPECT_EQ(RecordingEngine::count("start"), 1);
    ASSERT_EQ(TestEnvironment::scriptedPanels().alerts().size(), 1);
    EXPECT_EQ(TestEnvironment::scriptedPanels().alerts().first().informativeText, QStringLiteral("error:-6"));
}

TEST_F(SplitExportTest, ARunAfterACancelledOneNumbersOnFromTheHighestFile)
{
    openWith(twelveSecondClip());
    // What a cancel with pieces side by side leaves: the third piece was running and was removed.
    for (const char *name :
         {"fixture-twelve-split1.mp4", "fixture-twelve-split2.mp4", "fixture-twelve-split4.mp4"}) {
        QFile file(folder + '/' + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    click(splitter->splitBtn()); // three pieces, side by side
    RecordingEngine::Installed engine;
    runToEnd();
    EXPECT_EQ(files(), QStringList({"fixture-twelve-split1.mp4", "fixture-twelve-split2.mp4",
                                    "fixture-twelve-split4.mp4", "fixture-twelve-split5.mp4",
                                    "fixture-twelve-split6.mp4", "fixture-twelve-split7.mp4"}));
    EXPECT_EQ(RecordingEngine::only({"output"}),
              std::vector<std::string>({"output " + (folder + "/fixture-twelve-split5.mp4").toStdString(),
                                        "output " + (folder + "/fixture-twelve-split6.mp4").toStdString(),
                                        "output " + (folder + "/fixture-twelve-split7.mp4").toStdString()}));
}

TEST(SplitExport, SizeLimitCountsMebibytes)
{
    EXPECT_EQ(SplitExport::sizeLimitBytes(2), 2097152);
    EXPECT_EQ(SplitExport::sizeLimitBytes(0.5f), 524288);
    EXPECT_EQ(SplitExport::sizeLimitBytes(0), 0);
    EXPECT_EQ(SplitExport::sizeLimitBytes(-1), 0);
}
