#pragma once
// The editor window: one clip, seven tools (trim, crop, effect, watermark, subtitle, rotate, music), the
// output-format chooser, the output folder and the start button.
//
// The launcher creates it by class name ("EditVideoWindowController"), sets the Qt property
// "toolItemType" (a tool bit) and shows the window; windowDidLoad() then builds the window and opens that
// tool (any value that is not one tool bit opens trim). A tool switch only changes which panel and
// overlay are shown, which tool button is selected and where the preview is hosted; every panel keeps its
// settings, and the user's crop survives resizes, full screen and switches.
//
// Layout: frames are bottom-left, written against the window's frame size W x H (changesize()); the
// minimum size is 908 x 622 with the format chooser collapsed and 908 x 780 expanded.
//
// Lifetime, messages and closing follow ToolWindowController. Closing cancels a running export and stops
// the preview and the music tool's item player; nothing of a cancelled export is shown afterwards.
//
// Edit tools: trim, crop, rotate, effects, watermark, subtitle and music are classes of their own (the trim
// panel in toolkit/, the others in editor/tools/), each building its panel, holding its state and
// answering its rows and controls; the window is their EditToolHost and only coordinates (player,
// overlays, export).
//
// The edit state: editState() is the one routine that builds it from the tools, and the export reads it
// (exportEditState()). editsChanged() hands it to the preview; every tool calls it after each change, and
// so do a tool switch, play and pause, a turn, a reset, a resize and a new clip. So the preview shows what
// the file gets on every tab: the crop too, except on the crop and watermark tabs, where the overlays need
// the whole picture (the crop tab shows the crop as its overlay). An export running disables every
// control of every edit tool; they come back when it ends.
//
// Export: the window is the host of its EditorExportController, which owns the running export and its
// one running flag (convertstart()); the start button and the window's close reach it. Main thread only.
#include "controls/NSProgressView.h"
#include "controls/PNQButton.h"
#include "controls/PNQView.h"
#include "controls/RDCutProgressView.h"
#include "controls/RDProgressSlider.h"
#include "controls/RDTextField.h"
#include "controls/TextLabel.h"
#include "editor/EditorExportHost.h"
#include "editor/EditorPlayerBar.h"
#include "editor/EditorWindowViews.h"
#include "editor/tools/CropTool.h"
#include "editor/tools/EditToolHost.h"
#include "editor/tools/EffectsTool.h"
#include "editor/tools/RDUICliper.h"
#include "editor/tools/RDWaterView.h"
#include "editor/tools/MusicTool.h"
#include "editor/tools/RotateTool.h"
#include "editor/tools/SubtitleTool.h"
#include "editor/tools/VolumeModel.h"
#include "editor/tools/WatermarkTool.h"
#include "media/MediaEngine.h"
#include "media/MediaRecords.h"
#include "platform/Geometry.h"
#include "platform/PopUpButton.h"
#include "platform/Stepper.h"
#include "platform/TextField.h"
#include "platform/View.h"
#include "platform/WindowController.h"
#include "toolkit/OutputFormatChooser.h"
#include "toolkit/PreviewHost.h"
#include "toolkit/TimeFieldGroup.h"
#include "toolkit/ToolWindowController.h"
#include "toolkit/TrimPanel.h"

#include <QColor>
#include <QDateTime>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <functional>
#include <memory>

class EditorExportController;
class EditorOutputSettings;
class MusicInfo;
class OutputFolderChooser;
class RDMoviePlayer;
class SimpleData;
class SubtitleParam;
class WaterParam;

namespace platform {
class Stepper;
class Timer;
class Window;
struct Notification;
} // namespace platform

