#pragma once
// The batch cutter: many media files in one list, each with one time range that the export keeps or
// removes, and one output per file in the chosen output folder.
//
// The window shows a help panel until files are added (addFileAction: the open panel, the one probe, one
// alert naming every refused file; an add in which every file is refused keeps the help panel). The list
// (JoinnerTableView without format box and transitions) has Remove, Clear, Up and Down; selecting a row
// loads that file into the preview and the range controls (time fields with steppers, the range bar,
// "[" / "]" at the playhead, the keep/remove radios). Every edit writes the selected file's range at
// once. Apply-to-all gives every other file the range shown on the bar, fitted to its length (a range
// longer than a file takes the whole file; one running past a file's end keeps its length and ends
// there); reset gives the selected file the whole file, kept.
//
// Start exports the files in list order through one chained export (files added meanwhile are exported
// too); a file that fails does not stop the others, and the end shows one alert naming each failed file
// with its "error:%d", or the finished dialog when all succeeded. Start again cancels: nothing is shown
// and the running file leaves no partial output. Main thread only.
#include "controls/NSProgressView.h"
#include "controls/PNQButton.h"
#include "controls/PNQView.h"
#include "controls/RDCutProgressView.h"
#include "controls/RDProgressSlider.h"
#include "controls/RDRadioButton.h"
#include "controls/RDTextField.h"
#include "controls/TextLabel.h"
#include "platform/TextField.h"
#include "toolkit/CaptureFormatPopUp.h"
#include "toolkit/ClipListEditor.h"
#include "toolkit/ExportRunController.h"
#include "toolkit/ExportRunHost.h"
#include "toolkit/JoinnerTableView.h"
#include "toolkit/PreviewHost.h"
#include "toolkit/PreviewTransport.h"
#include "toolkit/ToolWindowController.h"
#include "toolkit/TrimPanel.h"

#include <QDateTime>
#include <QMap>
#include <QPointer>

#include <functional>
#include <memory>

class OutputFolderChooser;
class SimpleData;
namespace platform {
class PopUpButton;
class View;
} // namespace platform

