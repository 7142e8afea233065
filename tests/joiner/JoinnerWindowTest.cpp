// The join window offscreen: adding and probing clips, list editing, the trim panel of the selected
// clip, apply-to-all, volume, the own-format box and captures.
#include "tests/joiner/JoinerFixture.h"

#include "controls/NSProgressView.h"
#include "controls/RDCutProgressView.h"
#include "controls/RDProgressSlider.h"
#include "controls/RDTextField.h"
#include "media/RDMoviePlayer.h"
#include "model/HelpClass.h"
#include "platform/CMTime.h"
#include "platform/Log.h"
#include "platform/PopUpButton.h"
#include "platform/RecordingWorkspace.h"
#include "platform/Stepper.h"
#include "services/LanguageService.h"
#include "toolkit/EditorOutputSettings.h"
#include "toolkit/JoinnerCell.h"
#include "toolkit/OutputFolderChooser.h"
#include "toolkit/OutputFormatChooser.h"
#include "toolkit/TimeFieldGroup.h"

#include <QFile>
#include <QFileInfo>
#include <QLineEdit>

#include <algorithm>

namespace {

using namespace joinertest;

QString text(const char *key)
{
    return LanguageService::localizedStringForKey(key);
}

class JoinnerWindowTest : public JoinerTest
{
protected:
    // Three clips a (160x90, 2 s), b (320x180, 3 s), c (240x136, 2 s).
    void addThree()
    {
        add({clipOf(160, 90, 2), clipOf(320, 180, 3), clipOf(240, 136, 2)});
        ASSERT_EQ(joiner->fileList()->size(), 3);
        a = joiner->fileList()->at(0);
        b = joiner->fileList()->at(1);
        c = joiner->fileList()->at(2);
    }
    void selectRow(int row)
    {
        QTest::mouseClick(joiner->fileListTableView()->cells().at(row), Qt::LeftButton, {}, QPoint(3, 3));
        TestEnvironment::processEvents();
        TestEnvironment::processEvents();
    }
    std::shared_ptr<SimpleData> a, b, c;
};

TEST_F(JoinnerWindowTest, MailIconOfTheEmptyListOpensAMailToTheSupportAddress)
{
    open();
    platform::LogCapture log;
    click(joiner->emailIconView());
    EXPECT_TRUE(log.contains("email Selected"));
    const QUrl mail(QStringLiteral("mailto:") + text("email_address") +
                    QStringLiteral("?Subject=%20&body=%20"));
    EXPECT_EQ(TestEnvironment::recordingWorkspace().openedUrls(), QStringList{mail.toString()});
}

TEST_F(JoinnerWindowTest, OpensEmptyThenAddsAcceptedFilesAndNamesTheRefusedOnesInOneAlert)
{
    open();
    EXPECT_TRUE(joiner->contentNoFileView()->isVisible());
    EXPECT_FALSE(joiner->fileListTableView()->isVisible());
    EXPECT_FALSE(joiner->playBtn()->isEnabled());

    const std::string folder = fixture::freshFolder();
    const std::string garbage = folder + "/broken.mp4";
    ASSERT_TRUE(fixture::makeGarbageFile(garbage, 4000));
    const QString video = clipOf(160, 90, 2);
    TestEnvironment::scriptedPanels().answerAlert(0);
    add({video, QString::fromStdString(garbage), audioOnlyClip(), QStringLiteral("/no/such/file.mov")});

    ASSERT_EQ(joiner->fileList()->size(), 2);
    EXPECT_EQ(joiner->fileList()->at(0)->path(), video);
    EXPECT_EQ(joiner->fileList()->at(1)->path(), audioOnlyClip());
    const auto &alerts = TestEnvironment::scriptedPanels().alerts();
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_EQ(alerts[0].messageText, text("Joinner_Title"));
    EXPECT_EQ(alerts[0].informativeText,
              text("nonsupportfilesstringValue") + QStringLiteral("broken.mp4,file.mov"));

    // The list shows, row 0 is selected and previewed with its whole length as the range.
    EXPECT_FALSE(joiner->contentNoFileView()->isVisible());
    EXPECT_TRUE(joiner->fileListTableView()->isVisible());
    EXPECT_TRUE(joiner->playBtn()->isEnabled());
    ASSERT_TRUE(joiner->rdPlayer());
    EXPECT_EQ(joiner->selectedClip()->path(), video);
    EXPECT_NEAR(joiner->selectedClip()->cutTimeRange_stop(), 2000000, 50000);
    EXPECT_EQ(joiner->trimPanel().stopGroup().fields()[2]->stringValue(), QStringLiteral("02"));
    // The audio-only row shows the audio picture and no transition or format box.
    JoinnerCell *audioRow = joiner->fileListTableView()->cells().at(1);
    EXPECT_FALSE(audioRow->defaultoutputformat()->isVisible());
    EXPECT_FALSE(audioRow->effectBtn()->isVisible());
    // A second add of the same file is allowed.
    add({video});
    EXPECT_EQ(joiner->fileList()->size(), 3);
}

TEST_F(JoinnerWindowTest, UpDownRemoveAndClearEditTheListInPlace)
{
    open();
    addThree();
    const RDMoviePlayer *firstPlayer = joiner->rdPlayer().get();

    click(joiner->upBtn()); // row 0: nothing
    EXPECT_EQ(*joiner->fileList(), (JoinnerTableView::ItemList{a, b, c}));
    click(joiner->downBtn()); // a moves down and stays selected, the preview stays
    EXPECT_EQ(*joiner->fileList(), (JoinnerTableView::ItemList{b, a, c}));
    EXPECT_EQ(joiner->fileListTableView()->selectedRow(), 1);
    EXPECT_EQ(joiner->rdPlayer().get(), firstPlayer);

    selectRow(2);
    EXPECT_EQ(joiner->selectedClip(), c);
    EXPECT_NE(joiner->rdPlayer().get(), firstPlayer);
    click(joiner->downBtn()); // the last row: nothing
    EXPECT_EQ(*joiner->fileList(), (JoinnerTableView::ItemList{b, a, c}));
    click(joiner->upBtn());
    EXPECT_EQ(*joiner->fileList(), (JoinnerTableView::ItemList{b, c, a}));
    EXPECT_EQ(joiner->selectedClip(), c);

    click(joiner->removeBtn());
    EXPECT_EQ(*joiner->fileList(), (JoinnerTableView::ItemList{b, a}));
    EXPECT_EQ(joiner->fileListTableView()->selectedRow(), 0);
    // The transition pop-up shows on every row but the last.
    EXPECT_TRUE(joiner->fileListTableView()->cells().at(0)->effectBtn()->isVisible());
    EXPECT_FALSE(joiner->fileListTableView()->cells().at(1)->effectBtn()->isVisible());

    joiner->joinnerProgressView()->setProgress(0.5f);
    click(joiner->removeBtn());
    click(joiner->removeBtn());
    EXPECT_TRUE(joiner->fileList()->isEmpty());
    EXPECT_TRUE(joiner->contentNoFileView()->isVisible());
    EXPECT_FLOAT_EQ(joiner->joinnerProgressView()->progress(), 0.0f);
    EXPECT_FALSE(joiner->rdPlayer());
    EXPECT_EQ(joiner->trimPanel().stopGroup().fields()[2]->stringValue(), QStringLiteral("00"));

    addThree();
    click(joiner->clearBtn());
    EXPECT_TRUE(joiner->fileList()->isEmpty());
    EXPECT_TRUE(joiner->contentNoFileView()->isVisible());
    EXPECT_FALSE(joiner->rdPlayer());
    EXPECT_FLOAT_EQ(joiner->cutProgressView()->upperValue(), 1.0f);
}

TEST_F(JoinnerWindowTest, ApplyToAllFitsTheSelectedRangeToEveryClip)
{
    open();
    add({clipOf(160, 90, 2), clipOf(160, 90, 2), clipOf(160, 90, 2), clipOf(160, 90, 2)});
    ASSERT_EQ(joiner->fileList()->size(), 4);
    const float lengths[] = {10, 5, 7, 20};
    for (int i = 0; i < 4; ++i)
        joiner->fileList()->at(i)->sourceData()->setDuration(lengths[i]);
    const auto selected = joiner->fileList()->at(0);
    selected->setIsTrimFanxuan(true);
    joiner->cutProgressView()->setLowerValue(0.2f);
    joiner->cutProgressView()->setUpperValue(0.8f);
    joiner->applytoallAction();

    struct Expected
    {
        double start, stop;
    } expected[] = {{0, 5}, {1, 7}, {2, 8}};
    for (int i = 1; i < 4; ++i) {
        SCOPED_TRACE(i);
        const auto &clip = joiner->fileList()->at(i);
        EXPECT_NEAR(clip->cutTimeRange_start() / 1e6, expected[i - 1].start, 1e-5);
        EXPECT_NEAR(clip->cutTimeRange_stop() / 1e6, expected[i - 1].stop, 1e-5);
        EXPECT_TRUE(clip->isTrimFanxuan());
    }

    // The whole 10 s clip onto a 5 s clip: 0..5.
    joiner->cutProgressView()->setLowerValue(0);
    joiner->cutProgressView()->setUpperValue(1);
    joiner->applytoallAction();
    EXPECT_EQ(joiner->fileList()->at(1)->cutTimeRange_start(), 0);
    EXPECT_NEAR(joiner->fileList()->at(1)->cutTimeRange_stop() / 1e6, 5, 1e-5);
}

TEST_F(JoinnerWindowTest, TrimPanelVolumeAndResetWriteTheSelectedClip)
{
    open();
    addThree();
    selectRow(1);
    ASSERT_EQ(joiner->selectedClip(), b);

    // A handle drag: the range follows the player's duration; the length label too.
    joiner->actionMouseMovedForCutProgressViewBlock(joiner->cutProgressView(), 0.25f, 1.0f, 1);
    EXPECT_NEAR(b->cutTimeRange_start() / 1e6, 0.75, 0.05);
    EXPECT_EQ(joiner->trimPanel().startGroup().fields()[3]->stringValue().left(1), QStringLiteral("7"));
    // Remove mode, then a volume of 1.5 from the slider at 0.75.
    const float progress = joiner->cutProgressView()->progress();
    joiner->unSelectTimeBtn()->actioniconBtn();
    EXPECT_TRUE(b->isTrimFanxuan());
    EXPECT_TRUE(joiner->cutProgressView()->isFanxuan());
    EXPECT_FLOAT_EQ(joiner->cutProgressView()->progress(), progress) << "the mode moves nothing";
    joiner->actionProgressForProgressSliderBlock(joiner->volumeSlider(), 0.75f);
    EXPECT_DOUBLE_EQ(b->volume(), 1.5);
    EXPECT_DOUBLE_EQ(a->volume(), 1.0);
    // Another clip shows its own values; coming back shows b's again.
    selectRow(0);
    EXPECT_FLOAT_EQ(joiner->volumeSlider()->progress(), 0.5f);
    EXPECT_TRUE(joiner->selectTimeBtn()->selected());
    EXPECT_FALSE(joiner->unSelectTimeBtn()->selected());
    selectRow(1);
    EXPECT_FLOAT_EQ(joiner->volumeSlider()->progress(), 0.75f);
    EXPECT_TRUE(joiner->unSelectTimeBtn()->selected());

    // Reset: the whole clip in keep mode, with fields and mode shown.
    joiner->resetCutterAction();
    EXPECT_EQ(b->cutTimeRange_start(), 0);
    EXPECT_NEAR(b->cutTimeRange_stop() / 1e6, 3, 0.05);
    EXPECT_FALSE(b->isTrimFanxuan());
    EXPECT_TRUE(joiner->selectTimeBtn()->selected());
    EXPECT_EQ(joiner->trimPanel().startGroup().fields()[3]->stringValue(), QStringLiteral("00"));
    EXPECT_EQ(joiner->trimPanel().stopGroup().fields()[2]->stringValue(), QStringLiteral("03"));
}

TEST_F(JoinnerWindowTest, FieldClicksSetTheSteppersMaximaAndAPreviewCarriesTheRangeToThePlayersLength)
{
    open();
    // A bar made in code starts with a fixed tick; the empty list's disable makes it draggable.
    EXPECT_TRUE(joiner->cutProgressView()->tickMark()) << "the tick may be dragged";
    addThree();
    selectRow(1);
    ASSERT_TRUE(joiner->rdPlayer());
    const TrimPanel &trim = joiner->trimPanel();
    for (int i = 0; i < 4; ++i) {
        joiner->actionMouseDownForTextFieldBlock(static_cast<RDTextField *>(trim.startGroup().fields()[i]));
        EXPECT_EQ(trim.startStepper()->maxValue(), i == 3 ? 100 : 60) << i;
        joiner->actionMouseDownForTextFieldBlock(static_cast<RDTextField *>(trim.stopGroup().fields()[i]));
        EXPECT_EQ(trim.stopStepper()->maxValue(), i == 3 ? 100 : 60) << i;
    }

    // A probe that read twice the player's length: the stored range is scaled to the player's.
    selectRow(0);
    const double P = joiner->preview().duration();
    ASSERT_GT(P, 0);
    a->sourceData()->setDuration(float(2 * P));
    a->setCutTimeRange_start(int64_t(0.5 * P * 1e6));
    a->setCutTimeRange_stop(int64_t(1.5 * P * 1e6));
    selectRow(1);
    selectRow(0);
    EXPECT_NEAR(a->cutTimeRange_start() / 1e6, 0.25 * P, 1e-6);
    EXPECT_NEAR(a->cutTimeRange_stop() / 1e6, 0.75 * P, 1e-6);
    // Agreeing lengths leave a range as it is, to the microsecond.
    b->setCutTimeRange_start(1234567);
    b->setCutTimeRange_stop(2345678);
    selectRow(1);
    EXPECT_EQ(b->cutTimeRange_start(), 1234567);
    EXPECT_EQ(b->cutTimeRange_stop(), 2345678);
}

TEST_F(JoinnerWindowTest, TheSortPullDownOrdersTheClipsAndKeepsTheSelectedOne)
{
    open();
    EXPECT_TRUE(joiner->sortBtn()->isHidden()) << "hidden with the list";
    add({clipOf(320, 180, 3), clipOf(160, 90, 2), clipOf(240, 136, 2.5)});
    ASSERT_EQ(joiner->fileList()->size(), 3);
    EXPECT_FALSE(joiner->sortBtn()->isHidden());
    selectRow(2);
    const auto selected = joiner->selectedClip();
    const QPointer<QWidget> view = joiner->preview().view();

    joiner->sortBtn()->chooseItemAtIndex(JoinnerWindowController::SortByDuration);
    TestEnvironment::processEvents();
    QList<float> lengths;
    for (const auto &clip : *joiner->fileList())
        lengths << clip->sourceData()->duration();
    EXPECT_TRUE(std::is_sorted(lengths.begin(), lengths.end()));
    EXPECT_EQ(joiner->selectedClip(), selected);
    EXPECT_EQ(joiner->fileListTableView()->selectedRow(), 1);
    TestEnvironment::processEvents();
    EXPECT_EQ(joiner->preview().view(), view) << "the preview is kept";

    joiner->sortBtn()->chooseItemAtIndex(JoinnerWindowController::SortByName);
    TestEnvironment::processEvents();
    QStringList names;
    for (const auto &clip : *joiner->fileList())
        names << clip->name();
    EXPECT_EQ(names, (QStringList{QFileInfo(clipOf(160, 90, 2)).fileName(),
                                  QFileInfo(clipOf(240, 136, 2.5)).fileName(),
                                  QFileInfo(clipOf(320, 180, 3)).fileName()}));
}

TEST_F(JoinnerWindowTest, StartActsOneTurnAfterItsClickAndTheJoinLogsItsEnd)
{
    open();
    add({clipOf(160, 90, 2)});
    const QString out = QString::fromStdString(fixture::freshFolder());
    TestEnvironment::scriptedPanels().answerFolderPanel(out);
    joiner->folderChooser()->popUpButton()->chooseItemAtIndex(OutputFolderChooser::Other);
    platform::LogCapture log;
    QTest::mouseClick(joiner->startJoinnerBtn(), Qt::LeftButton);
    EXPECT_FALSE(joiner->convertstart()) << "not yet: one main-queue turn later";
    TestEnvironment::processEvents();
    EXPECT_TRUE(joiner->convertstart());
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return !dialogTexts.isEmpty(); }, 120000));
    EXPECT_TRUE(log.contains("合并完成"));
}

