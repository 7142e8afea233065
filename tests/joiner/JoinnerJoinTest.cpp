// The join started from the window: the engine calls it makes (recording engine), the date-named output
// with a free name, cancel and close; then a real join probed with ffprobe and decoded.
#include "tests/joiner/JoinerFixture.h"

#include "controls/PNQButton.h"
#include "platform/PopUpButton.h"
#include "platform/Stepper.h"
#include "platform/TextField.h"
#include "platform/UserDefaults.h"
#include "services/LanguageService.h"
#include "tests/support/ProbeDecoder.h"
#include "tests/support/ProbeTool.h"
#include "tests/support/RecordingEngine.h"
#include "toolkit/EditorOutputSettings.h"
#include "toolkit/ExportRunController.h"
#include "toolkit/JoinnerCell.h"
#include "toolkit/OutputFolderChooser.h"
#include "toolkit/OutputFormatChooser.h"
#include "toolkit/TrimPanel.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>

#include <cmath>

namespace {

using namespace joinertest;

QString text(const char *key)
{
    return LanguageService::localizedStringForKey(key);
}

const QDateTime kWhen(QDate(2026, 3, 4), QTime(5, 6, 7));

class JoinnerJoinTest : public JoinerTest
{
protected:
    void openInFreshFolder()
    {
        open();
        joiner->setClock([] { return kWhen; });
        folder = QString::fromStdString(fixture::freshFolder());
        TestEnvironment::scriptedPanels().answerFolderPanel(folder);
        joiner->folderChooser()->popUpButton()->chooseItemAtIndex(OutputFolderChooser::Other);
        ASSERT_EQ(joiner->outputPath(), folder);
    }

    // Chooses a profile of the "Video" category with a real click.
    void chooseProfile(const QString &name)
    {
        OutputFormatChooser *chooser = joiner->formatChooser();
        const int tab = chooser->functionList().indexOf(QStringLiteral("Video"));
        ASSERT_GE(tab, 0);
        chooser->actionFunctionItem(chooser->function_Items().at(tab));
        const int item = chooser->functionItemChilds().indexOf(name);
        ASSERT_GE(item, 0);
        for (int page = 0; page < item / OutputFormatChooser::ProfilesPerPage; ++page)
            chooser->action_right_move_item_Btn(nullptr);
        click(chooser->itemButtons().at(item));
    }

    QStringList filesIn() const { return QDir(folder).entryList(QDir::Files | QDir::Hidden); }
    // Starts the join and checks the file it wrote: H.264 at 640 x 360.
    void joinAndExpect640x360();

    void clickStart() { click(joiner->startJoinnerBtn()); }

