#pragma once
// The splitter window: one source, cut into consecutive pieces, each written to a file of its own.
//
// The user adds a file (probe, facts, preview), picks a mode — every so many seconds (time pop-up), every
// so many megabytes (size pop-up), a number of equal parts (field and stepper), or points set by hand on
// the timeline — and presses the split button, which fills the timeline with that mode's markers; the
// start button then writes one file per piece through SplitExport, with overall progress, cancel and
// the finish dialog ("Splitfinishedstring"). Choosing a mode clears the markers; choosing a value does
// not (only the split button recomputes them), but the size limit always follows the size pop-up.
//
// The launcher creates it by class name ("SplitWindowController"); lifetime, messages and closing follow
// ToolWindowController (closing stops a running export and drops the preview). Main thread only.
#include "controls/RDProgressSlider.h"
#include "controls/RDRadioButton.h"
#include "platform/TextField.h"
#include "toolkit/ExportRunController.h"
#include "toolkit/ExportRunHost.h"
#include "toolkit/PreviewHost.h"
#include "toolkit/ToolWindowController.h"

#include <QPointer>
#include <QString>

#include <memory>
#include <optional>

class NSProgressView;
class OutputFolderChooser;
class PNQButton;
class PNQView;
class SimpleData;
class SplitProgressView;
class TextLabel;

namespace platform {
class PopUpButton;
class Stepper;
class View;
} // namespace platform

