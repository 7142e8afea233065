#pragma once
// The join window: the user collects media files into an ordered clip list, trims each clip (keep or
// remove a range), sets its volume and the transition into the next clip, picks an output format and an
// output folder, and joins everything into one file.
//
// The launcher creates it by class name ("JoinnerWindowController") and shows it. Layout (bottom-left
// origin, fixed size W x H): the bottom strip holds the output folder, the progress bar and the start
// button; above it the output-format chooser; above that the clip list (left) and the preview with its
// trim panel (right). On a screen up to 780 points high the chooser folds to its header and the window
// is 140 points lower (it opens so, and the header unfolds it). With no clip the list is replaced by a
// getting-started panel and the editing controls are disabled (fileListViewHidden()).
//
// The clip list's items are the window's fileList() (shared with the list view). Every edit writes the
// selected clip at once; the join reads the clips when Start is clicked. While a join runs, adding files,
// the rows, their check boxes and transition pop-ups, the list buttons, the trim panel and the chooser
// are disabled (enableEdit(false)); Start then reads "Cancel".
//
// The join: the output titles of the chosen profile (or of the clip whose format box is ticked), the
// clips' pieces (JoinPlan), a free date-named file in the output folder ("(2)" when taken), one join
// step run by ExportRunController: the finish dialog with "Joinnerfinishedstring", "error:%d" on a
// failure, nothing on a cancel (which leaves no file). Closing cancels a running join and drops the
// preview. Main thread only.
#include "controls/NSProgressView.h"
#include "controls/PNQButton.h"
#include "controls/PNQView.h"
#include "controls/RDCutProgressView.h"
#include "controls/RDProgressSlider.h"
#include "controls/RDRadioButton.h"
#include "controls/RDTextField.h"
#include "controls/TextLabel.h"
#include "platform/PopUpButton.h"
#include "platform/TextField.h"
#include "toolkit/CaptureFormatPopUp.h"
#include "toolkit/ClipListEditor.h"
#include "toolkit/ExportRunHost.h"
#include "toolkit/JoinnerTableView.h"
#include "toolkit/OutputFormatChooser.h"
#include "toolkit/PreviewHost.h"
#include "toolkit/PreviewTransport.h"
#include "toolkit/ToolWindowController.h"
#include "toolkit/TrimPanel.h"

#include <QDateTime>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class EditorOutputSettings;
class ExportRunController;
class OutputFolderChooser;
class PNQImageView;
class SimpleData;

namespace platform {
class PopUpButton;
class Stepper;
class View;
class Window;
} // namespace platform