    QString folder;
};

class JoinnerRecordedJoinTest : public JoinnerJoinTest
{
protected:
    RecordingEngine::Installed engine;
};

TEST_F(JoinnerRecordedJoinTest, JoinSendsPiecesVolumesTransitionsAndNamesAFreeOutput)
{
    openInFreshFolder();
    // The profile's 1920x1080 is held to the largest clip, and its bit rate follows.
    chooseProfile(QStringLiteral("mp4(H.264)"));
    add({clipOf(160, 90, 2), clipOf(320, 180, 3), clipOf(240, 136, 2)});
    ASSERT_EQ(joiner->fileList()->size(), 3);
    const auto &clips = *joiner->fileList();
    // First: volume 0.5 and a fade into the second (2 s and 2 s left: 2/3 s). Second: removes 1..2 s
    // (two pieces). Third: removes from 0 (one piece, after the range).
    clips[0]->setVolume(0.5);
    clips[0]->setTransitionEffect(MEDIA_TRANSITION_FADE);
    clips[1]->setIsTrimFanxuan(true);
    clips[1]->setCutTimeRange_start(1000000);
    clips[1]->setCutTimeRange_stop(2000000);
    clips[2]->setIsTrimFanxuan(true);
    clips[2]->setCutTimeRange_start(0);
    clips[2]->setCutTimeRange_stop(500000);

    clickStart();
    ASSERT_TRUE(
        TestEnvironment::waitUntil([&] { return !joiner->convertstart() && dialogTexts.size() == 1; }));
    EXPECT_EQ(dialogTexts, QStringList{QStringLiteral("Joinnerfinishedstring")});
    const QString first = folder + QStringLiteral("/2026-03-04_05-06-07.mp4");
    EXPECT_EQ(joiner->lastOutputPath(), first);
    const std::string a = clips[0]->path().toStdString(), b = clips[1]->path().toStdString(),
                      c = clips[2]->path().toStdString();
    // A third of the shorter: the first clip's 2 s against what is left of the second.
    const double firstLength = clips[0]->cutTimeRange_stop() / 1e6;
    const double secondLeft = clips[1]->sourceData()->duration() - 1.0;
    const int64_t fadeLength = int64_t(std::min(firstLength, secondLeft) / 3 * 1e6);
    EXPECT_NEAR(fadeLength, 666666, 20000);
    const auto end = [](const std::shared_ptr<SimpleData> &clip) {
        return std::to_string(qint64(clip->sourceData()->duration() * 1e6));
    };
    EXPECT_EQ(
        RecordingEngine::only({"joinAudioBitrate", "joinAcodec", "joinEncodeContext", "joinVcodec",
                               "joinFrameSize", "joinFps", "joinVideoBitrate", "joinOutput", "joinClip",
                               "joinTransition", "joinVolume"}),
        (std::vector<std::string>{"joinAudioBitrate 192", "joinAcodec aac", "joinEncodeContext 2 48000",
                                  "joinVcodec h264", "joinFrameSize 320 180", "joinFps 30",
                                  "joinVideoBitrate 1000", "joinOutput " + first.toStdString(),
                                  "joinClip " + a + " 0 " + std::to_string(clips[0]->cutTimeRange_stop()),
                                  "joinTransition 1 3 " + std::to_string(fadeLength), "joinVolume 1 0.5",
                                  "joinClip " + b + " 0 1000000", "joinVolume 2 1",
                                  "joinClip " + b + " 2000000 " + end(clips[1]), "joinVolume 3 1",
                                  "joinClip " + c + " 500000 " + end(clips[2]), "joinVolume 4 1"}));
    EXPECT_TRUE(QFileInfo::exists(first));
    EXPECT_EQ(joiner->startJoinnerBtn()->contentTitle(), text("StartExportTitle"));

    // The same join again: the date-named file exists, so the new one gets "(2)".
    clickStart();
    ASSERT_TRUE(
        TestEnvironment::waitUntil([&] { return !joiner->convertstart() && dialogTexts.size() == 2; }));
    EXPECT_EQ(joiner->lastOutputPath(), folder + QStringLiteral("/2026-03-04_05-06-07(2).mp4"));
    EXPECT_EQ(filesIn().size(), 2);
}

TEST_F(JoinnerRecordedJoinTest, CancelShowsNothingLeavesNoFileAndGivesTheControlsBack)
{
    openInFreshFolder();
    add({clipOf(160, 90, 2), clipOf(320, 180, 3)});
    RecordingEngine::holdStart = true;
    clickStart();
    ASSERT_TRUE(TestEnvironment::waitUntil([] { return RecordingEngine::count("joinStart") == 1; }));
    EXPECT_TRUE(joiner->convertstart());
    EXPECT_EQ(joiner->startJoinnerBtn()->contentTitle(), text("CancelexportTitle"));
    // Nothing of a clip may change meanwhile.
    EXPECT_FALSE(joiner->addfileBtn()->isEnabled());
    EXPECT_FALSE(joiner->removeBtn()->isEnabled());
    EXPECT_FALSE(joiner->fileListTableView()->cells().at(0)->effectBtn()->isEnabled());
    EXPECT_FALSE(joiner->formatChooser()->isEnabled());

    clickStart();
    EXPECT_FALSE(joiner->convertstart());
    EXPECT_EQ(joiner->startJoinnerBtn()->contentTitle(), text("StartExportTitle"));
    ASSERT_TRUE(TestEnvironment::waitUntil([] { return RecordingEngine::count("joinClose") == 1; }));
    TestEnvironment::processEvents();
    EXPECT_TRUE(dialogTexts.isEmpty());
    EXPECT_TRUE(TestEnvironment::scriptedPanels().alerts().isEmpty());
    EXPECT_TRUE(filesIn().isEmpty()) << filesIn().join(u' ').toStdString();
    EXPECT_TRUE(joiner->addfileBtn()->isEnabled());
    EXPECT_TRUE(joiner->fileListTableView()->cells().at(0)->effectBtn()->isEnabled());
}

TEST_F(JoinnerRecordedJoinTest, FailureShowsTheCodeAndClosingDuringAJoinStopsIt)
{
    openInFreshFolder();
    add({clipOf(160, 90, 2)});
    RecordingEngine::joinStartResult = MEDIA_ERR_ENCODER;
    TestEnvironment::scriptedPanels().answerAlert(0);
    clickStart();
    ASSERT_TRUE(
        TestEnvironment::waitUntil([] { return TestEnvironment::scriptedPanels().alerts().size() == 1; }));
    EXPECT_EQ(TestEnvironment::scriptedPanels().alerts()[0].informativeText, QStringLiteral("error:-5"));
    EXPECT_TRUE(dialogTexts.isEmpty());
    EXPECT_EQ(joiner->joinnerProgressView()->progress(), 0.0f);

    RecordingEngine::joinStartResult = MEDIA_OK;
    RecordingEngine::holdStart = true;
    clickStart();
    ASSERT_TRUE(TestEnvironment::waitUntil([] { return RecordingEngine::count("joinStart") == 2; }));
    joiner->close();
    EXPECT_EQ(RecordingEngine::count("stop"), 1);
    ASSERT_TRUE(TestEnvironment::waitUntil([] { return RecordingEngine::count("joinClose") == 2; }));
    TestEnvironment::processEvents();
    EXPECT_TRUE(dialogTexts.isEmpty());
    EXPECT_TRUE(filesIn().isEmpty());
}

TEST_F(JoinnerRecordedJoinTest, AClipWithNothingLeftIsSkippedAndNamed)
{
    openInFreshFolder();
    add({clipOf(160, 90, 2), clipOf(320, 180, 3)});
    const auto &gone = joiner->fileList()->at(1);
    gone->setIsTrimFanxuan(true);
    gone->setCutTimeRange_start(0);
    gone->setCutTimeRange_stop(qint64(gone->sourceData()->duration() * 1e6));
    TestEnvironment::scriptedPanels().answerAlert(0);
    clickStart();
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return dialogTexts.size() == 1; }));
    ASSERT_EQ(TestEnvironment::scriptedPanels().alerts().size(), 1);
    EXPECT_EQ(TestEnvironment::scriptedPanels().alerts()[0].informativeText,
              text("joinNothingLeftString") + gone->name());
    EXPECT_EQ(RecordingEngine::count("joinClip"), 1);
}

