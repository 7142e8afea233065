#pragma once
// The music tool: tracks laid under the video. Tracks are loaded through the one probe (a file without
// decodable sound is refused and named in an alert); the list shows them as check-box rows (ticked =
// heard in preview and export; the current row is the one edited); delete removes the current row.
// The current track's span on the video (position start and end), the used part of its file (prune
// start and end), each as a four-field time with a stepper, the range slider, and the options repeat,
// prune, fade in, fade out and the track volume. With prune on, the used part's fields and the prune bar
// (handles = the used part as fractions of the music file, tick = the item player's position) show and
// the rows below move down to make room; with it off they hide and the rows move up. "Remove original
// music", the original-audio level and its mute act on the clip's own sound: the level and the mute are
// those of the editor's one VolumeModel, so the preview plays and the export writes the same level.
// The track volume's mute sets the track's volume to 0, and back to 0.5; its slider, the "%.f%%" label
// beside it and the item player always show the track's volume (an empty list shows "100%").
// Under the video: the clip's own sound row (its title, "Audio track:" and the one audio-track pop-up,
// whose chosen stream the preview plays and the export writes; the window reads it), then the range
// slider with its label; the player's bar lies below both.
// Two play buttons (one beside the list, one beside the prune bar) play the item player and are
// selected together while it plays. The range slider's tick follows the video preview while it plays
// (followPreview) and goes back to the start when it stops (previewStopped).
//
// Rules kept here:
//  - A typed time and a stepper step go through the same acceptance rules (TimeFieldRules): no inverted
//    or negative range; a stepper only changes a field of its own row, the one last clicked there (a
//    click primes it with that field's number; before any click it does nothing), always stepping from
//    what the field shows, and a refused step leaves everything as it was.
//  - After a delete, the fields, the slider and the options all show the (new) current track.
//  - The ticked tracks go to the preview player through MusicRanges, as the export sends them.
// Main thread only.
#include "controls/PNQButton.h"
#include "controls/RDCutProgressView.h"
#include "editor/tools/EditToolHost.h"
#include "editor/tools/EffectTableCellView.h"
#include "editor/tools/MusicRangeSlider.h"
#include "platform/TextField.h"
#include "toolkit/TimeFieldGroup.h"

#include <QCheckBox>
#include <QList>
#include <QPointer>
#include <QSlider>
#include <QStringList>
#include <QTimer>

#include <functional>

#include <array>
#include <memory>

class AudioStreamInfo;
class MusicInfo;
class RDMoviePlayer;
class TextLabel;
class VolumeModel;

namespace platform {
class PopUpButton;
class Stepper;
class View;
} // namespace platform