class BatchCutterWindowController : public ToolWindowController,
                                    public ExportRunHost,
                                    public RDCutProgressViewDelegate,
                                    public RDProgressSliderDelegate,
                                    public RDRadioButtonDelegate,
                                    public RDTextFieldDelegate,
                                    public platform::TextFieldDelegate
{
    Q_OBJECT

public:
    explicit BatchCutterWindowController(QObject *parent = nullptr);
    ~BatchCutterWindowController() override;

    // Adding: runs the open panel, probes the chosen files into the list.
    void addFileAction();
    // Probes `paths` into the list (the add action after its panel).
    void addFiles(const QStringList &paths);

    // The list buttons.
    void removeAction();
    void clearAction();
    void upAction();
    void downAction();
    // Switches between the help panel (true) and the list (false).
    void fileListViewHidden(bool hidden);
    void enableEdit(bool enable);

    // The range commands.
    void applytoallItemAction();
    void resetCutterItemAction();
    // The keep / remove radios.
    void selectCurrentTimeRadioAction();
    void unSelectCurrentTimeRadioAction();
    // Start or stop at the playhead.
    void setStartTrimBtnTouchUp();
    void setStopTrimBtnTouchUp();

    // Reloads the preview and the range controls for the selected file.
    void initPlayer();
    void play();
    void pause();
    void stop();
    // Writes the shown frame into the output folder; returns the path written (empty on failure).
    QString actionCarameraBtn();
    void coverstyleAction(int index);

    // Start, or cancel while a batch runs.
    void startBachCutterAction();
    bool convertstart() const { return m_run && m_run->isRunning(); }
    const ChainedExportJob *runningChain() const { return m_run ? m_run->runningChain() : nullptr; }

    // The selected file, null when the list is empty.
    std::shared_ptr<SimpleData> selectedClip() const;
    const std::shared_ptr<QList<std::shared_ptr<SimpleData>>> &fileList() const { return m_list.items(); }
    QString outputPath() const;

    // Controls, for tests and screenshots.
    JoinnerTableView *fileListTableView() const { return m_list.tableView(); }
    PNQButton *removeBtn() const { return m_list.removeBtn(); }
    PNQButton *clearBtn() const { return m_list.clearBtn(); }
    PNQButton *upBtn() const { return m_list.upBtn(); }
    PNQButton *downBtn() const { return m_list.downBtn(); }
    RDCutProgressView *cutProgressView() const { return m_cutProgressView; }
    PNQButton *playBtn() const { return m_playBtn; }
    PNQButton *stopBtn() const { return m_stopBtn; }
    TextLabel *leftTimeLabel() const { return m_leftTimeLabel; }
    RDRadioButton *selectTimeBtn() const { return m_selectTimeBtn; }
    RDRadioButton *unSelectTimeBtn() const { return m_unSelectTimeBtn; }
    PNQButton *startJoinnerBtn() const { return m_startJoinnerBtn; }
    NSProgressView *joinnerProgressView() const { return m_joinnerProgressView; }
    platform::View *contentNoFileView() const { return m_contentNoFileView; }
    PNQButton *cutcoverStyleBtn() const { return m_cutcoverStyleBtn; }
    PNQButton *volumeBtn() const { return m_volumeBtn; }
    RDProgressSlider *volumeSlider() const { return m_volumeSlider; }
    platform::PopUpButton *coverStylePopBtn() const { return m_capturePopUp.popUp(); }
    QString coverStyle() const { return m_coverStyle; }
    TrimPanel &trim() { return m_trim; }
    PreviewHost &preview() { return m_preview; }
    OutputFolderChooser *folderChooser() const { return m_folderChooser.get(); }
    // The clock of frame captures (tests fix it).
    void setSnapshotClock(std::function<QDateTime()> clock) { m_snapshotClock = std::move(clock); }

    // ExportRunHost.
    NSProgressView *exportProgressView() const override { return m_joinnerProgressView; }
    PNQButton *startExportBtn() const override { return m_startJoinnerBtn; }
    void enableControlsForExport(bool enable) override { enableEdit(enable); }
    void showSimpleAlert(const QString &message, int tag, bool fromExportEnd = false) override;
    bool isExportHostClosed() const override { return isClosed(); }

    // The range bar.
    void actionMouseDownForCutProgressViewBlock(RDCutProgressView *view, float progress) override;
    void actionMouseUpForCutProgressViewBlock(RDCutProgressView *view, float progress) override;
    void actionSeekToTimeForCutProgressViewBlock(RDCutProgressView *view, float progress) override;
    void actionMouseMovedForCutProgressViewBlock(RDCutProgressView *view, float start, float stop,
                                                 int64_t handleType) override;
    // The volume slider.
    void actionProgressForProgressSliderBlock(RDProgressSlider *slider, float progress) override;
    void actionMouseUpForProgressSliderBlock(RDProgressSlider *slider, float progress) override;
    // The radios.
    void actionMouseUpForRDRadioButtonBlock(RDRadioButton *button) override;
    // The time fields.
    void actionMouseDownForTextFieldBlock(RDTextField *field) override;
    bool controlTextShouldEndEditing(platform::TextField *field) override;

protected:
    std::unique_ptr<platform::Window> makeWindow() override;
    void windowDidLoad() override;
    void windowWillClose() override;
    bool isExportRunning() const override { return convertstart(); }
    PNQButton *startButton() const override { return m_startJoinnerBtn; }
    QString startButtonTitleKey() const override;
    QString finishedMessageKey() const override;
    QString outputFolder() const override { return outputPath(); }

private:
    void buildViews();
    void initContentNoFileView(platform::View *left);
    void initContentRightBottomView(platform::View *right);
    PNQButton *makeButton(const platform::Rect &frame, QWidget *parent, const QString &title,
                          std::function<void()> action);
    // The selected file's range from the trim panel's.
    void storeRange();
    void showRangeOf(const SimpleData &clip);
    void showSteppedRange();
    void showDurationLabel();
    void setRadios(bool remove);
    void playerDidEnd();
    // After the list was rebuilt: the bars of the files exporting now, the row `current` selected.
    void showExportRows(int64_t current);

    ClipListEditor m_list;
    // The rows exporting now (files run side by side) and their progress, 0..1.
    QMap<int64_t, float> m_exportRows;
    QPointer<platform::View> m_contentNoFileView;
    QPointer<PNQButton> m_addfileBtn;
    QPointer<PNQButton> m_playBtn, m_stopBtn, m_cutCoverBtn, m_cutcoverStyleBtn, m_volumeBtn;
    QPointer<PNQButton> m_startCutTimeBtn, m_stopCutTimeBtn, m_resetCutterBtn, m_applytoallBtn;
    QPointer<PNQButton> m_startJoinnerBtn, m_openOutputFolderBtn;
    CaptureFormatPopUp m_capturePopUp;
    QPointer<RDProgressSlider> m_volumeSlider;
    QPointer<RDRadioButton> m_selectTimeBtn, m_unSelectTimeBtn;
    QPointer<RDCutProgressView> m_cutProgressView;
    QPointer<PNQView> m_playerView;
    QPointer<TextLabel> m_leftTimeLabel, m_rightTimeLabel, m_cutDurationValueLabel;
    QPointer<NSProgressView> m_joinnerProgressView;
    std::unique_ptr<OutputFolderChooser> m_folderChooser;
    std::unique_ptr<ExportRunController> m_run;
    PreviewHost m_preview;
    PreviewTransport m_transport{m_preview};
    TrimPanel m_trim;
    QString m_coverStyle;
    std::function<QDateTime()> m_snapshotClock;
};