TEST_F(JoinnerRecordedJoinTest, RemovingTheClipOfTheOwnFormatReleasesTheChooserForTheNextJoin)
{
    openInFreshFolder();
    chooseProfile(QStringLiteral("mp4(H.264)"));
    add({clipOf(160, 90, 2), clipOf(320, 180, 3)});
    click(joiner->fileListTableView()->cells().at(1)->defaultoutputformat());
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return !joiner->formatChooser()->isEnabled(); }));
    ASSERT_EQ(joiner->outputSettings()->resolutionSelectTitle(), QStringLiteral("320x180"));

    QTest::mouseClick(joiner->fileListTableView()->cells().at(1), Qt::LeftButton, {}, QPoint(3, 3));
    TestEnvironment::processEvents();
    click(joiner->removeBtn());
    ASSERT_EQ(joiner->fileList()->size(), 1);
    EXPECT_TRUE(joiner->formatChooser()->isEnabled());
    EXPECT_EQ(joiner->outputSettings()->resolutionSelectTitle(), QStringLiteral("1920x1080"));

    // The profile's size is held to the clip that is left, as before the tick.
    clickStart();
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return dialogTexts.size() == 1; }));
    EXPECT_EQ(RecordingEngine::only({"joinVcodec", "joinFrameSize"}),
              (std::vector<std::string>{"joinVcodec h264", "joinFrameSize 160 90"}));
}