TEST_F(JoinnerWindowTest, SteppingTheHundredthsKeepsExactHundredthsInTheClipAndTheFields)
{
    open();
    addThree();
    selectRow(1); // b, 3 s
    const auto stepUp = [&](platform::Stepper *stepper) {
        QTest::mouseClick(stepper, Qt::LeftButton, {}, QPoint(stepper->width() / 2, 3));
        TestEnvironment::processEvents();
    };
    const TimeFieldGroup &start = joiner->trimPanel().startGroup();
    click(start.fields()[2]->lineEdit());
    stepUp(joiner->trimPanel().startStepper());
    click(start.fields()[3]->lineEdit());
    // Each step is read back from the clip into the fields; a hundredth lost on the way shows at once.
    for (int hundredths = 1; hundredths <= 15; ++hundredths) {
        stepUp(joiner->trimPanel().startStepper());
        ASSERT_EQ(start.fields()[3]->stringValue(), QString::asprintf("%02d", hundredths));
        ASSERT_EQ(b->cutTimeRange_start(), 1000000 + 10000 * hundredths);
    }
    EXPECT_EQ(start.fields()[2]->stringValue(), QStringLiteral("01"));
}

TEST_F(JoinnerWindowTest, RemoveAfterATrimEditShowsTheClipThatIsNowSelected)
{
    open();
    addThree();
    selectRow(1); // b, 3 s
    // A drag of the start handle to the middle, as the bar reports it.
    joiner->actionMouseDownForCutProgressViewBlock(joiner->cutProgressView(), 0.5f);
    joiner->actionMouseMovedForCutProgressViewBlock(joiner->cutProgressView(), 0.5f, 1.0f, 1);
    joiner->actionMouseUpForCutProgressViewBlock(joiner->cutProgressView(), 0.5f);
    ASSERT_NEAR(b->cutTimeRange_start() / 1e6, 1.5, 0.05);
    const RDMoviePlayer *bPlayer = joiner->rdPlayer().get();

    click(joiner->removeBtn());
    ASSERT_EQ(*joiner->fileList(), (JoinnerTableView::ItemList{a, c}));
    ASSERT_EQ(joiner->selectedClip(), a);
    // The preview, the fields, the bar and the length are a's (2 s, untrimmed).
    ASSERT_TRUE(joiner->rdPlayer());
    EXPECT_NE(joiner->rdPlayer().get(), bPlayer);
    EXPECT_NEAR(joiner->preview().duration(), 2, 0.05);
    EXPECT_EQ(joiner->trimPanel().startGroup().fields()[2]->stringValue(), QStringLiteral("00"));
    EXPECT_EQ(joiner->trimPanel().stopGroup().fields()[2]->stringValue(), QStringLiteral("02"));
    EXPECT_FLOAT_EQ(joiner->cutProgressView()->lowerValue(), 0.0f);
    EXPECT_EQ(joiner->cutDurationValueLabel()->text().left(8), QStringLiteral("00:00:02"));
    // A later edit is a's own, measured on a's length.
    joiner->actionMouseMovedForCutProgressViewBlock(joiner->cutProgressView(), 0.5f, 1.0f, 1);
    EXPECT_NEAR(a->cutTimeRange_start() / 1e6, 1.0, 0.05);
    EXPECT_NEAR(b->cutTimeRange_start() / 1e6, 1.5, 0.05);
}