class MusicTool : public EffectTableCellViewDelegate,
                  public MusicRangeSliderDelegate,
                  public RDCutProgressViewDelegate,
                  public platform::TextFieldDelegate
{
public:
    MusicTool(EditToolHost &host, VolumeModel &volume) : m_host(host), m_volumeModel(volume) {}

    // A new track for a music file `musicSeconds` long under a video `videoSeconds` long: used part and
    // usable length min(music, video), span the whole video, volume 0.5, ticked.
    static std::shared_ptr<MusicInfo> newTrack(const QString &path, float musicSeconds, float videoSeconds);

    // Builds the left panel in `panel`, and the sound row and the range row in `underVideo` (the pane
    // under the video, 91 points high, whose lowest 41 points hold the player's bar).
    void initMusicView(platform::View *panel, platform::View *underVideo);
    // Controls usable or not (the list's own editing controls only with tracks).
    void enableEdit(bool enable);

    // Adds the files (after the probe); refused ones are named in one alert. The current index stays
    // (within the list): a new clip empties the list but keeps it, so the next load selects the same
    // row, or the last when the list is shorter. Selecting a row (a click, or a rebuild of the list)
    // loads its file into a new item player and cuts its used part to its span.
    void addFiles(const QStringList &paths);
    // The load button: the open panel, then addFiles().
    void loadMusicAction();
    void deleteMusicAction();
    // A new clip: no tracks.
    void sourceLoaded();
    // Replaces the tracks (a stored edit); the current index is kept within the list.
    void setMusicList(const QList<std::shared_ptr<MusicInfo>> &list);

    // Clears the preview's music and lays the ticked tracks under it (the preview and export ranges).
    void addDubbingWithPlayer() const;

    // The item player: the current track's file alone. Selecting a track loads it (paused); replacing or
    // stopping it resets the playing state and the play button. It never plays with the video preview:
    // starting it calls pauseVideoPreview, and the window stops it before the preview plays.
    void playOrPauseAudio();
    void stopItemPlayer();
    // The window closes: a playing item player is stopped and dropped (its tick too); a paused one stays.
    void windowWillClose();
    // Mark-in and mark-out at the item player's position t: mark-in starts the used part at t (keeping
    // its end, or running to the music's end when that lies before t); mark-out ends it at t (from 0 when
    // it started after t) and stretches the span to hold it, never past the video's end.
    void markIn();
    void markOut();
    bool isAudioPlaying() const { return m_isaudioplaying; }
    const std::shared_ptr<RDMoviePlayer> &itemPlayer() const { return m_itemPlayer; }
    // The play buttons beside the list and beside the prune bar; both selected while the item plays.
    PNQButton *itemPlayButton() const { return m_musicItemPlayPauseBtn; }
    PNQButton *prunePlayButton() const { return m_playPruneMusicBtn; }
    std::function<void()> pauseVideoPreview;
    // The 0.1 s tick that moves the prune bar's tick with the item player; runs only while it plays.
    bool audioTimerActive() const { return m_audioTimer.isActive(); }
    void changeMusicPlayerSlider();
    bool removeOriginalMusic() const;

    // The video preview's 0.1 s tick: the range slider's tick stands at `progress` (0..1 of the video).
    void followPreview(float progress);
    // The video preview stopped: the tick goes back to the start.
    void previewStopped();

    // The track volume's mute: on = volume 0, off = 0.5 (selected exactly when the volume is 0).
    void musicItemVolueAction();
    // The clip's own sound muted (0 in preview and file) or back at the level its slider shows.
    void originalVolumeAction();

    QList<std::shared_ptr<MusicInfo>> musicList() const { return m_musicList; }
    QList<std::shared_ptr<MusicInfo>> musicSelecteds() const { return m_musicSelecteds; }
    int selectedMusicIndex() const { return m_selectedMusicIndex; }
    QList<EffectTableCellView *> rows() const;
    MusicRangeSlider *rangeSlider() const { return m_rangeSlider; }
    RDCutProgressView *pruneBar() const { return m_pruneRangSlider; }
    // The used part's rows with the prune bar (shown with prune on), and the rows below them.
    platform::View *pruneContentView() const { return m_pruneContentView; }
    platform::View *fadeContentView() const { return m_fadeContentView; }
    // Position start, position end, prune start, prune end.
    const TimeFieldGroup &group(int i) const { return m_groups[i]; }
    platform::Stepper *stepper(int i) const { return m_steppers[i]; }
    QCheckBox *repeatBox() const { return m_repeat; }
    QCheckBox *pruneBox() const { return m_prune; }
    QCheckBox *fadeInBox() const { return m_fadeIn; }
    QCheckBox *fadeOutBox() const { return m_fadeOut; }
    QCheckBox *removeOriginalBox() const { return m_removeOriginal; }
    QSlider *volumeSlider() const { return m_volume; }
    PNQButton *itemVolumeButton() const { return m_musicItemVolueBtn; }
    TextLabel *itemVolumeLabel() const { return m_musicItemVoluelabel; }
    QSlider *originalLevelSlider() const { return m_originalLevel; }
    PNQButton *originalVolumeButton() const { return m_originalVolumeBtn; }
    TextLabel *originalVolumeLabel() const { return m_originalMusicVolumeLabel; }
    // The panel's titles: the span's heading and its rows' labels, the used part's heading (shown with
    // prune on) and its rows' labels; the range slider's label under the video.
    TextLabel *setthemusicpositionLabel() const { return m_setthemusicpositionLabel; }
    TextLabel *startMusicTimeLabel() const { return m_startMusicTimeLabel; }
    TextLabel *endMusicTimeLabel() const { return m_endMusicTimeLabel; }
    TextLabel *pruneRangeMusicLabel() const { return m_pruneRangeMusicLabel; }
    TextLabel *pruneStartLabel() const { return m_pruneStartLabel; }
    TextLabel *pruneEndLabel() const { return m_pruneEndLabel; }
    TextLabel *musicPositionLabel() const { return m_musicPositionLabel; }
    // Lays out the pane under the video, `width` wide: the sound row under the picture, the range row
    // below it. Each label is as wide as its text and the pop-up as its longest title (at least 160);
    // when the row is too narrow for that, the labels share what is left and shrink their text.
    void layoutUnderVideo(double width);
    // The clip's own sound row: its title, the pop-up's label and the audio-track pop-up.
    TextLabel *videooriginalsoundLabel() const { return m_videooriginalsoundLabel; }
    TextLabel *audiochanelLabel() const { return m_audiochanelLabel; }
    platform::PopUpButton *audiochanelPopBtn() const { return m_audiochanelPopBtn; }
    // Lists the clip's audio streams in the pop-up, in order (title, language name or "Track N", with
    // channels and kHz), chooses the first, and lays the row out again; no stream leaves it empty.
    void showAudioStreams(const QList<std::shared_ptr<AudioStreamInfo>> &streams);
    PNQButton *loadButton() const { return m_loadButton; }
    PNQButton *deleteButton() const { return m_deleteButton; }

    // Row reports.
    void actionMouseDownForEffectTableCellViewBlock(EffectTableCellView *cell, qint64 row) override;
    void actionSelectedForEffectTableCellViewBlock(EffectTableCellView *cell, qint64 row) override;
    // Range slider reports.
    void changeRangeValue(MusicRangeSlider *slider) override;
    void changeProgress(MusicRangeSlider *slider) override;
    // Prune bar: a handle moved (1 start, 2 end); the used part follows in seconds of the music file,
    // and the span stretches to hold it.
    void actionMouseMovedForCutProgressViewBlock(RDCutProgressView *bar, float start, float stop,
                                                 int64_t handleType) override;
    // Field edits.
    bool controlTextShouldBeginEditing(platform::TextField *field) override;
    bool controlTextShouldEndEditing(platform::TextField *field) override;
    // A stepper of row `i` was pressed.
    void stepperAction(int i);
    // A click on a time field: it becomes the field its row's stepper writes, and primes that stepper
    // with its number (maximum 99 for hundredths, else 59).
    void primeStepper(platform::TextField *field);

private:
    MusicInfo *current() const;
    double videoSeconds() const;
    void refreshMusicListView();
    void showTrack();
    void cutUsedPartToSpan();
    // Applies `seconds` to row `i` of the current track by the acceptance rules; true when accepted.
    bool applyTime(int i, float seconds, bool alert);
    void optionChanged();
    void volumeSliderMoved();
    void showVolume(float volume);
    void initmusicPlayer(const QString &path);
    void showPlaying(bool playing);
    double musicSeconds() const;
    void layoutForPrune(bool prune);
    void primeSteppersFromFields();

    EditToolHost &m_host;
    VolumeModel &m_volumeModel;
    QList<std::shared_ptr<MusicInfo>> m_musicList;
    QList<std::shared_ptr<MusicInfo>> m_musicSelecteds;
    int m_selectedMusicIndex = 0;
    bool m_showing = false;

    QPointer<platform::View> m_listDocument;
    QList<QPointer<EffectTableCellView>> m_rows;
    std::array<TimeFieldGroup, 4> m_groups;
    std::array<QPointer<platform::Stepper>, 4> m_steppers;
    std::array<QPointer<platform::TextField>, 4> m_lastField;
    QPointer<MusicRangeSlider> m_rangeSlider;
    QPointer<QCheckBox> m_repeat, m_prune, m_fadeIn, m_fadeOut, m_removeOriginal;
    QPointer<QSlider> m_volume, m_originalLevel;
    QPointer<PNQButton> m_loadButton, m_deleteButton;
    QPointer<PNQButton> m_musicItemPlayPauseBtn, m_playPruneMusicBtn;
    QPointer<PNQButton> m_musicItemVolueBtn, m_originalVolumeBtn;
    QPointer<TextLabel> m_musicItemVoluelabel, m_originalMusicVolumeLabel;
    QPointer<TextLabel> m_setthemusicpositionLabel, m_startMusicTimeLabel, m_endMusicTimeLabel;
    QPointer<TextLabel> m_pruneRangeMusicLabel, m_pruneStartLabel, m_pruneEndLabel, m_musicPositionLabel;
    QPointer<TextLabel> m_videooriginalsoundLabel, m_audiochanelLabel;
    QPointer<platform::PopUpButton> m_audiochanelPopBtn;
    QPointer<platform::View> m_underVideo;
    QPointer<PNQButton> m_markInButton, m_markOutButton;
    QPointer<platform::View> m_panel;
    QPointer<platform::View> m_pruneContentView, m_fadeContentView;
    QPointer<RDCutProgressView> m_pruneRangSlider;
    QTimer m_audioTimer;
    std::shared_ptr<RDMoviePlayer> m_itemPlayer;
    QString m_itemPath;
    bool m_isaudioplaying = false;
};
