// Real splits through the window and the engine: the files are probed and decoded.
#include "tests/cutters/SideBySideRun.h"
#include "tests/cutters/SplitterWindow.h"

#include "controls/NSProgressView.h"
#include "cutters/SplitProgressView.h"
#include "model/FileData.h"
#include "model/SimpleData.h"
#include "platform/Log.h"
#include "platform/PopUpButton.h"
#include "platform/Stepper.h"
#include "platform/TextField.h"
#include "tests/support/ProbeDecoder.h"
#include "tests/support/ProbeTool.h"
#include "toolkit/EngineApi.h"
#include "toolkit/OutputFolderChooser.h"

#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <atomic>
#include <cmath>
#include <map>

namespace {

constexpr int kExportWaitMs = 120000;

int firstStamp(const QString &path)
{
    const auto frame = fixture::decodeFrameAt(path.toStdString(), 0.0);
    return frame ? fixture::readFrameIndex(*frame) : -2;
}

double probedDuration(const QString &path)
{
    return fixture::probe(path.toStdString()).duration;
}

} // namespace

class SplitterEndToEndTest : public SplitterWindowTest
{
protected:
    // Clicks Start and waits for the finish dialog.
    void runToFinish()
    {
        const int dialogs = dialogTexts.size();
        click(splitter->startExportBtn());
        ASSERT_TRUE(TestEnvironment::waitUntil([&] { return dialogTexts.size() > dialogs; }, kExportWaitMs));
        EXPECT_EQ(dialogTexts.last(), QStringLiteral("Splitfinishedstring"));
        EXPECT_FALSE(splitter->exportRun().isRunning());
        EXPECT_FLOAT_EQ(splitter->exportProgressView()->progress(), 1.0f);
    }
    // Manual split points at these times of the 12 s clip, placed by moving the marker as the user does.
    void splitManuallyAt(std::initializer_list<double> times)
    {
        splitter->limiteachManuallySegmentAction();
        SplitProgressView *timeline = splitter->playerSlider();
        const double span = timeline->frame().width() - SplitProgressView::markerSize;
        for (double seconds : times) {
            timeline->beginBtn()->setFrameOrigin(
                platform::Point{span * seconds / 12.0, timeline->beginBtn()->frame().origin.y});
            splitter->splitItemAction();
        }
    }
    QString file(const QString &name) const { return folder + '/' + name; }
};

TEST_F(SplitterEndToEndTest, ByFiveSecondsGivesThreeNumberedFilesStartingOnTheirFrames)
{
    openWith(twelveSecondClip());
    click(splitter->splitBtn());
    runToFinish();
    const QStringList names = {"fixture-twelve-split1.mp4", "fixture-twelve-split2.mp4",
                               "fixture-twelve-split3.mp4"};
    ASSERT_EQ(files(), names);
    const double expected[3] = {5, 5, 2};
    const int firstFrame[3] = {0, 125, 250};
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(probedDuration(file(names[i])), expected[i], 0.1) << names[i].toStdString();
        EXPECT_EQ(firstStamp(file(names[i])), firstFrame[i]) << names[i].toStdString();
    }

    // A second run continues the numbering.
    runToFinish();
    EXPECT_EQ(files().size(), 6);
    EXPECT_EQ(firstStamp(file("fixture-twelve-split4.mp4")), 0);
    EXPECT_EQ(firstStamp(file("fixture-twelve-split6.mp4")), 250);
}

TEST_F(SplitterEndToEndTest, AfterARunEveryModesValueControlsAndTheBeginMarkerAreOnUntilTheNextModeChange)
{
    // Several files chosen: the window takes the first.
    open();
    TestEnvironment::scriptedPanels().answerOpenPanel({twelveSecondClip(), QStringLiteral("/nowhere/b.mp4")});
    splitter->addFileAction();
    ASSERT_TRUE(splitter->fileData());
    EXPECT_EQ(splitter->fileData()->path(), twelveSecondClip());
    ASSERT_FALSE(TestEnvironment::scriptedPanels().openPanels().isEmpty());
    EXPECT_TRUE(TestEnvironment::scriptedPanels().openPanels().last().allowsMultipleSelection);
    folder = QString::fromStdString(fixture::freshFolder());
    TestEnvironment::scriptedPanels().answerFolderPanel(folder);
    splitter->folderChooser()->popUpButton()->chooseItemAtIndex(OutputFolderChooser::Other);

    ASSERT_EQ(splitter->mode(), SplitWindowController::Mode::Time);
    EXPECT_FALSE(splitter->split_sizepopBtn()->isEnabled()) << "before a run only the mode's own value";
    click(splitter->splitBtn());
    platform::LogCapture log;
    runToFinish();
    EXPECT_TRUE(log.contains("转换完成"));
    EXPECT_FALSE(log.contains("转换失败"));

    // Editing comes back whole: every mode's value controls, the split button and the begin marker.
    for (QWidget *w : std::initializer_list<QWidget *>{
             splitter->split_timepopBtn(), splitter->split_sizepopBtn(), splitter->averageTextField(),
             splitter->averagestepper(), splitter->splitBtn()})
        EXPECT_TRUE(w->isEnabled()) << w->metaObject()->className();
    EXPECT_FALSE(splitter->playerSlider()->beginBtn()->isHidden());
    EXPECT_EQ(splitter->mode(), SplitWindowController::Mode::Time) << "the mode itself stays";

    // The next mode change sets them by the mode again.
    splitter->limiteachFilesizeSegmentAction();
    EXPECT_FALSE(splitter->split_timepopBtn()->isEnabled());
    EXPECT_FALSE(splitter->averageTextField()->isEnabled());
    EXPECT_TRUE(splitter->split_sizepopBtn()->isEnabled());
    EXPECT_TRUE(splitter->playerSlider()->beginBtn()->isHidden());
}