TEST_F(JoinnerWindowTest, TheStripShowsThePageOfTheChosenProfileAfterATabSwitch)
{
    open();
    OutputFormatChooser *chooser = joiner->formatChooser();
    const int video = chooser->functionList().indexOf(QStringLiteral("Video"));
    const int audio = chooser->functionList().indexOf(QStringLiteral("Audio"));
    ASSERT_GE(video, 0);
    ASSERT_GE(audio, 0);
    const auto clickTab = [&](int tab) {
        QTest::mouseClick(chooser->function_Items().at(tab), Qt::LeftButton);
        TestEnvironment::processEvents();
    };
    clickTab(video);
    // The last profile of the category, on its second page ("Keep Original" comes first).
    const int item = int(chooser->functionItemChilds().size()) - 1;
    ASSERT_GE(item, OutputFormatChooser::ProfilesPerPage);
    click(chooser->right_move_item_Btn());
    ASSERT_EQ(chooser->stripScrollX(), 800);
    click(chooser->itemButtons().at(item));
    ASSERT_TRUE(chooser->gearButtons().at(item)->isVisible());

    clickTab(audio);
    clickTab(video);
    EXPECT_EQ(chooser->stripScrollX(), 800);
    const platform::Rect marker = chooser->itemSelectView()->frame();
    EXPECT_TRUE(chooser->itemSelectView()->isVisible());
    EXPECT_GE(marker.minX(), chooser->stripScrollX());
    EXPECT_LE(marker.maxX(), chooser->stripScrollX() + OutputFormatChooser::StripWidth);
    EXPECT_TRUE(chooser->left_move_item_Btn()->isEnabled());
}