TEST_F(JoinnerRecordedJoinTest, AnOwnFormatTickedAndReleasedLeavesTheJoinAsTheProfileMadeIt)
{
    const std::vector<std::string> settings = {"joinVcodec",       "joinFrameSize", "joinFps",
                                               "joinVideoBitrate", "joinAcodec",    "joinAudioBitrate"};
    // How the box is released: unticked, or the list cleared and the same clips added again.
    for (const bool clear : {false, true}) {
        SCOPED_TRACE(clear ? "cleared" : "unticked");
        RecordingEngine::reset();
        dialogTexts.clear();
        openInFreshFolder();
        chooseProfile(QStringLiteral("mp4(H.264)"));
        add({clipOf(160, 90, 2), clipOf(320, 180, 3)});
        clickStart();
        ASSERT_TRUE(TestEnvironment::waitUntil([&] { return dialogTexts.size() == 1; }));
        const std::vector<std::string> before = RecordingEngine::only(settings);
        ASSERT_EQ(RecordingEngine::only({"joinFrameSize"}),
                  std::vector<std::string>{"joinFrameSize 320 180"});

        click(joiner->fileListTableView()->cells().at(1)->defaultoutputformat());
        ASSERT_TRUE(TestEnvironment::waitUntil([&] { return !joiner->formatChooser()->isEnabled(); }));
        if (clear) {
            click(joiner->clearBtn());
            add({clipOf(160, 90, 2), clipOf(320, 180, 3)});
        } else {
            click(joiner->fileListTableView()->cells().at(1)->defaultoutputformat());
        }
        ASSERT_TRUE(TestEnvironment::waitUntil([&] { return joiner->formatChooser()->isEnabled(); }));
        RecordingEngine::reset();
        clickStart();
        ASSERT_TRUE(TestEnvironment::waitUntil([&] { return dialogTexts.size() == 2; }));
        EXPECT_EQ(RecordingEngine::only(settings), before);
        joiner->close();
        TestEnvironment::processDeferredDeletes();
    }
}

// ---- a real join ----

TEST_F(JoinnerJoinTest, RealJoinOfThreeClipsIsOneFileWithTheirPicturesAndSound)
{
    openInFreshFolder();
    chooseProfile(QStringLiteral("mp4(H.264)"));
    // A smaller frame than the profile's, as the settings window writes it.
    platform::UserDefaults::standard().setValue(
        EditorOutputSettings::keyForTitle(EditorOutputSettings::FrameSize,
                                          EditorOutputSettings::KeyFamily::Joiner),
        QStringLiteral("320x180"));
    add({clipOf(160, 90, 3), clipOf(320, 180, 3), clipOf(240, 136, 2)});
    ASSERT_EQ(joiner->fileList()->size(), 3);
    joiner->outputSettings()->settingChanged(2);
    ASSERT_EQ(joiner->outputSettings()->resolutionSelectTitle(), QStringLiteral("320x180"));
    const auto &clips = *joiner->fileList();
    // A fade from the first (3 s) into the second, which loses 1..2 s (2 s left): 2/3 s overlap.
    clips[0]->setTransitionEffect(MEDIA_TRANSITION_FADE);
    clips[1]->setIsTrimFanxuan(true);
    clips[1]->setCutTimeRange_start(1000000);
    clips[1]->setCutTimeRange_stop(2000000);
    // The last clip at half volume.
    clips[2]->setVolume(0.5);

    clickStart();
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return !joiner->convertstart(); }, 300000));
    ASSERT_EQ(dialogTexts.size(), 1);
    const std::string out = joiner->lastOutputPath().toStdString();
    ASSERT_EQ(filesIn(), QStringList{QFileInfo(joiner->lastOutputPath()).fileName()});

    const fixture::ProbeResult probe = fixture::probe(out);
    ASSERT_TRUE(probe.ok) << probe.error;
    ASSERT_EQ(probe.count("video"), 1);
    ASSERT_EQ(probe.count("audio"), 1);
    EXPECT_EQ(probe.ofType("video")[0].codecName, "h264");
    EXPECT_EQ(probe.ofType("audio")[0].codecName, "aac");
    EXPECT_EQ(probe.ofType("video")[0].width, 320);
    EXPECT_EQ(probe.ofType("video")[0].height, 180);
    const double expected = 3 + 2 + 2 - 2.0 / 3;
    EXPECT_NEAR(probe.duration, expected, 1.0 / 30 + 0.05);

    // Sound throughout, and the last clip at about -6 dB of the others' level.
    const std::vector<double> windows = fixture::audioRmsWindows(out, 0.25);
    ASSERT_GE(windows.size(), 24u);
    for (size_t i = 0; i + 1 < windows.size(); ++i)
        EXPECT_GT(windows[i], 0.02) << "window " << i;
    const double full = fixture::audioRms(out, 0.5, 2.0);
    const double half = fixture::audioRms(out, expected - 1.5, expected - 0.3);
    ASSERT_GT(full, 0);
    EXPECT_NEAR(20 * std::log10(half / full), -6.02, 1.0);
}

