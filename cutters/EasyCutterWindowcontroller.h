#pragma once
// The easy cutter: one source file, previewed with a range bar under the picture; CUT appends the bar's
// range to a list of cuts shown as a column of thumbnail rows, which can be reordered, copied, deleted,
// cleared and edited one at a time (modify mode: the range bar, the range fields and the cut-time panel
// under the row then edit the selected cut). The export writes one file per cut, or all cuts merged
// into one file when the merge box is ticked (EasyCutterExport).
//
// The launcher creates it by class name ("EasyCutterWindowcontroller"). The list and its selection are
// an EasyCutterCutList, drawn with its hover buttons and cut-time panel by an EasyCutterCutColumn; the times
// are checked by EasyCutterTimeRules, whose refusals show the alerts "showmessageTime1" to
// "showmessageTime4". Every button action runs one event-loop turn after the click (dispatchOnMain), row
// clicks at once.
//
// Times are double seconds from the fields to the export (1.15 s reaches the engine as 1,150,000 us). The
// range bar holds its handles as single-precision fractions, so a time typed, stepped or set at a handle
// is kept beside it and read back while the handle stands where it was put.
//
// While an export runs, the editing controls, the rows and the add buttons are disabled, and the export
// works on the source and the cuts as they were when it started. Every fraction of the duration is 0
// when the duration is 0. Lifetime, messages and closing follow ToolWindowController; closing cancels a
// running export and stops a playing preview. Main thread only.
#include "controls/NSProgressView.h"
#include "controls/PNQButton.h"
#include "controls/PNQView.h"
#include "controls/RDCutProgressView.h"
#include "controls/RDProgressSlider.h"
#include "controls/RDTextField.h"
#include "controls/TextLabel.h"
#include "cutters/CutItemView.h"
#include "cutters/EasyCutterCutColumn.h"
#include "cutters/EasyCutterCutList.h"
#include "platform/Stepper.h"
#include "platform/TextField.h"
#include "toolkit/ExportRunController.h"
#include "toolkit/ExportRunHost.h"
#include "toolkit/PreviewHost.h"
#include "toolkit/TimeFieldGroup.h"
#include "toolkit/ToolWindowController.h"

#include <QList>
#include <QPointer>

#include <memory>

class OutputFolderChooser;
class SimpleData;