TEST_F(JoinnerWindowTest, PlayPauseStopAndCapturesInEachFormat)
{
    open();
    addThree();
    click(joiner->playBtn());
    EXPECT_TRUE(joiner->isPlaying());
    EXPECT_TRUE(joiner->preview().timer());
    click(joiner->playBtn());
    EXPECT_FALSE(joiner->isPlaying());
    {
        // The tick moves the position label without a log line (to the end of the clip, at the latest).
        platform::LogCapture log;
        joiner->play();
        EXPECT_TRUE(TestEnvironment::waitUntil(
            [&] { return joiner->leftTimeLabel()->text() != HelpClass::returnTimeToStr(0); }, 10000));
        EXPECT_FALSE(log.containsText("player_progress"));
    }
    joiner->play();
    click(joiner->stopBtn());
    EXPECT_FALSE(joiner->isPlaying());
    EXPECT_DOUBLE_EQ(joiner->preview().currentTime(), 0);

    for (int style = 0; style < 3; ++style) {
        joiner->coverStylePopBtn()->chooseItemAtIndex(style);
        const QString path = joiner->actionCarameraBtn();
        ASSERT_FALSE(path.isEmpty()) << style;
        EXPECT_EQ(QFileInfo(path).suffix(), QString::fromLatin1(std::array{"png", "jpg", "bmp"}[style]));
        EXPECT_EQ(QFileInfo(path).absolutePath(), joiner->outputPath());
        EXPECT_GT(QFileInfo(path).size(), 0);
    }
}