TEST_F(JoinnerJoinTest, TheTrimSteppersEditTheClipItsBarItsLengthAndTheJoin)
{
    openInFreshFolder();
    add({clipOf(320, 180, 3)});
    const auto clip = joiner->selectedClip();
    ASSERT_TRUE(clip);
    const TrimPanel &trim = joiner->trimPanel();
    const auto step = [&](platform::Stepper *stepper, bool up) {
        QTest::mouseClick(stepper, Qt::LeftButton, {},
                          QPoint(stepper->width() / 2, up ? 3 : stepper->height() - 3));
        TestEnvironment::processEvents();
    };
    // The start seconds one up, the stop seconds one down: 1 s .. 2 s of the 3 s clip.
    click(trim.startGroup().fields()[2]->lineEdit());
    step(trim.startStepper(), true);
    EXPECT_EQ(clip->cutTimeRange_start(), 1000000);
    EXPECT_NEAR(joiner->cutProgressView()->lowerValue(), 1.0 / 3, 0.01);
    EXPECT_NEAR(joiner->preview().currentTime(), 1.0, 0.01);
    click(trim.stopGroup().fields()[2]->lineEdit());
    step(trim.stopStepper(), false);
    EXPECT_EQ(clip->cutTimeRange_stop(), 2000000);
    EXPECT_NEAR(joiner->cutProgressView()->upperValue(), 2.0 / 3, 0.01);
    EXPECT_EQ(joiner->cutDurationValueLabel()->text(), QStringLiteral("00:00:01.00"));
    EXPECT_EQ(trim.startGroup().fields()[2]->stringValue(), QStringLiteral("01"));
    EXPECT_EQ(trim.stopGroup().fields()[2]->stringValue(), QStringLiteral("02"));

    clickStart();
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return !joiner->convertstart(); }, 300000));
    ASSERT_EQ(dialogTexts, QStringList{QStringLiteral("Joinnerfinishedstring")});
    const fixture::ProbeResult probe = fixture::probe(joiner->lastOutputPath().toStdString());
    ASSERT_TRUE(probe.ok) << probe.error;
    EXPECT_NEAR(probe.duration, 1.0, 0.1);
    // The picture starts at the clip's frame at 1 s.
    const std::vector<int> stamps = fixture::decodeAllFrameIndices(joiner->lastOutputPath().toStdString());
    ASSERT_FALSE(stamps.empty());
    EXPECT_EQ(stamps.front(), 25);
}

TEST_F(JoinnerJoinTest, AJoinOfSmallClipsInAFullHdProfileKeepsTheirSize)
{
    for (const bool tickedAndReleased : {false, true}) {
        SCOPED_TRACE(tickedAndReleased ? "after a tick and untick of a clip's own format" : "as chosen");
        dialogTexts.clear();
        openInFreshFolder();
        chooseProfile(QStringLiteral("mp4(H.264)"));
        add({clipOf(640, 360, 1), clipOf(640, 360, 2)});
        ASSERT_EQ(joiner->fileList()->size(), 2);
        if (tickedAndReleased) {
            QWidget *box = joiner->fileListTableView()->cells().at(0)->defaultoutputformat();
            click(box);
            ASSERT_TRUE(TestEnvironment::waitUntil([&] { return !joiner->formatChooser()->isEnabled(); }));
            click(joiner->fileListTableView()->cells().at(0)->defaultoutputformat());
            ASSERT_TRUE(TestEnvironment::waitUntil([&] { return joiner->formatChooser()->isEnabled(); }));
        }
        joinAndExpect640x360();
        joiner->close();
        TestEnvironment::processDeferredDeletes();
    }
}

void JoinnerJoinTest::joinAndExpect640x360()
{
    clickStart();
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return !joiner->convertstart(); }, 300000));
    ASSERT_EQ(dialogTexts, QStringList{QStringLiteral("Joinnerfinishedstring")});
    const fixture::ProbeResult probe = fixture::probe(joiner->lastOutputPath().toStdString());
    ASSERT_TRUE(probe.ok) << probe.error;
    ASSERT_EQ(probe.count("video"), 1);
    EXPECT_EQ(probe.ofType("video")[0].codecName, "h264");
    EXPECT_EQ(probe.ofType("video")[0].width, 640);
    EXPECT_EQ(probe.ofType("video")[0].height, 360);
}

} // namespace