class JoinnerWindowController : public ToolWindowController,
                                public platform::TextFieldDelegate,
                                public RDTextFieldDelegate,
                                public RDCutProgressViewDelegate,
                                public RDProgressSliderDelegate,
                                public RDRadioButtonDelegate,
                                public ExportRunHost
{
    Q_OBJECT

public:
    static constexpr double windowWidth = 1120;
    static constexpr double windowHeight = 830;

    explicit JoinnerWindowController(QObject *parent = nullptr);
    ~JoinnerWindowController() override;

    // ---- clips ----
    // The add-file button: an open panel (several files, allowedFileTypes()), then addFiles().
    void addFileAction();
    static QStringList allowedFileTypes();
    // Probes `paths` in order, appends the accepted clips, names the refused files in one alert
    // ("nonsupportfilesstringValue" + "a.xyz,b.doc") and, when the list holds any clip, hands it to the
    // list view (row 0 selected, the preview rebuilt) and shows the list.
    void addFiles(const QStringList &paths);
    // The list buttons (their clicks queue these one turn later). Remove drops the selected clip, Clear
    // all, Up and Down move the selected clip, keeping it selected without rebuilding the preview.
    // Removing the clip whose format box is ticked releases the chooser as unticking does.
    void removeAction();
    void clearAction();
    void upAction();
    void downAction();
    // The sort pull-down: the clips by name or by length (ties keep their order); the selected clip stays
    // selected and its preview is kept.
    enum SortOrder { SortByName = 1, SortByDuration = 2 };
    void sortAction(int by);

    // true: the getting-started panel, editing controls disabled and the trim display zeroed;
    // false: the list and its buttons.
    void fileListViewHidden(bool hidden);
    // Everything the user could change while a join runs, on or off (the start button, the add button and
    // the output folder stay).
    void enableEdit(bool enable);

    // ---- preview and trim of the selected clip ----
    // (Re)builds the preview for the list's selected row (none for an empty list) and loads the clip's
    // range, mode and volume into the panel; a clip with no stop takes the player's duration.
    void initPlayer();
    void play();
    void pause();
    void stop();
    void playerDidEnd();
    // The selected clip's range back to the whole clip, keep mode (fields and mode follow).
    void resetCutterAction();
    // The selected clip's range, fitted to each other clip's length, and its mode, to every other clip.
    void applytoallAction();
    void setStartTrimBtnTouchUp();
    void setStopTrimBtnTouchUp();
    // The keep and remove radios: the radios, the bar's look and the selected clip's mode.
    void selectCurrentTimeRadioAction();
    void unSelectCurrentTimeRadioAction();
    void actionMouseUpForRDRadioButtonBlock(RDRadioButton *button) override;
    // The first click mutes the preview, the second restores the clip's volume.
    void muteAction();
    // Writes the shown frame into the output folder in the chosen format; the path, or empty (with the
    // "snapshotSaveFailedString" alert) on failure; nothing without a player.
    QString actionCarameraBtn();
    void coverstyleAction(int index);
    QString coverStyle() const { return m_coverStyle; }

    void actionMouseDownForTextFieldBlock(RDTextField *field) override;
    bool controlTextShouldEndEditing(platform::TextField *field) override;
    void touchUpStartStepper(platform::Stepper *stepper);
    void touchUpStopStepper(platform::Stepper *stepper);
    void actionMouseDownForCutProgressViewBlock(RDCutProgressView *bar, float progress) override;
    void actionMouseUpForCutProgressViewBlock(RDCutProgressView *bar, float progress) override;
    void actionSeekToTimeForCutProgressViewBlock(RDCutProgressView *bar, float progress) override;
    void actionMouseMovedForCutProgressViewBlock(RDCutProgressView *bar, float lower, float upper,
                                                 int64_t handleType) override;
    // The volume slider: the selected clip's volume is twice the slider's position.
    void actionProgressForProgressSliderBlock(RDProgressSlider *slider, float progress) override;
    void actionMouseUpForProgressSliderBlock(RDProgressSlider *slider, float progress) override;

    // ---- output ----
    // A clip's format box: ticked, the clip's own format becomes the output's and the chooser is
    // disabled; unticked (or null: the clip was removed, the list cleared), the chooser comes back with
    // the chosen profile's titles.
    void setdefaultFormat(const std::shared_ptr<SimpleData> &clip);
    // Starts a join, or cancels the running one.
    void startJoinnerAction();
    // The clock that names outputs and captures (local time by default).
    void setClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }
    QString outputPath() const;
    // The path the last join wrote (or was to write).
    QString lastOutputPath() const { return m_lastOutputPath; }
    bool convertstart() const;

    // ExportRunHost
    NSProgressView *exportProgressView() const override { return m_joinnerProgressView; }
    PNQButton *startExportBtn() const override { return m_startJoinnerBtn; }
    void enableControlsForExport(bool enable) override { enableEdit(enable); }
    void showSimpleAlert(const QString &message, int tag, bool fromExportEnd = false) override
    {
        ToolWindowController::showSimpleAlert(message, tag, fromExportEnd);
    }
    bool isExportHostClosed() const override { return isClosed(); }

    // ---- state and views ----
    const std::shared_ptr<JoinnerTableView::ItemList> &fileList() const { return m_list.items(); }
    std::shared_ptr<SimpleData> selectedClip() const;
    bool isPlaying() const { return m_transport.isPlaying(); }
    const std::shared_ptr<RDMoviePlayer> &rdPlayer() const { return m_preview.player(); }
    const PreviewHost &preview() const { return m_preview; }
    const TrimPanel &trimPanel() const { return m_trim; }
    JoinnerTableView *fileListTableView() const { return m_list.tableView(); }
    PNQButton *addfileBtn() const { return m_addfileBtn; }
    PNQButton *removeBtn() const { return m_list.removeBtn(); }
    PNQButton *clearBtn() const { return m_list.clearBtn(); }
    PNQButton *upBtn() const { return m_list.upBtn(); }
    PNQButton *downBtn() const { return m_list.downBtn(); }
    platform::PopUpButton *sortBtn() const { return m_sortBtn; }
    platform::View *contentNoFileView() const { return m_contentNoFileView; }
    PNQButton *emailIconView() const { return m_emailIconView; }
    PNQButton *playBtn() const { return m_playBtn; }
    PNQButton *stopBtn() const { return m_stopBtn; }
    PNQButton *cutCoverBtn() const { return m_cutCoverBtn; }
    PNQButton *volumeBtn() const { return m_volumeBtn; }
    PNQButton *applytoallBtn() const { return m_applytoallBtn; }
    PNQButton *resetCutterBtn() const { return m_resetCutterBtn; }
    PNQButton *startCutTimeBtn() const { return m_startCutTimeBtn; }
    PNQButton *stopCutTimeBtn() const { return m_stopCutTimeBtn; }
    RDRadioButton *selectTimeBtn() const { return m_selectTimeBtn; }
    RDRadioButton *unSelectTimeBtn() const { return m_unSelectTimeBtn; }
    platform::PopUpButton *coverStylePopBtn() const { return m_capturePopUp.popUp(); }
    PNQButton *cutcoverStyleBtn() const { return m_cutcoverStyleBtn; }
    RDProgressSlider *volumeSlider() const { return m_volumeSlider; }
    RDCutProgressView *cutProgressView() const { return m_cutProgressView; }
    TextLabel *cutDurationValueLabel() const { return m_cutDurationValueLabel; }
    TextLabel *leftTimeLabel() const { return m_leftTimeLabel; }
    TextLabel *rightTimeLabel() const { return m_rightTimeLabel; }
    NSProgressView *joinnerProgressView() const { return m_joinnerProgressView; }
    PNQButton *startJoinnerBtn() const { return m_startJoinnerBtn; }
    OutputFormatChooser *formatChooser() const { return m_formatChooser; }
    EditorOutputSettings *outputSettings() const { return m_outputSettings.get(); }
    OutputFolderChooser *folderChooser() const { return m_folderChooser.get(); }
    ExportRunController *exportRun() const { return m_exportRun.get(); }