TEST_F(JoinnerWindowTest, TheOwnFormatBoxSetsTheTitlesAndDisablesTheChooser)
{
    open();
    addThree();
    JoinnerCell *row = joiner->fileListTableView()->cells().at(1);
    click(row->defaultoutputformat());
    TestEnvironment::processEvents();
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return !joiner->formatChooser()->isEnabled(); }));
    EXPECT_TRUE(b->defaultFormat());
    EXPECT_EQ(joiner->outputSettings()->resolutionSelectTitle(), QStringLiteral("320x180"));
    EXPECT_EQ(joiner->outputSettings()->framerateSelectTitle(), QStringLiteral("25"));
    EXPECT_EQ(joiner->outputSettings()->achannelSelectTitle(), QStringLiteral("2"));

    click(row->defaultoutputformat());
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return joiner->formatChooser()->isEnabled(); }));
    EXPECT_FALSE(b->defaultFormat());
}

TEST_F(JoinnerWindowTest, TheSavedProfileIsAppliedWhenTheWindowOpens)
{
    // A profile chosen in one window is the output of the next one.
    open();
    OutputFormatChooser *chooser = joiner->formatChooser();
    const int item = chooser->functionItemChilds().indexOf(QStringLiteral("mp4(H.264)"));
    ASSERT_GE(item, 0);
    for (int page = 0; page < item / OutputFormatChooser::ProfilesPerPage; ++page)
        chooser->action_right_move_item_Btn(nullptr);
    click(chooser->itemButtons().at(item));
    EXPECT_EQ(joiner->outputSettings()->extNameSelectTitle(), QStringLiteral("mp4"));
    joiner->close();
    TestEnvironment::processDeferredDeletes();

    open();
    EXPECT_EQ(joiner->outputSettings()->extNameSelectTitle(), QStringLiteral("mp4"));
    EXPECT_EQ(joiner->outputSettings()->vcodecSelectTitle(), QStringLiteral("h264"));
    EXPECT_TRUE(
        joiner->formatChooser()->showFunctionBtn()->contentTitle().contains(QStringLiteral("mp4(H.264)")));
}

} // namespace

