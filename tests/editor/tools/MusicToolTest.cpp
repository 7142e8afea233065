// The music tool inside the editor window: tracks loaded through the probe (an undecodable file is
// refused and named), ticks, selection and delete, the time fields and steppers with their acceptance
// rules, the range slider, the options, and the engine calls the export makes from them; under the video,
// the clip's own sound row with the one audio-track pop-up.
#include "editor/tools/MusicTool.h"
#include "model/MusicInfo.h"
#include "platform/Log.h"
#include "platform/PopUpButton.h"
#include "platform/Stepper.h"
#include "platform/Window.h"
#include "services/LanguageService.h"
#include "tests/editor/LoadedEditor.h"
#include "tests/support/MediaFixture.h"
#include "tests/support/RecordingEngine.h"
#include "tests/support/ScreenshotLanguages.h"

#include "controls/PNQButton.h"
#include "controls/TextLabel.h"

#include <QComboBox>
#include <QFileInfo>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QStyleOptionComboBox>
#include <QTemporaryDir>

#include <algorithm>
#include <functional>

using namespace editortest;

TEST(MusicTool, NewTrackTakesTheShorterOfMusicAndVideo)
{
    const struct
    {
        const char *name;
        float music, video;
        float duration, positionEnd;
    } cases[] = {
        {"a 3-minute song under a 1-minute video", 180, 60, 60, 60},
        {"a 10-second jingle under a 1-minute video", 10, 60, 10, 60},
        {"no video yet", 10, 0, 0, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const auto t = MusicTool::newTrack("/m/a.mp3", c.music, c.video);
        EXPECT_FLOAT_EQ(t->duration(), c.duration);
        EXPECT_FLOAT_EQ(t->pruneDiration(), c.duration);
        EXPECT_FLOAT_EQ(t->positionStart(), 0);
        EXPECT_FLOAT_EQ(t->positionEnd(), c.positionEnd);
        EXPECT_FLOAT_EQ(t->volume(), 0.5f);
        EXPECT_TRUE(t->selected());
        EXPECT_FALSE(t->repeat() || t->prune() || t->fadeIn() || t->fadeOut());
    }
}

namespace {

class MusicWindowTest : public LoadedEditorTest
{
protected:
    MusicTool &tool() { return editor->musicTool(); }
    QStringList titles()
    {
        QStringList list;
        for (EffectTableCellView *row : tool().rows())
            list << row->title();
        return list;
    }
    QStringList fieldTexts(int group)
    {
        QStringList list;
        for (platform::TextField *f : tool().group(group).fields())
            list << f->stringValue();
        return list;
    }
};

} // namespace

TEST_F(MusicWindowTest, LoadTickSelectAndDelete)
{
    openWith(smallClip(), EditVideoWindowController::ToolMusic); // 2 s of video
    const QString song = audioFile("song.m4a", 5);
    const QString jingle = audioFile("jingle.m4a", 1);
    QTemporaryDir dir;
    const QString garbage = dir.filePath("noise.mp3");
    ASSERT_TRUE(fixture::makeGarbageFile(garbage.toStdString(), 4096));

    EXPECT_FALSE(tool().deleteButton()->isEnabled()) << "nothing to edit before a track";
    TestEnvironment::scriptedPanels().answerOpenPanel({song, garbage, jingle});
    TestEnvironment::scriptedPanels().answerAlert(0);
    tool().loadMusicAction();
    const platform::OpenPanelRequest panel = TestEnvironment::scriptedPanels().openPanels().last();
    EXPECT_TRUE(panel.allowedExtensions.contains("m4a") && panel.allowsOtherFileTypes);
    const auto alerts = TestEnvironment::scriptedPanels().alerts();
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_EQ(alerts[0].informativeText, "noise.mp3");
    const QString songName = QFileInfo(song).fileName(), jingleName = QFileInfo(jingle).fileName();
    ASSERT_EQ(titles(), (QStringList{songName, jingleName}));
    EXPECT_EQ(tool().selectedMusicIndex(), 0) << "a load keeps the current row";
    EXPECT_TRUE(tool().rows()[0]->selectedRow());
    EXPECT_TRUE(tool().deleteButton()->isEnabled());
    tool().actionMouseDownForEffectTableCellViewBlock(tool().rows()[1], 1);
    const auto list = tool().musicList();
    EXPECT_NEAR(list[0]->duration(), 2.0, 0.05) << "the song is cut to the video";
    EXPECT_NEAR(list[1]->duration(), 1.0, 0.05) << "the jingle keeps its length";
    EXPECT_NEAR(list[1]->positionEnd(), 2.0, 0.05);
    EXPECT_EQ(fieldTexts(3), (QStringList{"00", "00", "01", fieldTexts(3)[3]}));

    // Unticking and ticking the song moves it behind the jingle.
    tool().rows()[0]->checkAction();
    EXPECT_EQ(tool().musicSelecteds(), (QList<std::shared_ptr<MusicInfo>>{list[1]}));
    tool().rows()[0]->checkAction();
    EXPECT_EQ(tool().musicSelecteds(), (QList<std::shared_ptr<MusicInfo>>{list[1], list[0]}));

    // A row click makes it current and shows its values.
    list[0]->setRepeat(true);
    tool().actionMouseDownForEffectTableCellViewBlock(tool().rows()[0], 0);
    EXPECT_EQ(tool().selectedMusicIndex(), 0);
    EXPECT_TRUE(tool().repeatBox()->isChecked());
    EXPECT_FALSE(tool().rows()[1]->selectedRow());

    // Deleting the last row while it is current: the new last row is current and everything shows it.
    tool().actionMouseDownForEffectTableCellViewBlock(tool().rows()[1], 1);
    EXPECT_FALSE(tool().repeatBox()->isChecked());
    tool().deleteMusicAction();
    ASSERT_EQ(titles(), (QStringList{songName}));
    EXPECT_EQ(tool().selectedMusicIndex(), 0);
    EXPECT_TRUE(tool().repeatBox()->isChecked()) << "the options show the current track";
    EXPECT_NEAR(tool().rangeSlider()->positionRightValue(), 1.0, 0.03);

    tool().deleteMusicAction();
    EXPECT_TRUE(titles().isEmpty());
    EXPECT_FALSE(tool().deleteButton()->isEnabled());
    EXPECT_FALSE(tool().repeatBox()->isEnabled());
    EXPECT_FLOAT_EQ(tool().rangeSlider()->positionRightValue(), 0);
    EXPECT_EQ(fieldTexts(1), (QStringList{"00", "00", "00", "00"}));
}

// The current row outlives a new clip's empty list: the next load selects it, or the last row when the
// list is shorter. Selecting a row cuts a used part longer than the span.
TEST_F(MusicWindowTest, ANewClipKeepsTheCurrentRowAndSelectingCutsTheUsedPart)
{
    openWith(smallClip(), EditVideoWindowController::ToolMusic);
    const QString song = audioFile("song.m4a", 5), jingle = audioFile("jingle.m4a", 1);
    tool().addFiles({song, jingle, song});
    tool().actionMouseDownForEffectTableCellViewBlock(tool().rows()[1], 1);
    ASSERT_TRUE(choose(smallClip()));
    EXPECT_TRUE(tool().musicList().isEmpty());
    tool().addFiles({song, jingle, song});
    EXPECT_EQ(tool().selectedMusicIndex(), 1);
    EXPECT_TRUE(tool().rows()[1]->selectedRow());
    ASSERT_TRUE(choose(smallClip()));
    tool().addFiles({song});
    EXPECT_EQ(tool().selectedMusicIndex(), 0) << "the last row of a shorter list";

    MusicInfo &track = *tool().musicList().at(0);
    track.setPositionStart(0.5f);
    track.setPositionEnd(1.5f);
    track.setPruneDiration(1.8f);
    tool().actionMouseDownForEffectTableCellViewBlock(tool().rows()[0], 0);
    EXPECT_FLOAT_EQ(track.pruneDiration(), 1.0f) << "cut to the span";
}

// The range slider's report and the preview's music are logged as they happen.
TEST_F(MusicWindowTest, RangeReportAndPreviewMusicAreLogged)
{
    openWith(smallClip(), EditVideoWindowController::ToolMusic);
    tool().addFiles({audioFile("song.m4a", 5)});
    platform::LogCapture log;
    tool().changeRangeValue(tool().rangeSlider());
    EXPECT_TRUE(log.containsText("position:0.000000 : "));
    EXPECT_TRUE(log.containsText("musicRange:0.000000 : "));
    tool().addDubbingWithPlayer();
    const auto lines = log.lines();
    const auto before = std::find(lines.begin(), lines.end(), "ClearDubbingMusicBefor");
    ASSERT_NE(before, lines.end());
    EXPECT_EQ(*std::next(before), "ClearDubbingMusicBehand");
    EXPECT_EQ(tool().loadButton()->contentTitle(), LanguageService::localizedStringForKey("LocalMusicTitle"));
    EXPECT_FALSE(tool().deleteButton()->normalImage().isNull()) << "an image button";
    EXPECT_FALSE(tool().deleteButton()->disAbleImage().isNull());
}

TEST_F(MusicWindowTest, FieldsSteppersAndSliderKeepRangesWellFormed)
{
    openWith(longClip(), EditVideoWindowController::ToolMusic); // 125.5 s
    editor->musicTool().addFiles({audioFile("song.m4a", 5)});
    MusicInfo &track = *tool().musicList().at(0);
    ASSERT_NEAR(track.positionEnd(), 125.5, 0.05);

    // Position end typed as 0:40: accepted; the span is 0..40.
    typeInto(tool().group(1).fields()[1], "00");
    typeInto(tool().group(1).fields()[2], "40");
    EXPECT_NEAR(track.positionEnd(), 40.5, 0.05) << "hundredths kept from before";

    // The start's seconds field clicked, its stepper to 30: accepted.
    platform::Stepper *start = tool().stepper(0);
    QTest::mouseClick(tool().group(0).fields()[2]->lineEdit(), Qt::LeftButton);
    start->setIntValue(30);
    tool().stepperAction(0);
    EXPECT_FLOAT_EQ(track.positionStart(), 30);
    EXPECT_EQ(fieldTexts(0), (QStringList{"00", "00", "30", "00"}));
    // To 50: past the end, refused; field and stepper go back.
    start->setIntValue(50);
    tool().stepperAction(0);
    EXPECT_FLOAT_EQ(track.positionStart(), 30);
    EXPECT_EQ(fieldTexts(0)[2], "30");
    EXPECT_EQ(start->intValue(), 30);
    // A field of the end row clicked makes it the end stepper's field, never the start stepper's.
    editor->musicTool().controlTextShouldBeginEditing(tool().group(1).fields()[2]);
    start->setIntValue(10);
    tool().stepperAction(0);
    EXPECT_FLOAT_EQ(track.positionStart(), 10);
    EXPECT_NEAR(track.positionEnd(), 40.5, 0.05);

    // A typed inverted end is refused with its alert and changes nothing.
    TestEnvironment::scriptedPanels().answerAlert(0);
    typeInto(tool().group(1).fields()[2], "05");
    EXPECT_NEAR(track.positionEnd(), 40.5, 0.05);
    EXPECT_EQ(TestEnvironment::scriptedPanels().alerts().size(), 1);

    // The slider's values reach the track in seconds of the video; the used part stays within the span.
    tool().rangeSlider()->setVideoRangeLowerValue(0.5f, 0.52f);
    tool().changeRangeValue(tool().rangeSlider());
    EXPECT_NEAR(track.positionStart(), 62.75, 0.01);
    EXPECT_NEAR(track.positionEnd(), 65.26, 0.01);
    EXPECT_LE(track.pruneDiration(), track.positionEnd() - track.positionStart() + 1e-4);
}

TEST_F(MusicWindowTest, OptionsAndOriginalSoundReachTheExport)
{
    RecordingEngine::Installed engine;
    openWith(longClip(), EditVideoWindowController::ToolMusic);
    const QString song = audioFile("song.m4a", 5);
    tool().addFiles({song});
    MusicInfo &track = *tool().musicList().at(0);
    track.setPositionStart(10);
    track.setPositionEnd(20);
    track.setDuration(5); // the song's usable length, exactly
    tool().actionMouseDownForEffectTableCellViewBlock(tool().rows()[0], 0);
    tool().repeatBox()->click();
    tool().fadeInBox()->click();
    tool().volumeSlider()->setValue(80);
    tool().removeOriginalBox()->click();
    tool().originalLevelSlider()->setValue(50);
    EXPECT_TRUE(track.repeat());
    EXPECT_TRUE(track.fadeIn());
    EXPECT_FLOAT_EQ(track.volume(), 0.8f);
    EXPECT_DOUBLE_EQ(editor->volumeModel().originalLevel(), 0.5);

    RecordingEngine::holdStart = true;
    editor->startExportAction();
    ASSERT_TRUE(TestEnvironment::waitUntil([] { return RecordingEngine::count("start") == 1; }));
    const auto lines = RecordingEngine::only({"music", "disableMainAudio", "mainVolume"});
    editor->startExportAction();
    ASSERT_TRUE(TestEnvironment::waitUntil([this] { return !editor->convertstart(); }));
    // Repeat on: the whole span; no prune: from 0 for the span's length at most (the song's 5 s).
    EXPECT_EQ(lines, (std::vector<std::string>{"mainVolume 0.5",
                                               "music " + song.toStdString() +
                                                   " 0 5000000 10000000 20000000 "
                                                   "1000000 0 0.8",
                                               "disableMainAudio"}));
}

TEST_F(MusicWindowTest, ItemPlayerFollowsTheCurrentTrackAndNeverPlaysWithThePreview)
{
    openWith(smallClip(), EditVideoWindowController::ToolMusic);
    tool().addFiles({audioFile("song.m4a", 5), audioFile("jingle.m4a", 1)});
    tool().actionMouseDownForEffectTableCellViewBlock(tool().rows()[1], 1);
    ASSERT_TRUE(tool().itemPlayer());
    const auto jinglePlayer = tool().itemPlayer();
    EXPECT_NEAR(platform::CMTimeGetSeconds(jinglePlayer->duration()), 1.0, 0.1) << "the current track's file";

    tool().playOrPauseAudio();
    EXPECT_TRUE(tool().isAudioPlaying());
    // Another row: a new player, not playing.
    tool().actionMouseDownForEffectTableCellViewBlock(tool().rows()[0], 0);
    EXPECT_NE(tool().itemPlayer(), jinglePlayer);
    EXPECT_FALSE(tool().isAudioPlaying());

    // The preview starts: the item player stops.
    tool().playOrPauseAudio();
    ASSERT_TRUE(tool().isAudioPlaying());
    editor->play();
    EXPECT_FALSE(tool().isAudioPlaying());
    EXPECT_EQ(tool().itemPlayer()->playerStatus(), 0);
    // The item player starts: the preview pauses.
    tool().playOrPauseAudio();
    EXPECT_TRUE(tool().isAudioPlaying());
    EXPECT_FALSE(editor->isPlaying());
    tool().playOrPauseAudio();

    // Its end resets the state.
    tool().playOrPauseAudio();
    EXPECT_TRUE(TestEnvironment::waitUntil([this] { return !tool().isAudioPlaying(); }, 30000))
        << "the 5 s song ends";
}

TEST_F(MusicWindowTest, ClosingStopsAndDropsOnlyThePlayersThatPlay)
{
    enum Playing { Nothing, Preview, Item };
    for (const Playing playing : {Nothing, Preview, Item}) {
        SCOPED_TRACE(int(playing));
        openWith(smallClip(), EditVideoWindowController::ToolMusic);
        tool().addFiles({audioFile("song.m4a", 5)});
        ASSERT_TRUE(tool().itemPlayer());
        if (playing == Preview)
            editor->play();
        if (playing == Item)
            tool().playOrPauseAudio();
        const std::weak_ptr<RDMoviePlayer> preview = editor->rdPlayer();
        const std::weak_ptr<RDMoviePlayer> item = tool().itemPlayer();

        editor->close();
        // A paused player is left to go with the window's controller.
        EXPECT_EQ(editor->rdPlayer() == nullptr, playing == Preview);
        EXPECT_EQ(tool().itemPlayer() == nullptr, playing == Item);
        EXPECT_FALSE(tool().audioTimerActive());
        EXPECT_FALSE(editor->isPlaying());
        TestEnvironment::processDeferredDeletes();
        EXPECT_TRUE(preview.expired() && item.expired()) << "the controller takes the rest with it";
    }
}

TEST_F(MusicWindowTest, MarkInAndMarkOutAtTheItemPlayersPosition)
{
    openWith(longClip(), EditVideoWindowController::ToolMusic); // 125.5 s
    tool().addFiles({audioFile("song.m4a", 5)});
    MusicInfo &track = *tool().musicList().at(0);
    const float M = float(platform::CMTimeGetSeconds(tool().itemPlayer()->duration()));
    const auto at = [this](double seconds) {
        tool().itemPlayer()->seekTime(platform::CMTimeMakeWithSeconds(seconds, 1000000));
    };
    // The used part 0..M: mark-in at 3 keeps the end.
    at(3);
    tool().markIn();
    EXPECT_FLOAT_EQ(track.pruneStart(), 3);
    EXPECT_NEAR(track.pruneDiration(), M - 3, 1e-3);
    EXPECT_EQ(fieldTexts(2), (QStringList{"00", "00", "03", "00"}));
    // Mark-out before the start: from 0 to the position.
    at(1);
    tool().markOut();
    EXPECT_FLOAT_EQ(track.pruneStart(), 0);
    EXPECT_FLOAT_EQ(track.pruneDiration(), 1);
    // Mark-in past the end: to the music's end.
    at(2);
    tool().markIn();
    EXPECT_NEAR(track.pruneDiration(), M - 2, 1e-3);

    // Mark-out giving a part longer than the span stretches it; near the video's end it ends there.
    track.setPruneStart(0);
    track.setPositionStart(10);
    track.setPositionEnd(12);
    at(4.5);
    tool().markOut();
    EXPECT_FLOAT_EQ(track.positionEnd(), 14.5f);
    track.setPositionStart(123);
    track.setPositionEnd(124);
    tool().markOut();
    EXPECT_FLOAT_EQ(track.positionStart(), 121.0f);
    EXPECT_FLOAT_EQ(track.positionEnd(), 125.5f);
}

TEST_F(MusicWindowTest, PruneBarSetsTheUsedPartAndShowsWithPruneOnly)
{
    openWith(longClip(), EditVideoWindowController::ToolMusic); // 125.5 s
    tool().addFiles({audioFile("song.m4a", 5)});
    MusicInfo &track = *tool().musicList().at(0);
    const float M = float(platform::CMTimeGetSeconds(tool().itemPlayer()->duration()));
    ASSERT_GT(M, 4.5f);
    RDCutProgressView *bar = tool().pruneBar();

    // Prune off: the used part's rows and the bar hide, the rows below take their place.
    EXPECT_TRUE(tool().pruneContentView()->isHidden());
    const double offY = tool().fadeContentView()->frame().minY();
    tool().pruneBox()->click();
    EXPECT_TRUE(track.prune());
    EXPECT_FALSE(tool().pruneContentView()->isHidden());
    EXPECT_LT(tool().fadeContentView()->frame().maxY(), tool().pruneContentView()->frame().minY() + 1e-6)
        << "the rows below sit under the bar";
    EXPECT_LT(tool().fadeContentView()->frame().minY(), offY);
    EXPECT_GE(tool().fadeContentView()->frame().minY(), 0) << "and stay inside the panel";

    // Handles at 0.2 and 0.6 of the file.
    track.setPositionStart(10);
    track.setPositionEnd(11);
    tool().actionMouseMovedForCutProgressViewBlock(bar, 0.2f, 0.6f, 2);
    EXPECT_NEAR(track.pruneStart(), 0.2 * M, 1e-3);
    EXPECT_NEAR(track.pruneDiration(), 0.4 * M, 1e-3);
    EXPECT_NEAR(track.positionEnd(), 10 + 0.4 * M, 1e-3) << "the span stretches to hold the used part";
    EXPECT_NEAR(bar->lowerValue(), 0.2, 1e-4);
    EXPECT_NEAR(bar->upperValue(), 0.6, 1e-4);
    EXPECT_EQ(fieldTexts(2)[2], QString::asprintf("%02d", int(0.2 * M)));

    // A typed prune end moves the bar's end handle too.
    track.setPositionEnd(40);
    typeInto(tool().group(3).fields()[2], "04");
    const float end = track.pruneStart() + track.pruneDiration();
    EXPECT_GE(end, 4.0f);
    EXPECT_LT(end, 5.0f);
    EXPECT_NEAR(bar->upperValue(), end / M, 1e-4);

    // Prune off and on again keeps the used part.
    tool().pruneBox()->click();
    EXPECT_TRUE(tool().pruneContentView()->isHidden());
    EXPECT_NEAR(track.pruneStart(), 0.2 * M, 1e-3);
    tool().pruneBox()->click();
    EXPECT_NEAR(bar->lowerValue(), 0.2, 1e-4);
}

TEST_F(MusicWindowTest, PanelTitlesAndTheRangeSlidersLabel)
{
    openWith(longClip(), EditVideoWindowController::ToolMusic);
    tool().addFiles({audioFile("song.m4a", 5)});
    const struct
    {
        TextLabel *label;
        const char *key;
    } cases[] = {
        {tool().setthemusicpositionLabel(), "SetthemusicpositionString"},
        {tool().startMusicTimeLabel(), "StartFieldLabelstringValue"},
        {tool().endMusicTimeLabel(), "stopFieldLabelstringValue"},
        {tool().pruneRangeMusicLabel(), "PruneRangeMusicLabelstringValue"},
        {tool().pruneStartLabel(), "StartFieldLabelstringValue"},
        {tool().pruneEndLabel(), "stopFieldLabelstringValue"},
        {tool().musicPositionLabel(), "MusicPositionLabelstringValue"},
        {tool().videooriginalsoundLabel(), "videooriginalsoundLabelstringValue"},
        {tool().audiochanelLabel(), "audiochanelLabelstringValue"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.key);
        ASSERT_NE(c.label, nullptr);
        EXPECT_EQ(c.label->text(), LanguageService::localizedStringForKey(c.key));
        EXPECT_NE(c.label->text(), QString::fromLatin1(c.key));
    }

    // The used part's title shows with its rows, with prune on only.
    QWidget *panel = editor->musicContentView();
    EXPECT_FALSE(tool().pruneRangeMusicLabel()->isVisibleTo(panel));
    tool().pruneBox()->click();
    EXPECT_TRUE(tool().pruneRangeMusicLabel()->isVisibleTo(panel));
    EXPECT_GT(tool().pruneRangeMusicLabel()->frame().minY(), tool().pruneStartLabel()->frame().maxY());

    // Under the video the label sits left of the range slider, both inside the pane.
    const platform::Rect label = tool().musicPositionLabel()->frame();
    const platform::Rect slider = tool().rangeSlider()->frame();
    EXPECT_LE(label.maxX(), slider.minX());
    EXPECT_LE(slider.maxX(), editor->musicRightView()->frame().width());
    EXPECT_GT(slider.width(), 2 * label.width());
}

TEST_F(MusicWindowTest, PruneBarTickFollowsTheItemPlayerOnlyWhileItPlays)
{
    openWith(smallClip(), EditVideoWindowController::ToolMusic);
    tool().addFiles({audioFile("song.m4a", 5)});
    RDCutProgressView *bar = tool().pruneBar();
    EXPECT_FLOAT_EQ(bar->progress(), 0);
    EXPECT_FALSE(tool().audioTimerActive());

    tool().playOrPauseAudio();
    EXPECT_TRUE(tool().audioTimerActive());
    EXPECT_TRUE(TestEnvironment::waitUntil([bar] { return bar->progress() > 0.05f; }, 20000))
        << "the tick moves with the sound";
    tool().playOrPauseAudio();
    EXPECT_FALSE(tool().audioTimerActive());

    // A new track's player starts at 0 with the timer stopped.
    tool().playOrPauseAudio();
    tool().addFiles({audioFile("jingle.m4a", 1)});
    EXPECT_FALSE(tool().audioTimerActive());
    EXPECT_FALSE(tool().isAudioPlaying());
    EXPECT_FLOAT_EQ(bar->progress(), 0);
}

// A click on one of the panel's image buttons, and the turn its queued work runs in.
void clickButton(PNQButton *button)
{
    QTest::mouseClick(button, Qt::LeftButton);
    TestEnvironment::processEvents();
}

TEST_F(MusicWindowTest, TrackVolumeMuteSliderAndLabelShowTheTracksVolume)
{
    openWith(smallClip(), EditVideoWindowController::ToolMusic);
    PNQButton *mute = tool().itemVolumeButton();
    EXPECT_EQ(tool().itemVolumeLabel()->text(), QStringLiteral("100%")) << "an empty list";
    EXPECT_FALSE(mute->selected());
    EXPECT_FALSE(mute->isEnabled());

    tool().addFiles({audioFile("song.m4a", 5), audioFile("jingle.m4a", 1)});
    tool().actionMouseDownForEffectTableCellViewBlock(tool().rows()[1], 1);
    MusicInfo &jingle = *tool().musicList().at(1);
    EXPECT_EQ(tool().itemVolumeLabel()->text(), QStringLiteral("50%"));
    ASSERT_TRUE(mute->isEnabled());
    const struct
    {
        const char *step;
        std::function<void()> act;
        float volume;
        bool muted;
        const char *label;
    } steps[] = {
        {"mute", [&] { clickButton(mute); }, 0.0f, true, "0%"},
        {"unmute", [&] { clickButton(mute); }, 0.5f, false, "50%"},
        {"slider at 80", [&] { tool().volumeSlider()->setValue(80); }, 0.8f, false, "80%"},
        {"mute from 80", [&] { clickButton(mute); }, 0.0f, true, "0%"},
        {"unmute gives 0.5, not 0.8", [&] { clickButton(mute); }, 0.5f, false, "50%"},
        {"slider at 0", [&] { tool().volumeSlider()->setValue(0); }, 0.0f, true, "0%"},
        {"unmute from 0", [&] { clickButton(mute); }, 0.5f, false, "50%"},
    };
    for (const auto &s : steps) {
        SCOPED_TRACE(s.step);
        s.act();
        EXPECT_FLOAT_EQ(jingle.volume(), s.volume);
        EXPECT_EQ(mute->selected(), s.muted);
        EXPECT_EQ(tool().itemVolumeLabel()->text(), QString::fromUtf8(s.label));
        EXPECT_EQ(tool().volumeSlider()->value(), int(s.volume * 100));
    }
    // Another track shows its own volume; a muted one shows muted again when it comes back.
    clickButton(mute);
    tool().actionMouseDownForEffectTableCellViewBlock(tool().rows()[0], 0);
    EXPECT_FALSE(mute->selected());
    EXPECT_EQ(tool().itemVolumeLabel()->text(), QStringLiteral("50%"));
    tool().actionMouseDownForEffectTableCellViewBlock(tool().rows()[1], 1);
    EXPECT_TRUE(mute->selected());
    EXPECT_EQ(tool().itemVolumeLabel()->text(), QStringLiteral("0%"));

    tool().deleteMusicAction();
    tool().deleteMusicAction();
    EXPECT_EQ(tool().itemVolumeLabel()->text(), QStringLiteral("100%"));
    EXPECT_FALSE(mute->selected());
}

TEST_F(MusicWindowTest, BothPlayButtonsPlayTheItemAndShowItTogether)
{
    openWith(smallClip(), EditVideoWindowController::ToolMusic);
    PNQButton *list = tool().itemPlayButton();
    PNQButton *prune = tool().prunePlayButton();
    EXPECT_FALSE(list->isEnabled() || prune->isEnabled()) << "no track to play";
    tool().addFiles({audioFile("song.m4a", 5)});
    ASSERT_TRUE(list->isEnabled() && prune->isEnabled());
    tool().pruneBox()->click();

    clickButton(prune);
    EXPECT_TRUE(tool().isAudioPlaying());
    EXPECT_TRUE(list->selected() && prune->selected());
    clickButton(list);
    EXPECT_FALSE(tool().isAudioPlaying());
    EXPECT_FALSE(list->selected() || prune->selected());
    clickButton(list);
    EXPECT_TRUE(list->selected() && prune->selected());
    // The preview starting stops the item: both show play again.
    editor->play();
    EXPECT_FALSE(tool().isAudioPlaying());
    EXPECT_FALSE(list->selected() || prune->selected());
    editor->pause();
}

TEST_F(MusicWindowTest, RangeSliderTickFollowsThePlayingPreviewAndStopPutsItBack)
{
    openWith(longClip(), EditVideoWindowController::ToolMusic);
    tool().addFiles({audioFile("song.m4a", 5)});
    MusicRangeSlider *range = tool().rangeSlider();
    EXPECT_FLOAT_EQ(range->progress(), 0);

    seek(50);
    clickButton(editor->playPauseBtn());
    ASSERT_TRUE(editor->isPlaying());
    EXPECT_FALSE(range->enable()) << "play mode: the tick shows";
    EXPECT_FALSE(range->tickMarkView()->isHidden());
    ASSERT_TRUE(TestEnvironment::waitUntil([range] { return range->progress() > 50 / 125.5; }, 20000));
    const float seen = range->progress();
    ASSERT_TRUE(TestEnvironment::waitUntil([range, seen] { return range->progress() > seen; }, 20000))
        << "it keeps moving";
    EXPECT_NEAR(range->progress(), playerSeconds() / 125.5, 0.01) << "where the preview is";

    editor->stopBtnAction();
    EXPECT_FLOAT_EQ(range->progress(), 0);
    TestEnvironment::processEvents();
    EXPECT_FLOAT_EQ(range->progress(), 0) << "no late tick moves it again";
}

TEST_F(MusicWindowTest, OriginalSoundMuteIsPartOfTheLevelTheExportWrites)
{
    RecordingEngine::Installed engine;
    openWith(longClip(), EditVideoWindowController::ToolMusic);
    PNQButton *mute = tool().originalVolumeButton();
    ASSERT_TRUE(mute->isEnabled()) << "usable without any music";
    tool().originalLevelSlider()->setValue(40);
    EXPECT_EQ(tool().originalVolumeLabel()->text(), QStringLiteral("40%"));

    // Starts an export, reads the level it sent, and cancels it.
    const auto exportedVolume = [this] {
        const int starts = RecordingEngine::count("start");
        RecordingEngine::holdStart = true;
        RecordingEngine::stopAsked = false;
        editor->startExportAction();
        EXPECT_TRUE(
            TestEnvironment::waitUntil([starts] { return RecordingEngine::count("start") > starts; }));
        const auto lines = RecordingEngine::only({"mainVolume"});
        editor->startExportAction();
        EXPECT_TRUE(TestEnvironment::waitUntil([this] { return !editor->convertstart(); }));
        return lines.empty() ? std::string() : lines.back();
    };
    clickButton(mute);
    EXPECT_TRUE(mute->selected());
    EXPECT_DOUBLE_EQ(editor->volumeModel().mainLevel(), 0.0);
    EXPECT_EQ(exportedVolume(), "mainVolume 0");
    // The level moved while muted is kept for the unmute.
    tool().originalLevelSlider()->setValue(50);
    EXPECT_DOUBLE_EQ(editor->volumeModel().mainLevel(), 0.0);
    clickButton(mute);
    EXPECT_FALSE(mute->selected());
    EXPECT_DOUBLE_EQ(editor->volumeModel().mainLevel(), 0.5);
    EXPECT_EQ(exportedVolume(), "mainVolume 0.5");
}

namespace {

// 1 s with two sound tracks: a titled English stereo one and an untitled French mono one.
QString twoTrackClip()
{
    fixture::Spec spec;
    spec.duration = 1.0;
    spec.audio = {fixture::AudioTrack{48000, 2, 440, 0.3, "Commentary", "eng"},
                  fixture::AudioTrack{44100, 1, 660, 0.3, "", "fre"}};
    return QString::fromStdString(fixture::sharedFixture("two-tracks.mkv", spec));
}

// What is wrong with the text `label` draws as the window renders it (empty when it shows whole at
// 10 px or more).
std::string misfit(TextLabel *label)
{
    std::string problem = "not drawn";
    platform::View::setDrawnTextObserver([&](const platform::View::DrawnText &t) {
        if (t.widget != label)
            return;
        const QRectF need = QFontMetricsF(t.font).boundingRect(t.room, t.flags, t.text);
        if (t.text != label->text())
            problem = "drew " + t.text.toStdString();
        else if (QFontInfo(t.font).pixelSize() < 10)
            problem = "drawn at " + std::to_string(QFontInfo(t.font).pixelSize()) + " px";
        else if (!t.room.adjusted(-0.5, -1, 0.5, 1).contains(need))
            problem = "needs " + std::to_string(need.width()) + " px, has " + std::to_string(t.room.width());
        else
            problem.clear();
    });
    label->window()->grab();
    platform::View::setDrawnTextObserver(nullptr);
    return problem;
}

} // namespace

TEST_F(MusicWindowTest, SoundRowShowsItsTextsWholeBesideTheOneAudioTrackPopUp)
{
    inScreenshotLanguages([&](const QString &language) {
        SCOPED_TRACE(language.toStdString());
        openWith(twoTrackClip(), EditVideoWindowController::ToolMusic);
        // The narrowest window leaves the row the least room.
        platform::Rect frame = editor->window()->frame();
        frame.size = editor->window()->minSize();
        editor->window()->setFrame(frame);
        TestEnvironment::processEvents();

        platform::PopUpButton *popUp = tool().audiochanelPopBtn();
        ASSERT_NE(popUp, nullptr);
        TextLabel *title = tool().videooriginalsoundLabel();
        TextLabel *label = tool().audiochanelLabel();
        EXPECT_EQ(title->text(),
                  LanguageService::localizedStringForKey("videooriginalsoundLabelstringValue"));
        EXPECT_EQ(label->text(), LanguageService::localizedStringForKey("audiochanelLabelstringValue"));
        for (TextLabel *l : {title, label}) {
            SCOPED_TRACE(l->text().toStdString());
            EXPECT_EQ(misfit(l), "");
        }

        // One pop-up lists the tracks, in the pane under the video; the window's export and preview read
        // that one.
        EXPECT_EQ(editor->audiochanelPopBtn(), popUp);
        EXPECT_EQ(popUp->parentWidget(), editor->musicRightBottomView());
        int listing = 0;
        for (auto *other : editor->window()->findChildren<platform::PopUpButton *>())
            listing += other->itemTitles() == popUp->itemTitles();
        EXPECT_EQ(listing, 1);
        ASSERT_EQ(popUp->numberOfItems(), 2);
        EXPECT_TRUE(popUp->itemTitleAtIndex(0).contains(QStringLiteral("Commentary ("))) << "its own title";
        EXPECT_EQ(popUp->indexOfSelectedItem(), 0);
        EXPECT_TRUE(popUp->isEnabled() && popUp->isVisibleTo(editor->window()));
        for (int i = 0; i < 2; ++i) {
            popUp->selectItemAtIndex(i);
            QComboBox *combo = popUp->comboBox();
            QStyleOptionComboBox option;
            option.initFrom(combo);
            option.currentText = combo->currentText();
            const QRect field = combo->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                               QStyle::SC_ComboBoxEditField, combo);
            EXPECT_GE(field.width(), combo->fontMetrics().horizontalAdvance(combo->currentText()))
                << combo->currentText().toStdString();
        }
        popUp->selectItemAtIndex(0);

        // Title, label and pop-up side by side on one row between the picture and the range slider, all
        // within the picture's width.
        const platform::Rect t = title->frame(), l = label->frame(), p = popUp->frame();
        EXPECT_GE(t.minX(), 14);
        EXPECT_LE(t.maxX(), l.minX());
        EXPECT_LE(l.maxX(), p.minX());
        EXPECT_LE(p.maxX(), editor->musicRightPlayerView()->frame().maxX());
        const platform::Rect slider = tool().rangeSlider()->frame();
        for (const platform::Rect &r : {t, l, p}) {
            EXPECT_GE(r.minY(), slider.maxY());
            EXPECT_LE(r.maxY(), editor->musicRightBottomView()->frame().height());
        }
        editor->close();
        TestEnvironment::processDeferredDeletes();
    });
}