TEST_F(SplitterEndToEndTest, ACancelledRunLogsThatItDidNotFinish)
{
    openWith(twelveSecondClip());
    click(splitter->splitBtn());
    platform::LogCapture log;
    click(splitter->startExportBtn());
    click(splitter->startExportBtn()); // cancel
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return log.contains("转换失败"); }, kExportWaitMs));
    EXPECT_FALSE(log.contains("转换完成"));
}

TEST_F(SplitterEndToEndTest, ThreeManualPointsGiveFourFiles)
{
    openWith(twelveSecondClip());
    splitManuallyAt({2.0, 6.0, 9.0});
    ASSERT_EQ(points().size(), 4);
    runToFinish();
    ASSERT_EQ(files().size(), 4);
    double total = 0;
    int frames = 0;
    for (const QString &name : files()) {
        total += probedDuration(file(name));
        frames += fixture::countVideoFrames(file(name).toStdString());
    }
    EXPECT_NEAR(total, 12.0, 0.15);
    EXPECT_EQ(frames, 300);
}

TEST_F(SplitterEndToEndTest, BySizeEveryFileKeepsTheLimitAndTogetherTheyHoldTheWholeClip)
{
    // Flat for 6 s, then noisy: the bit rate jumps half-way.
    fixture::Spec spec;
    spec.duration = 12;
    spec.noiseFromFrame = 150;
    const QString source = QString::fromStdString(fixture::sharedFixture("vbr.mp4", spec));
    openWith(source);
    splitter->limiteachFilesizeSegmentAction();
    const float F = splitter->fileData()->sourceData()->fileSize();
    // A limit of a quarter of the file: the even points fall short in the noisy half.
    const QString megabytes = QString::number(std::ceil(F / 4 * 1000) / 1000, 'f', 3);
    TestEnvironment::scriptedPanels().answerAlert(0, megabytes);
    platform::PopUpButton *size = splitter->split_sizepopBtn();
    size->chooseItemAtIndex(size->numberOfItems() - 1);
    click(splitter->splitBtn());
    ASSERT_EQ(points().size(), 4);
    runToFinish();

    const int64_t limit = static_cast<int64_t>(megabytes.toFloat() * 1024 * 1024);
    const QStringList names = files();
    ASSERT_GT(names.size(), points().size()) << "the noisy half needed more pieces than the even points";
    double total = 0;
    int frames = 0;
    int expectedFirst = 0;
    for (const QString &name : names) {
        const QString path = file(name);
        EXPECT_LE(QFileInfo(path).size(), limit) << name.toStdString();
        const std::vector<int> indices = fixture::decodeAllFrameIndices(path.toStdString());
        ASSERT_FALSE(indices.empty()) << name.toStdString();
        EXPECT_EQ(indices.front(), expectedFirst)
            << name.toStdString() << " starts where the one before ended";
        expectedFirst = indices.back() + 1;
        frames += int(indices.size());
        total += probedDuration(path);
    }
    EXPECT_EQ(expectedFirst, 300) << "the last file decodes to the end";
    EXPECT_EQ(frames, 300);
    EXPECT_NEAR(total, 12.0, 0.2);
}

namespace {

// The real engine, except that the second Start waits for the cancel before it runs.
std::atomic<int> g_starts{0};
std::atomic<bool> g_stopAsked{false};

int heldStart(MEDIA_HANDLE h)
{
    if (++g_starts == 2) {
        for (int i = 0; i < 1000 && !g_stopAsked; ++i)
            QThread::msleep(10);
    }
    return apiMediaConvertStart(h);
}

int recordedStop(MEDIA_HANDLE h)
{
    g_stopAsked = true;
    return apiMediaConvertStop(h);
}

} // namespace