class EasyCutterWindowcontroller : public ToolWindowController,
                                   public ExportRunHost,
                                   public platform::TextFieldDelegate,
                                   public RDTextFieldDelegate,
                                   public RDCutProgressViewDelegate,
                                   public RDProgressSliderDelegate
{
    Q_OBJECT

public:
    static constexpr double windowWidth = 900;
    static constexpr double windowHeight = 700;
    static constexpr double rowWidth = EasyCutterCutColumn::rowWidth;
    static constexpr double rowHeight = EasyCutterCutColumn::rowHeight;

    explicit EasyCutterWindowcontroller(QObject *parent = nullptr);
    ~EasyCutterWindowcontroller() override;

    // Loading: the open panel, the first chosen file probed; a refused file is named in an alert and
    // leaves the no-file state. A loaded file replaces the player and empties the cut list.
    void addFileAction();
    const std::shared_ptr<SimpleData> &fileData() const { return m_fileData; }
    PreviewHost &preview() { return m_preview; }
    // The player's duration and position in seconds (0 without a player).
    double duration() const;
    double currentTime() const;

    // The cut list.
    EasyCutterCutList &cutList() { return m_cutList; }
    const QList<QPointer<CutItemView>> &cutItemViews() const { return m_column.rows(); }
    void cutAction();
    void moveUpAction();
    void moveDownAction();
    void copyAction();
    void modifyAction();
    void deleteAction();
    void clearAction();
    void fileItemAction(CutItemView *sender);
    // The pointer entered or left a row (the hover that puts the overlay on it).
    void rowEntered(CutItemView *row);
    void rowExited(CutItemView *row);
    // The cut column scrolled: one log line, nothing else.
    void synchronizedViewContentBoundsDidChange();
    void refresFileListView();
    void scrollToSelectItem();

    // Time editing.
    void refresSelectTrimTime(bool changeStart, bool changeEnd);
    void touchUpStartStepper();
    void touchUpStopStepper();
    void startStepperItemAction();
    void stopStepperItemAction();
    bool controlTextShouldEndEditing(platform::TextField *field) override;
    void actionMouseDownForTextFieldBlock(RDTextField *field) override;
    void actionMouseDownForCutProgressViewBlock(RDCutProgressView *, float) override;
    void actionMouseUpForCutProgressViewBlock(RDCutProgressView *, float) override;
    void actionSeekToTimeForCutProgressViewBlock(RDCutProgressView *, float progress) override;
    void actionMouseMovedForCutProgressViewBlock(RDCutProgressView *, float start, float stop,
                                                 int64_t handleType) override;
    void actionProgressForProgressSliderBlock(RDProgressSlider *, float progress) override;
    void kuaituiAction() { nudge(-0.1); }
    void kuaijinAction() { nudge(0.1); }

    // Transport.
    void playOrPauseVideo();
    void playOrPauseAction();
    void previewRangeAction();
    void setStartAtPlayheadAction();
    void setEndAtPlayheadAction();
    void muteAction();
    void merageAction();
    void openOutputFolderAction();
    bool isPlaying() const { return m_isPlaying; }
    bool isPlaySelectedCut() const { return m_isPlaySelectedCut; }
    // The 0.1 s playback tick's work.
    void changePlayerSlider();

    // Export: starts the kind of run the merge box asks for, or cancels the running one.
    void startExportAction(QObject *sender = nullptr);
    bool isStartExport() const { return m_run.isRunning(); }
    const ChainedExportJob *runningChain() const { return m_run.runningChain(); }
    QString outputPath() const;

    // The no-file state (false) or a loaded file (true); the exporting state (false) or idle (true).
    void enableEditItemShow(bool show);
    void enableEdit(bool enable);

    // Controls, for the tests and the screenshots.
    RDCutProgressView *cutprogressView() const { return m_cutprogressView; }
    RDProgressSlider *volumeSlider() const { return m_volumeSlider; }
    PNQButton *cutStartBtn() const { return m_cutStartBtn; }
    PNQButton *merageBtn() const { return m_merageBtn; }
    PNQButton *merageTitleBtn() const { return m_merageTitleBtn; }
    PNQView *fileItemListView() const { return m_column.listView(); }
    PNQButton *volumeBtn() const { return m_volumeBtn; }
    PNQButton *upMoveItemBtn() const { return m_column.upMoveBtn(); }
    PNQButton *downMoveItemBtn() const { return m_column.downMoveBtn(); }
    PNQButton *deletedItemBtn() const { return m_column.clearBtn(); }
    PNQButton *playOrpauseBtn() const { return m_playOrpauseBtn; }
    PNQButton *playOrpauseSelectBtn() const { return m_playOrpauseSelectBtn; }
    PNQButton *selectedLeftBtn() const { return m_selectedLeftBtn; }
    PNQButton *selectedRightBtn() const { return m_selectedRightBtn; }
    PNQButton *updateFileAddBtn() const { return m_updateFileAddBtn; }
    PNQButton *addfileBtn() const { return m_addfileBtn; }
    PNQButton *itemCopyBtn() const { return m_column.copyBtn(); }
    PNQButton *itemModifyBtn() const { return m_column.modifyBtn(); }
    PNQButton *itemDeletedBtn() const { return m_column.deleteBtn(); }
    PNQView *itemSelectView() const { return m_column.itemSelectView(); }
    PNQView *selectedItemTimeChangeView() const { return m_column.timePanel(); }
    PNQView *nofileBordView() const { return m_nofileBordView; }
    TextLabel *durationValueLabel() const { return m_durationValueLabel; }
    TextLabel *currentTimeLabel() const { return m_currentTimeLabel; }
    const TimeFieldGroup &rangeStartGroup() const { return m_startGroup; }
    const TimeFieldGroup &rangeStopGroup() const { return m_stopGroup; }
    const TimeFieldGroup &cutStartGroup() const { return m_column.startGroup(); }
    const TimeFieldGroup &cutStopGroup() const { return m_column.stopGroup(); }
    platform::Stepper *startStepper() const { return m_startStepper; }
    platform::Stepper *stopStepper() const { return m_stopStepper; }
    platform::Stepper *startItemStepper() const { return m_column.startStepper(); }
    platform::Stepper *stopItemStepper() const { return m_column.stopStepper(); }

    // ExportRunHost.
    NSProgressView *exportProgressView() const override { return m_exportProgressView; }
    PNQButton *startExportBtn() const override { return m_startExportBtn; }
    void enableControlsForExport(bool enable) override { enableEdit(enable); }
    void showSimpleAlert(const QString &message, int tag, bool fromExportEnd) override
    {
        ToolWindowController::showSimpleAlert(message, tag, fromExportEnd);
    }
    bool isExportHostClosed() const override { return isClosed(); }

protected:
    std::unique_ptr<platform::Window> makeWindow() override;
    void windowDidLoad() override;
    void windowWillClose() override;
    bool isExportRunning() const override { return m_run.isRunning(); }
    PNQButton *startButton() const override { return m_startExportBtn; }
    QString finishedMessageKey() const override;
    QString outputFolder() const override { return outputPath(); }
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildViews();
    void buildButtons();
    void buildListColumn();
    void buildPlayerBottom();
    void buildOutputRow();
    void buildNoFilePanel();
    void initPlayer();
    void addTimer();
    void removeTimer();
    QImage getCurrentThumbImage();
    void playerDidEnd();
    void alert(const char *key);
    // The checks of a time group and their corrections into `edited` (a field of the side checked).
    double applyStartChecks(const TimeFieldGroup &start, const TimeFieldGroup &stop,
                            platform::TextField *edited);
    double applyStopChecks(const TimeFieldGroup &start, const TimeFieldGroup &stop,
                           platform::TextField *edited);
    void storeIntoCut(int64_t index, bool start, double seconds);
    void showRangeFromBar();
    void disableSetButtons();
    void seek(double seconds);
    double fractionOf(double seconds) const;
    // Puts the bar's start (or end) handle at `seconds` and keeps that exact time for handleTime().
    void placeHandle(bool start, double seconds);
    // The time of the bar's start (or end) handle at `fraction`: the time placed there while the handle
    // stands where it was put, else the fraction of the duration. Without a fraction, where it stands now.
    double handleTime(bool start, float fraction) const;
    double handleTime(bool start) const;
    void nudge(double step);
    void setHandleAtPlayhead(bool start);
    void setPlayButtonPlaying(bool playing);
    // Plays or pauses the preview with its tick and the bar's playhead follow.
    void setPlaying(bool playing);
    void joinnerVideo();
    void beginPerCut();
    void beginMerged();
    void pausePreviewForExport();

    EasyCutterCutList m_cutList;
    EasyCutterCutColumn m_column{m_cutList};
    std::shared_ptr<SimpleData> m_fileData;
    PreviewHost m_preview;
    ExportRunController m_run{*this};
    std::unique_ptr<OutputFolderChooser> m_folderChooser;
    bool m_isPlaying = false;
    bool m_isPlaySelectedCut = false;
    double m_selectStartPlayTime = 0;
    double m_placedStart = 0, m_placedStop = 0;
    QPointer<platform::TextField> m_edittingField;
    QPointer<platform::TextField> m_edittingItemField;

    QPointer<PNQView> m_contentBackgroundView, m_playerView, m_keybordTishiView, m_nofileBordView;
    QPointer<platform::TextField> m_scrLabel;
    QPointer<RDCutProgressView> m_cutprogressView;
    QPointer<RDProgressSlider> m_volumeSlider;
    QPointer<NSProgressView> m_exportProgressView;
    QPointer<PNQButton> m_merageTitleBtn;
    QPointer<PNQButton> m_volumeBtn, m_merageBtn, m_openOutputFolderBtn, m_updateFileAddBtn, m_addfileBtn;
    QPointer<PNQButton> m_startExportBtn, m_playOrpauseBtn, m_playOrpauseSelectBtn, m_selectedLeftBtn;
    QPointer<PNQButton> m_selectedRightBtn, m_cutStartBtn;
    QPointer<PNQButton> m_playpauseBtn, m_kuaituiBtn, m_kuaijinBtn;
    QPointer<TextLabel> m_currentTimeLabel, m_totalDurationLabel, m_durationValueLabel, m_durationLabel;
    QPointer<TextLabel> m_startTimeLabel, m_endTimeLabel, m_outputLabel, m_progressLabel,
        m_gettingStartedLabel;
    QPointer<TextLabel> m_controlkeybordLabel, m_playpauseLabel, m_controlmarksLabel;
    QList<QPointer<TextLabel>> m_descLabels;
    QPointer<platform::View> m_startTrimFieldBackV, m_stopTrimFieldBackV, m_outputFolderHost;
    TimeFieldGroup m_startGroup, m_stopGroup;
    QPointer<platform::Stepper> m_startStepper, m_stopStepper;
};