TEST_F(MusicWindowTest, AudioTrackPopUpPicksTheStreamThePreviewPlaysAndTheExportWrites)
{
    RecordingEngine::Installed engine;
    openWith(twoTrackClip(), EditVideoWindowController::ToolMusic);
    const auto streams = editor->fileData()->audioStreamInfos();
    ASSERT_EQ(streams.size(), 2);
    ASSERT_NE(streams[1]->index(), 1) << "stream numbers differ from item numbers (the picture comes first)";
    platform::PopUpButton *popUp = tool().audiochanelPopBtn();

    for (const int item : {1, 0}) {
        SCOPED_TRACE(item);
        popUp->chooseItemAtIndex(item);
        const int stream = streams[item]->index();

        platform::LogCapture log;
        clickButton(editor->playPauseBtn());
        ASSERT_TRUE(editor->isPlaying());
        EXPECT_TRUE(log.contains("player: audio stream " + std::to_string(stream)));
        editor->stopBtnAction();
        EXPECT_TRUE(popUp->isEnabled());

        RecordingEngine::reset();
        RecordingEngine::holdStart = true;
        RecordingEngine::stopAsked = false;
        editor->startExportAction();
        EXPECT_TRUE(TestEnvironment::waitUntil([] { return RecordingEngine::count("start") > 0; }));
        EXPECT_EQ(RecordingEngine::only({"audioIndex"}),
                  std::vector<std::string>{"audioIndex " + std::to_string(stream)});
        editor->startExportAction();
        EXPECT_TRUE(TestEnvironment::waitUntil([this] { return !editor->convertstart(); }));
    }
}