TEST_F(SplitterEndToEndTest, CancelKeepsFinishedPiecesLeavesNoPartialOneAndShowsNoDialog)
{
    openWith(twelveSecondClip());
    click(splitter->splitBtn());
    EngineApi api;
    api.convertStart = heldStart;
    api.convertStop = recordedStop;
    api.idleCores = [] { return 0; }; // one piece after another: the first is complete when the second starts
    g_starts = 0;
    g_stopAsked = false;
    const EngineApi previous = EngineApi::install(api);

    click(splitter->startExportBtn());
    ASSERT_TRUE(TestEnvironment::waitUntil([] { return g_starts == 2; }, kExportWaitMs));
    click(splitter->startExportBtn()); // cancel
    EXPECT_FALSE(splitter->exportRun().isRunning());
    EXPECT_TRUE(splitter->addfileBtn()->isEnabled());
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return splitter->exportRun().runningChain() == nullptr; }));
    TestEnvironment::processEvents();
    EngineApi::install(previous);

    EXPECT_EQ(files(), QStringList({"fixture-twelve-split1.mp4"})) << "no partial or hidden file is left";
    EXPECT_NEAR(probedDuration(file("fixture-twelve-split1.mp4")), 5.0, 0.1);
    EXPECT_EQ(g_starts, 2);
    EXPECT_TRUE(dialogTexts.isEmpty());
    EXPECT_TRUE(TestEnvironment::scriptedPanels().alerts().isEmpty());
}

TEST_F(SplitterEndToEndTest, PiecesRunSideBySideGiveTheSameFilesAsOneAfterAnother)
{
    openWith(twelveSecondClip());
    // Between key frames (one a second): every piece has seams to encode.
    splitManuallyAt({2.3, 6.5, 9.1});
    ASSERT_EQ(points().size(), 4);

    const std::set<std::string> source = sidebyside::videoPackets(twelveSecondClip());
    std::map<QString, sidebyside::Holds> written[2];
    for (const int idle : {0, 8}) {
        SCOPED_TRACE(idle);
        {
            sidebyside::Engine engine(idle);
            runToFinish();
            EXPECT_EQ(sidebyside::mostAtOnce, idle > 0 ? 2 : 1);
        }
        for (const QString &name : files()) {
            written[idle > 0][name] = sidebyside::holds(file(name), source);
            ASSERT_TRUE(QFile::remove(file(name)));
        }
    }
    ASSERT_EQ(written[0].size(), 4u);
    EXPECT_EQ(written[0].begin()->first, "fixture-twelve-split1.mp4");
    EXPECT_TRUE(written[0] == written[1]) << "the same names, frames and packets";
    size_t frames = 0, copied = 0, pictures = 0;
    for (const auto &[name, piece] : written[0]) {
        frames += piece.frames.size();
        copied += piece.copied.size();
        pictures += piece.pictures;
    }
    EXPECT_EQ(frames, 300u);
    EXPECT_GT(copied, pictures / 2) << "mostly copied";
    EXPECT_LT(copied, pictures) << "with seams encoded";
}

TEST_F(SplitterEndToEndTest, SoundPastThePictureEndsInASoundOnlyLastPart)
{
    // 10 s of picture, 11 s of sound: by five seconds, the third part is the last second of sound.
    fixture::Spec spec;
    spec.duration = 10;
    spec.audio[0].duration = 11;
    const QString source = QString::fromStdString(fixture::sharedFixture("sound-past-picture.mp4", spec));
    const double sourceDuration = fixture::probe(source.toStdString()).duration;
    ASSERT_NEAR(sourceDuration, 11.0, 0.1);
    openWith(source);
    click(splitter->splitBtn());
    runToFinish();

    const QStringList names = files();
    ASSERT_EQ(names.size(), 3) << names.join(' ').toStdString();
    double total = 0;
    for (int i = 0; i < 3; ++i) {
        const fixture::ProbeResult probed = fixture::probe(file(names[i]).toStdString());
        ASSERT_TRUE(probed.ok) << names[i].toStdString() << ": " << probed.error;
        EXPECT_EQ(probed.count("audio"), 1) << names[i].toStdString();
        EXPECT_EQ(probed.count("video"), i < 2 ? 1 : 0) << names[i].toStdString();
        total += probed.duration;
    }
    EXPECT_NEAR(total, sourceDuration, 0.08);
    EXPECT_EQ(fixture::countVideoFrames(file(names[0]).toStdString()) +
                  fixture::countVideoFrames(file(names[1]).toStdString()),
              250);
}