TEST_F(JoinnerWindowTest, TakesTheWebmAndOpusFilesTheApplicationWritesInAnyCase)
{
    fixture::Spec video;
    video.videoCodec = "libvpx-vp9";
    video.audio[0].codec = "libopus";
    fixture::Spec sound;
    sound.hasVideo = false;
    sound.audio[0].codec = "libopus";
    const QString folder = QString::fromStdString(fixture::freshFolder());
    const QString webm = folder + QStringLiteral("/Clip.WEBM"), opus = folder + QStringLiteral("/Tone.Opus");
    ASSERT_TRUE(QFile::copy(QString::fromStdString(fixture::sharedFixture("own.webm", video)), webm));
    ASSERT_TRUE(QFile::copy(QString::fromStdString(fixture::sharedFixture("own.opus", sound)), opus));

    open();
    add({webm, opus});
    EXPECT_EQ(names(), (QStringList{QStringLiteral("Clip.WEBM"), QStringLiteral("Tone.Opus")}));
    EXPECT_TRUE(TestEnvironment::scriptedPanels().alerts().isEmpty());
    // The panel offers them as well (a real dialog filters by this list).
    const QStringList offered = TestEnvironment::scriptedPanels().openPanels().last().allowedExtensions;
    EXPECT_TRUE(offered.contains(QStringLiteral("webm")) && offered.contains(QStringLiteral("opus")));
}

TEST_F(JoinnerWindowTest, TheCaptureFormatPopUpOpensInTheButtonRowAndClosesAfterAChoice)
{
    open();
    addThree();
    platform::PopUpButton *popUp = joiner->coverStylePopBtn();
    const QRect volumeClosed = joiner->volumeBtn()->geometry();
    click(joiner->cutcoverStyleBtn());
    ASSERT_TRUE(popUp->isVisible());
    const QRect button = joiner->cutcoverStyleBtn()->geometry();
    EXPECT_EQ(popUp->geometry().center().y(), button.center().y());
    EXPECT_GT(popUp->geometry().left(), button.right());
    for (QWidget *other :
         {static_cast<QWidget *>(joiner->volumeBtn()), static_cast<QWidget *>(joiner->volumeSlider()),
          static_cast<QWidget *>(joiner->cutCoverBtn())})
        EXPECT_FALSE(popUp->geometry().intersects(other->geometry()));

    popUp->chooseItemAtIndex(1);
    EXPECT_FALSE(popUp->isVisible());
    EXPECT_EQ(joiner->coverStyle(), QStringLiteral("jpg"));
    EXPECT_EQ(joiner->volumeBtn()->geometry(), volumeClosed);
}