// Not part of the suite: the music panel with a track under a clip with two sound tracks, prune off and
// on, then prune on in the narrowest window, in English, German and Arabic, grabbed to PNGs in
// $VW_SCREENSHOT_DIR for a look under Xvfb:
//   VW_SCREENSHOT_DIR=/tmp/shots xvfb-run -a env QT_QPA_PLATFORM=xcb build/bin/test_editor
//     --gtest_also_run_disabled_tests --gtest_filter='*MusicPanelScreenshot*'
TEST_F(MusicWindowTest, DISABLED_MusicPanelScreenshot)
{
    const QString folder = qEnvironmentVariable("VW_SCREENSHOT_DIR");
    ASSERT_FALSE(folder.isEmpty());
    inScreenshotLanguages([&](const QString &code) {
        openWith(twoTrackClip(), EditVideoWindowController::ToolMusic);
        tool().addFiles({audioFile("song.m4a", 5)});
        for (const bool prune : {false, true}) {
            if (tool().pruneBox()->isChecked() != prune)
                tool().pruneBox()->click();
            QTest::qWait(500);
            EXPECT_TRUE(editor->window()->grab().save(
                folder + QStringLiteral("/music-%1-%2.png").arg(code, prune ? "prune" : "plain")));
        }
        platform::Rect frame = editor->window()->frame();
        frame.size = editor->window()->minSize();
        editor->window()->setFrame(frame);
        QTest::qWait(500);
        EXPECT_TRUE(editor->window()->grab().save(folder + QStringLiteral("/music-%1-narrow.png").arg(code)));
        editor->close();
        TestEnvironment::processDeferredDeletes();
    });
}