class EditVideoWindowController : public ToolWindowController,
                                  public platform::TextFieldDelegate,
                                  public RDTextFieldDelegate,
                                  public RDProgressSliderDelegate,
                                  public RDCutProgressViewDelegate,
                                  public EditorExportHost,
                                  public EditToolHost,
                                  protected EditorWindowViews
{
    Q_OBJECT
    Q_PROPERTY(qint64 toolItemType READ toolItemType WRITE setToolItemType)

public:
    // The tool bits.
    enum Tool : qint64 {
        ToolTrim = 1,
        ToolRotate = 2,
        ToolCrop = 4,
        ToolEffect = 8,
        ToolWatermark = 16,
        ToolSubtitle = 32,
        ToolMusic = 64,
    };
    static constexpr double minWidth = 908;
    static constexpr double minHeightCollapsed = 622;
    static constexpr double minHeightExpanded = 780;

    explicit EditVideoWindowController(QObject *parent = nullptr);
    ~EditVideoWindowController() override;

    // The open tool, and the one open before the last switch (0 before the first).
    qint64 toolItemType() const { return m_toolItemType; }
    void setToolItemType(qint64 type) { m_toolItemType = type; }
    qint64 oldToolItemType() const { return m_oldToolItemType; }

    // Tool actions (the sender is ignored).
    void cutAction(PNQButton *sender = nullptr);
    void cropAction(PNQButton *sender = nullptr);
    void effectAction(PNQButton *sender = nullptr);
    void watermarkAction(PNQButton *sender = nullptr);
    void subtitleAction(PNQButton *sender = nullptr);
    void rotateAction(PNQButton *sender = nullptr);
    void addmusicAction(PNQButton *sender = nullptr);
    // Actions of the window that do nothing.
    void minAction(QObject *) {}
    void maxAction(QObject *) {}
    void reportAction(QObject *) {}

    // Enables or disables every editing control at once; with a clip loaded also refreshes the trim
    // display (bar values and the start and stop fields).
    void enableEdit(bool enable) override;

    // Lays the window out for its size and the chooser's collapse state (nullptr = this window, a direct
    // call). A notification about another window only sets the minimum size. Size changes, entering full
    // screen and direct calls also refit the crop and watermark overlays to the displayed picture, keeping
    // the user's crop.
    void changesize(const platform::Notification *notification);

    // The one message routine (ToolWindowController's; the finish dialog says "Editfinishedstring").
    void showSimpleAlert(const QString &message, int tag, bool fromExportEnd = false) override
    {
        ToolWindowController::showSimpleAlert(message, tag, fromExportEnd);
    }

    // Panel builders (each panel view starts empty; the edit tools fill them in).
    // (crop, rotate and effects build theirs: CropTool, RotateTool, EffectsTool)
    void initTrimView();
    void initWaterView();
    void initSubtitleView();
    void initMusicView();
    // (Re)makes the preview player for filePath() (none for an empty path or a file the player refuses),
    // hosted in playerView (musicRightPlayerView in the music tool), and rebuilds the player bar: position
    // slider, trim bar (keep mode), time labels, button images and callbacks, the snapshot-format pop-up.
    void initPlayer();
    // With a clip: the record's turn becomes the rotate tool's, no crop, and the crop overlay over the
    // picture's rectangle inside playerView ("videoRect: ...").
    void initPlayerCliper();
    // The watermark overlay over the picture's rectangle inside playerView, set up from the selected
    // watermark of waterMarkList (or empty).
    void initWatermarkView();
    using EditorWindowViews::hiddenMusicViewPlay;
    void enableMusicEdit(bool enable) override;
    void enableWaterChildView(bool enable);

    // The edit state every tool adds to: trim fields, crop, turn and mirror, colours and effects,
    // subtitle, watermarks. The export reads it; editsChanged() shows it.
    ExportEditState editState() const;
    // Hands editState() to the preview at once (a paused preview is redrawn). Nothing without a player.
    void editsChanged() override;

    // ---- loading ----
    // The add-file button's action: an open panel with allowedFileTypes(), several files allowed, the
    // first one loaded by loadFile(). Cancelling changes nothing; nothing happens while an export runs.
    void addfileAction(QObject *sender = nullptr);
    static QStringList allowedFileTypes();
    // Loads `path`: probes it first; a file that is refused (unreadable, corrupt, no picture) shows the
    // alert "Pleaseselectedvideo'sfilestring" and changes nothing (the loaded clip, its path, its music
    // and the format chooser stay). An accepted file resets the chooser and the music, becomes the clip,
    // gets a new player, zero trim fields, no subtitle, effects, watermarks or crop, and the tool shown
    // before is shown again. True when the file became the clip.
    bool loadFile(const QString &path);
    // Probes `path`; when it has a picture, makes its record the window's fileData (with filePath, the
    // nine output titles, copies of its waterParam and subtitleParam, and the size labels) and returns
    // true; otherwise changes nothing and returns false.
    bool addFile(const QString &path);
    // The one probe's record of `path` (null when refused); a source without a picture gets the music
    // picture "Resources/defaultMusicZoom.png" as its thumbnail.
    static std::shared_ptr<SimpleData> probeSource(const QString &path);

    // ---- preview ----
    // Each does nothing without a player. play() stops the music tool's item player first, picks the
    // audio stream chosen in audiochanelPopBtn, puts music and watermarks in and starts the 0.1 s tick.
    void play();
    void pause();
    void stop();
    // Toggles between play() and pause() (the play/pause button and the trim panel's play button).
    void action_playPauseBtn(QObject *sender = nullptr);
    // The repeating 0.1 s ticks (Default mode); adding one first removes the running one.
    void addTimer();
    void removeTimer();
    // The playback tick: slider or trim bar, time labels; it ends itself once the end is reached.
    void changePlayerSlider();
    // The end of play: paused and stopped, back at the trim start (the whole clip when no stop was set).
    void playerDidEnd();
    // The player bar's click work (the buttons queue it on the main thread).
    void muteAction();
    void picStyleBtnAction();
    void stopBtnAction();

    void actionMouseDownForProgressSliderBlock(RDProgressSlider *slider, float progress) override;
    void actionProgressForProgressSliderBlock(RDProgressSlider *slider, float progress) override;
    void actionMouseUpForProgressSliderBlock(RDProgressSlider *slider, float progress) override;

    // ---- panel and model ----
    // Writes the editor's state into fileData, reads it back, remakes the player and overlays, and brings
    // the trim, subtitle and colour panels, the labels, the audio-stream pop-up and the player in line.
    void refreshPlayerView();
    // The picture size as displayed: the source's, swapped for quarter turns of playerRotateAngle.
    platform::Size getVideoSizeForTrack() const;

    // ---- trim panel ----
    void setStartTrimBtnTouchUp(QObject *sender = nullptr);
    void setStopTrimBtnTouchUp(QObject *sender = nullptr);
    void playTrimBtnTouchUp(QObject *sender = nullptr);
    void resetTrimBtnTouchUp(QObject *sender = nullptr);
    // Keep (0) or delete (1) the section; starts the preview.
    void actionPreferencesBtn(int index);
    // The start at `seconds`, with a seek; fileData is not written.
    void changeCureentTime(float seconds);
    void actionMouseDownForCutProgressViewBlock(RDCutProgressView *bar, float progress) override;
    void actionMouseUpForCutProgressViewBlock(RDCutProgressView *bar, float progress) override;
    void actionSeekToTimeForCutProgressViewBlock(RDCutProgressView *bar, float progress) override;
    void actionMouseMovedForCutProgressViewBlock(RDCutProgressView *bar, float lower, float upper,
                                                 int64_t handleType) override;

    // ---- time and crop fields ----
    // The end of an edit of a trim, crop, watermark or music field: an accepted value goes into the model
    // and the views; a refused one shows its alert (tag 2) and keeps the field in editing, the model
    // unchanged.
    bool controlTextShouldEndEditing(platform::TextField *field) override;
    // A click on a time field: remembers the field the stepper acts on and primes that stepper.
    void actionMouseDownForTextFieldBlock(RDTextField *field) override;
    // The trim steppers: the remembered field takes the stepper's value when the stop is after the start.
    void touchUpStartStepper(platform::Stepper *stepper = nullptr);
    void touchUpStopStepper(platform::Stepper *stepper = nullptr);

    // ---- snapshot ----
    // The format pop-up's choice (its item index): "bmp", "jpg", anything else PNG.
    void picstyleAction(int index);
    QString coverStyle() const { return m_coverStyle; }
    // Writes the shown frame at getVideoSizeForTrack() into outputPath() (made when missing), named by
    // the clock's time stamp and never over an earlier file ("name(2).png", ...). Returns the path
    // written; on failure shows "snapshotSaveFailedString" and returns an empty string.
    QString actionCarameraBtn(QObject *sender = nullptr);
    // The clock that names snapshots (local time by default).
    void setSnapshotClock(std::function<QDateTime()> clock) { m_snapshotClock = std::move(clock); }

    // ---- rotate panel ----
    // Queues the rotate tool's reset of rotation, mirroring, crop, watermarks and subtitle (one turn
    // later); every panel, overlay and the preview then show the untouched picture.
    void resetRotateTouchUp(QObject *sender = nullptr);

    // The output folder (the folder pop-up's action with nullptr chooses the default folder).
    void outputPopUpBtnAction(platform::PopUpButton *sender);
    QString outputPath() const;
    QStringList outputPathTitles() const;

    // Starts the export or, while one runs, cancels it (EditorExportController). A start first takes the
    // trim range from the start and stop fields into cutTimeRange_start/_stop.
    void startExportAction(PNQButton *sender = nullptr);
    EditorExportController *exportController() const { return m_exportController.get(); }

    // ---- the export's view of the window ----
    // The clip; the trim fields, the trim bar's delete mode and the edit tools' state; the output folder,
    // the audio-stream choice, the own-audio volume and removal, the watermarks measured on the overlay,
    // the picture size and the chosen music.
    std::shared_ptr<SimpleData> exportClip() const override { return m_fileData; }
    ExportEditState exportEditState() const override { return editState(); }
    ExportSources exportSources() const override;
    bool hasMusic() const override { return !m_music.musicList().isEmpty(); }
    void pausePreview() override { pause(); }
    void setRemoveOriginalMusicEnabled(bool enable) override;
    bool isExportHostClosed() const override { return isClosed(); }
    // Besides the edit controls, a running export keeps Add File and the output-format chooser off: a new
    // clip or format would reset what the export is still using.
    void enableControlsForExport(bool enable) override
    {
        EditorExportHost::enableControlsForExport(enable);
        for (QWidget *w : {static_cast<QWidget *>(m_addfileButton), static_cast<QWidget *>(m_formatChooser)})
            if (w)
                w->setEnabled(enable);
    }

    // State shared with the edit tools and the export (plain stored values).
    const std::shared_ptr<SimpleData> &fileData() const { return m_fileData; }
    void setFileData(const std::shared_ptr<SimpleData> &data) { m_fileData = data; }
    QString filePath() const { return m_filePath; }
    void setFilePath(const QString &path) { m_filePath = path; }
    // The picture as shown: the source turned by the rotate tool (0 x 0 without a clip).
    platform::Size videoSize() const override { return getVideoSizeForTrack(); }
    CropMapping::Orientation orientation() const override;
    // The edit tools and the one volume model of the clip's own audio.
    CropTool &cropTool() { return m_crop; }
    RotateTool &rotateTool() { return m_rotate; }
    EffectsTool &effectsTool() { return m_effects; }
    SubtitleTool &subtitleTool() { return m_subtitle; }
    MusicTool &musicTool() { return m_music; }
    VolumeModel &volumeModel() { return m_volumeModel; }
    bool keepAspectratio() const { return m_keepAspectratio; }
    void setKeepAspectratio(bool on) { m_keepAspectratio = on; }
    double cutTimeRange_start() const { return m_trim.range().start; }
    void setCutTimeRange_start(double us) { m_trim.range().start = us; }
    double cutTimeRange_stop() const { return m_trim.range().stop; }
    void setCutTimeRange_stop(double us) { m_trim.range().stop = us; }
    bool isTrimFanxuan() const { return m_isTrimFanxuan; }
    void setIsTrimFanxuan(bool on) { m_isTrimFanxuan = on; }
    QColor captionColor() const { return m_captionColor; }
    void setCaptionColor(const QColor &color) { m_captionColor = color; }
    // The subtitle tool's settings; null = no subtitle.
    const std::shared_ptr<SubtitleParam> &subtitleParam() const { return m_subtitleParam; }
    void setSubtitleParam(const std::shared_ptr<SubtitleParam> &p) { m_subtitleParam = p; }
    const std::shared_ptr<WaterParam> &waterParam() const { return m_waterParam; }
    void setWaterParam(const std::shared_ptr<WaterParam> &p) { m_waterParam = p; }
    // The watermark tool's list, its ticked items and the edited row.
    WatermarkTool &watermarkTool() { return m_watermark; }
    QList<std::shared_ptr<WaterParam>> waterMarkList() const { return m_watermark.waterMarkList(); }
    void setWaterMarkList(const QList<std::shared_ptr<WaterParam>> &list) { m_watermark.setWaterMarkList(list); }
    QList<std::shared_ptr<WaterParam>> waterMarkSelecteds() const { return m_watermark.waterMarkSelecteds(); }
    int selectedWaterMarkIndex() const { return m_watermark.selectedWaterMarkIndex(); }
    void setSelectedWaterMarkIndex(int index) { m_watermark.setSelectedWaterMarkIndex(index); }
    QList<std::shared_ptr<MusicInfo>> musicList() const { return m_music.musicList(); }
    void setMusicList(const QList<std::shared_ptr<MusicInfo>> &list) { m_music.setMusicList(list); }
    QList<std::shared_ptr<MusicInfo>> musicSelecteds() const { return m_music.musicSelecteds(); }
    int selectedMusicIndex() const { return m_music.selectedMusicIndex(); }
    bool isPlaying() const override { return m_isPlaying; }
    void setIsPlaying(bool on) { m_isPlaying = on; }
    // An export is running (the export controller's flag).
    bool convertstart() const;
    const std::shared_ptr<platform::Timer> &timer() const { return m_preview.timer(); }
    // The preview player of the clip (made by initPlayer()) and its picture widget; the music tool makes
    // its own music player. Dropping a player stops it.
    const std::shared_ptr<RDMoviePlayer> &rdPlayer() const override { return m_preview.player(); }
    QWidget *previewView() const { return m_preview.view(); }

    // The output format and settings (the chooser and the nine output titles).
    OutputFormatChooser *formatChooser() const { return m_formatChooser; }
    EditorOutputSettings *outputSettings() const { return m_outputSettings.get(); }
    OutputFolderChooser *folderChooser() const { return m_folderChooser.get(); }
    QStringList functionList() const;
    // The chooser shows only its header (the window's collapsed layout).
    bool isChooserCollapsed() const;

    // Views of the window.
    platform::View *backGroundView() const;
    PNQView *contentBackGroundView() const { return m_contentBackGroundView; }
    platform::View *contentLeftView() const { return m_contentLeftView; }
    platform::View *contentRightView() const { return m_contentRightView; }
    PNQView *funItemContentView() const { return m_funItemContentView; }
    PNQButton *addfileButton() const { return m_addfileButton; }
    // The tool buttons in strip order: trim, crop, effect, watermark, subtitle, rotate, music.
    QList<PNQButton *> toolButtons() const;
    PNQButton *toolButton(qint64 tool) const;
    // The panel shown for a tool (for music: musicContentView).
    platform::View *panelView(qint64 tool) const;
    PNQView *trimView() const { return m_trimView; }
    PNQView *cropView() const { return m_cropView; }
    PNQView *kxfxView() const { return m_kxfxView; }
    PNQView *waterView() const { return m_waterView; }
    PNQView *captionView() const { return m_captionView; }
    PNQView *adjustView() const { return m_adjustView; }
    PNQView *musicContentView() const { return m_musicContentView; }
    PNQView *musicRightView() const { return m_musicRightView; }
    platform::View *musicRightPlayerView() const { return m_musicRightPlayerView; }
    platform::View *musicRightBottomView() const { return m_musicRightBottomView; }
    PNQView *toolMusicNofileView() const { return m_toolMusicNofileView; }
    platform::View *playerBackView() const { return m_playerBackView; }
    PNQView *playerView() const { return m_playerView; }
    platform::View *playerBottomView() const { return m_playerBottomView; }
    platform::View *playerBottomChildView() const { return m_playerBottomChildView; }
    RDProgressSlider *progressSlider() const { return m_progressSlider; }
    RDCutProgressView *cutProgressView() const { return m_cutProgressView; }
    RDUICliper *cliper() const override { return m_cliper; }
    // EditToolHost: a turn, a mirror or the rotate tool's reset lays the overlays out again.
    void pictureTurned(bool reset) override;
    void queueOnMain(std::function<void()> work) override { dispatchOnMain(std::move(work)); }
    void showToolAlert(const QString &message) override { showSimpleAlert(message, 2); }
    platform::TextField *scrLabel() const { return m_scrLabel; }
    platform::TextField *currentTimeLabel() const { return m_currentTimeLabel; }
    platform::TextField *totalTimeLabel() const { return m_totalTimeLabel; }
    platform::TextField *mCurrentTimeLabel() const { return m_mCurrentTimeLabel; }
    platform::TextField *mTotaldurationLabel() const { return m_mTotaldurationLabel; }
    // The trim panel: start and stop groups (hours, minutes, seconds, hundredths), steppers, buttons.
    const TrimPanel &trimPanel() const { return m_trim; }
    const TimeFieldGroup &startTimeFields() const { return m_trim.startGroup(); }
    const TimeFieldGroup &stopTimeFields() const { return m_trim.stopGroup(); }
    platform::Stepper *startStepper() const { return m_trim.startStepper(); }
    platform::Stepper *stopStepper() const { return m_trim.stopStepper(); }
    platform::TextField *edittingField() const { return m_trim.edittingField(); }
    platform::PopUpButton *preferenceBtn() const { return m_trim.preferenceBtn(); }
    PNQButton *setStartTrimBtn() const { return m_trim.setStartTrimBtn(); }
    PNQButton *setStopTrimBtn() const { return m_trim.setStopTrimBtn(); }
    PNQButton *playTrimBtn() const { return m_trim.playTrimBtn(); }
    PNQButton *resetTrimBtn() const { return m_trim.resetTrimBtn(); }
    // The player bar.
    PNQButton *playPauseBtn() const { return m_b_playPauseBtn; }
    PNQButton *volumeBtn() const { return m_b_volumeBtn; }
    PNQButton *picStyleBtn() const { return m_b_picStyleBtn; }
    RDProgressSlider *volumeSlider() const { return m_b_volumeSlider; }
    platform::PopUpButton *coverStylePopBtn() const { return m_b_coverStylePopBtn; }
    platform::PopUpButton *audiochanelPopBtn() const { return m_audiochanelPopBtn; }
    platform::PopUpButton *subtitlePopUpBtn() const { return m_subtitle_popUpBtn; }
    // The nine output titles read at the last load (null = absent), indexed as EditorOutputSettings'.
    QString loadedOutputTitle(int title) const { return m_loadedTitles.value(title); }
    RDWaterView *watermarkView() const { return m_watermarkView; }
    PNQButton *startExportBtn() const override { return m_startExportBtn; }
    QCheckBox *removeOriginalmusicBtn() const { return m_removeOriginalmusicBtn; }
    NSProgressView *exportProgressView() const override { return m_exportProgressView; }
    PNQView *outputFolderValueBack() const { return m_outputFolderValueBack; }

protected:
    std::unique_ptr<platform::Window> makeWindow() override;
    void windowDidLoad() override;
    void windowWillClose() override;
    bool isExportRunning() const override { return convertstart(); }
    PNQButton *startButton() const override { return m_startExportBtn; }
    QString finishedMessageKey() const override;
    QString outputFolder() const override { return outputPath(); }

    // Controls that the edit tools, the trim panel and the player bar build into their panels; null until
    // then. enableEdit() and the tool switch treat a missing control as nothing to do.
    QPointer<QWidget> m_loadmusicBtn, m_colorWell, m_subtitleFont_popUpBtn, m_subtitleAlphSlider;
    QPointer<RDProgressSlider> m_b_volumeSlider;
    QPointer<platform::PopUpButton> m_subtitle_popUpBtn, m_audiochanelPopBtn, m_b_coverStylePopBtn;
    QPointer<PNQButton> m_b_playPauseBtn, m_b_stopBtn, m_b_cameraBtn, m_b_picStyleBtn, m_b_volumeBtn;
    QPointer<platform::TextField> m_currentTimeLabel, m_totalTimeLabel, m_mCurrentTimeLabel,
        m_mTotaldurationLabel;
    // The trim panel: its controls and the cut range (cutTimeRange_start/_stop).
    TrimPanel m_trim;

private:
    void buildToolButtons();
    void switchTool(qint64 tool, const char *logName);
    void applyVisibility(qint64 tool);
    // Opens the tool `toolItemType` (or `tool`) names (trim for any value that names none).
    void openCurrentTool();
    void openTool(qint64 tool);
    QPointer<PNQButton> &buttonSlot(qint64 tool);
    void movePlayerInto(platform::View *host, platform::View *barHost);
    void layoutFrames(double t);
    void refitOverlays();
    platform::Rect pictureRect() const;
    void clearSubtitle();
    void buildPlayerBar();
    void showTimeLabels(float current, float duration);
    // The slider (or trim bar), the music range's tick and the time labels at the preview's position.
    void showPreviewPosition();
    void adoptRecord(const std::shared_ptr<SimpleData> &record);
    void registerRenderCallbacks();
    QWidget *playerHostView() const;

    qint64 m_toolItemType = 0;
    qint64 m_oldToolItemType = 0;

    std::shared_ptr<SimpleData> m_fileData;
    QString m_filePath;
    bool m_keepAspectratio = false;
    bool m_isTrimFanxuan = false;
    QColor m_captionColor;
    std::shared_ptr<SubtitleParam> m_subtitleParam;
    std::shared_ptr<WaterParam> m_waterParam;
    bool m_isPlaying = false;
    // The clip's preview with its 0.1 s tick, and its control bar.
    PreviewHost m_preview;
    EditorPlayerBar m_bar;

    VolumeModel m_volumeModel;
    CropTool m_crop{*this};
    RotateTool m_rotate{*this};
    EffectsTool m_effects{*this, m_volumeModel};
    SubtitleTool m_subtitle{*this, m_subtitleParam};
    MusicTool m_music{*this, m_volumeModel};
    WatermarkTool m_watermark{*this, m_waterParam};

    std::unique_ptr<OutputFolderChooser> m_folderChooser;
    std::unique_ptr<EditorOutputSettings> m_outputSettings;

    QPointer<PNQButton> m_cutButton, m_cropButton, m_effectButton, m_watermarkButton, m_subtitleButton,
        m_rotateButton, m_addmusicButton;
    QPointer<RDProgressSlider> m_progressSlider;
    QPointer<RDCutProgressView> m_cutProgressView;
    QPointer<RDUICliper> m_cliper;
    QPointer<RDWaterView> m_watermarkView;
    QPointer<QCheckBox> m_removeOriginalmusicBtn;
    QPointer<OutputFormatChooser> m_formatChooser;

    QString m_coverStyle;
    std::function<QDateTime()> m_snapshotClock;
    QStringList m_loadedTitles;

    // Last, so it goes first: a running job is stopped while the window's state still exists.
    std::unique_ptr<EditorExportController> m_exportController;
};