protected:
    std::unique_ptr<platform::Window> makeWindow() override;
    void windowDidLoad() override;
    void windowWillClose() override;
    bool isExportRunning() const override { return convertstart(); }
    PNQButton *startButton() const override { return m_startJoinnerBtn; }
    QString finishedMessageKey() const override;
    QString outputFolder() const override { return outputPath(); }

private:
    void initContentNoFileView();
    void initListView();
    void initContentRightView();
    void initBottomView();
    // The chooser folded (the window 140 points lower, the panels down on the chooser's header) or
    // unfolded; on screens up to 780 points high the header toggles it, and such a screen opens folded.
    // The window stays whole on its screen: where the unfolded window would not fit, it grows less and
    // the list and preview panels are shorter.
    void foldChooser(bool folded);
    void setRadios(bool remove);
    void showClipRange();
    void showDuration();
    void takeTrimRange();
    void queue(void (JoinnerWindowController::*action)());
    double playerDuration() const;
    // The content's height (the window's less its header strip).
    double contentHeight() const;

    ClipListEditor m_list;
    QPointer<platform::View> m_content;
    QPointer<PNQButton> m_addfileBtn;
    QPointer<platform::View> m_contentNoFileView;
    QPointer<PNQButton> m_emailIconView;
    QPointer<platform::View> m_contentRightView;
    QPointer<platform::View> m_listPanel;
    QPointer<PNQView> m_playerView;
    QPointer<RDCutProgressView> m_cutProgressView;
    QPointer<TextLabel> m_leftTimeLabel, m_rightTimeLabel, m_cutDurationValueLabel;
    QPointer<PNQButton> m_playBtn, m_stopBtn, m_cutCoverBtn, m_cutcoverStyleBtn, m_volumeBtn, m_applytoallBtn;
    QPointer<PNQButton> m_startCutTimeBtn, m_stopCutTimeBtn, m_resetCutterBtn;
    QPointer<RDRadioButton> m_selectTimeBtn, m_unSelectTimeBtn;
    QPointer<platform::PopUpButton> m_sortBtn;
    CaptureFormatPopUp m_capturePopUp;
    QPointer<RDProgressSlider> m_volumeSlider;
    QPointer<platform::View> m_trimView;
    QPointer<NSProgressView> m_joinnerProgressView;
    QPointer<PNQButton> m_startJoinnerBtn, m_openOutputFolderBtn;
    QPointer<OutputFormatChooser> m_formatChooser;
    std::unique_ptr<EditorOutputSettings> m_outputSettings;
    std::unique_ptr<OutputFolderChooser> m_folderChooser;
    std::unique_ptr<ExportRunController> m_exportRun;
    PreviewHost m_preview;
    PreviewTransport m_transport{m_preview};
    TrimPanel m_trim;
    QString m_coverStyle = QStringLiteral("png");
    QString m_lastOutputPath;
    std::function<QDateTime()> m_clock;
};