class SplitWindowController : public ToolWindowController,
                              public ExportRunHost,
                              public platform::TextFieldDelegate,
                              public RDProgressSliderDelegate,
                              public RDRadioButtonDelegate
{
    Q_OBJECT

public:
    enum class Mode { Time, Size, Average, Manual };

    explicit SplitWindowController(QObject *parent = nullptr);
    ~SplitWindowController() override;

    // Asks for a file and loads the first one chosen; a cancelled panel changes nothing.
    void addFileAction();
    // Probes and loads `path`: facts, preview, time mode. A refused file clears the source (false).
    bool loadFile(const QString &path);

    // The four modes (radio actions).
    void limiteachTimeSegmentAction();
    void limiteachFilesizeSegmentAction();
    void limiteachAverageSegmentAction();
    void limiteachManuallySegmentAction();
    Mode mode() const;

    // Value entry: the pop-ups (the last item asks for a custom value), the stepper and the field.
    void split_timepopAction(platform::PopUpButton &sender);
    void split_sizepopAction(platform::PopUpButton &sender);
    void averagesplitStepperAction();
    void controlTextDidChange(platform::TextField *field) override;
    // Asks for a value; the typed text, or nothing when cancelled.
    std::optional<QString> input(const QString &prompt, const QString &defaultValue);

    // The split button: the current mode's markers (manual mode keeps the hand-set ones).
    void splitAction();
    // The start button: starts a run, or cancels the running one.
    void startExportAction();

    // Manual mode: add a marker at the begin marker, select the previous / next one, delete the selected.
    void splitItemAction();
    void leftMoveAction();
    void rightMoveAction();
    void deletedItemAction();

    // Preview.
    void playAction();
    void pauseAction();
    void stopAction();
    void muteAction();

    // Switches every editing control on or off (not the add and start buttons).
    void enableEdit(bool on);
    // Hides the preview and shows the help (true), or the opposite.
    void hiddenPlayerView(bool hidden);

    void showSimpleAlert(const QString &message, int tag, bool fromExportEnd = false) override
    {
        ToolWindowController::showSimpleAlert(message, tag, fromExportEnd);
    }

    // ExportRunHost.
    NSProgressView *exportProgressView() const override { return m_exportProgressView; }
    PNQButton *startExportBtn() const override { return m_startExportBtn; }
    void enableControlsForExport(bool enable) override;
    bool isExportHostClosed() const override { return isClosed(); }

    // For the tests and the screenshot.
    const std::shared_ptr<SimpleData> &fileData() const { return m_fileData; }
    PreviewHost &preview() { return m_preview; }
    SplitProgressView *playerSlider() const { return m_playerSlider; }
    RDRadioButton *modeButton(Mode mode) const;
    platform::PopUpButton *split_timepopBtn() const { return m_split_timepopBtn; }
    platform::PopUpButton *split_sizepopBtn() const { return m_split_sizepopBtn; }
    platform::TextField *averageTextField() const { return m_averageTextField; }
    platform::Stepper *averagestepper() const { return m_averagestepper; }
    PNQButton *splitBtn() const { return m_splitBtn; }
    PNQButton *addfileBtn() const { return m_addfileBtn; }
    RDProgressSlider *volumeSlider() const { return m_volumeSlider; }
    TextLabel *totalTimeLabel() const { return m_totalTimeLabel; }
    OutputFolderChooser *folderChooser() const { return m_folderChooser.get(); }
    const ExportRunController &exportRun() const { return m_run; }

    // The value a pop-up's title carries (its first number; 0 without one).
    static double popUpValue(const platform::PopUpButton *popUp);

protected:
    std::unique_ptr<platform::Window> makeWindow() override;
    void windowDidLoad() override;
    void windowWillClose() override;
    QString finishedMessageKey() const override;
    QString outputFolder() const override;
    bool isExportRunning() const override { return m_run.isRunning(); }
    PNQButton *startButton() const override { return m_startExportBtn; }
    QString startButtonTitleKey() const override;

    void actionMouseUpForRDRadioButtonBlock(RDRadioButton *button) override;
    void actionMouseDownForProgressSliderBlock(RDProgressSlider *slider, float progress) override;
    void actionProgressForProgressSliderBlock(RDProgressSlider *slider, float progress) override;
    void actionMouseUpForProgressSliderBlock(RDProgressSlider *slider, float progress) override;

private:
    void buildViews();
    void buildModes();
    void buildPlayerBar();
    void buildOutputRow();
    // Selects `mode` and switches its controls on and the others off.
    void setMode(Mode mode, bool clearMarkers = true);
    void customEntry(platform::PopUpButton &popUp, const QString &promptKey, const QString &unitKey,
                     QString &lastValue);
    void initPlayer();
    void changePlaySlider();
    void seekToFraction(double fraction);
    void showTotalTime();
    void showSelectedSplitTime(float fraction);
    void setClipVolume(double volume);
    double duration() const { return m_preview.duration(); }

    std::shared_ptr<SimpleData> m_fileData;
    PreviewHost m_preview;
    ExportRunController m_run;
    std::unique_ptr<OutputFolderChooser> m_folderChooser;
    bool m_isPlaying = false;
    QString m_split_timepopTitle;
    QString m_split_filesizepopTitle;

    PNQView *m_contentBackGroundView = nullptr;
    PNQButton *m_addfileBtn = nullptr;
    platform::TextField *m_scrLabel = nullptr;
    PNQView *m_playerView = nullptr;
    PNQView *m_nofileBackView = nullptr;
    TextLabel *m_gettingstartedLabel = nullptr;
    TextLabel *m_descLabels[4] = {};
    TextLabel *m_sourceInformationLabel = nullptr;
    TextLabel *m_resolutionValueLabel = nullptr;
    TextLabel *m_resoucefilesizeValueLabel = nullptr;
    TextLabel *m_resouceTotaltimeValueLabel = nullptr;
    RDRadioButton *m_split_timeBtn = nullptr;
    RDRadioButton *m_split_sizeBtn = nullptr;
    RDRadioButton *m_split_averageBtn = nullptr;
    RDRadioButton *m_split_manuallyBtn = nullptr;
    platform::PopUpButton *m_split_timepopBtn = nullptr;
    platform::PopUpButton *m_split_sizepopBtn = nullptr;
    platform::TextField *m_averageTextField = nullptr;
    platform::Stepper *m_averagestepper = nullptr;
    PNQButton *m_splitBtn = nullptr;
    SplitProgressView *m_playerSlider = nullptr;
    TextLabel *m_playerCurrentTimeLabel = nullptr;
    TextLabel *m_splitTimeLabel = nullptr;
    TextLabel *m_totalTimeLabel = nullptr;
    PNQButton *m_playBtn = nullptr;
    PNQButton *m_pauseBtn = nullptr;
    PNQButton *m_volumeBtn = nullptr;
    RDProgressSlider *m_volumeSlider = nullptr;
    PNQButton *m_splitItemBtn = nullptr;
    PNQButton *m_leftMoveBtn = nullptr;
    PNQButton *m_rightMoveBtn = nullptr;
    PNQButton *m_deletedItemBtn = nullptr;
    TextLabel *m_outputLabel = nullptr;
    platform::View *m_outputPopHost = nullptr;
    PNQButton *m_openOutputBtn = nullptr;
    PNQButton *m_startExportBtn = nullptr;
    NSProgressView *m_exportProgressView = nullptr;
    TextLabel *m_exportProgresslabel = nullptr;
};
