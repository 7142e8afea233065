#pragma once
// The editor's start button: starts the export of the loaded clip or, while one runs, cancels it; shows
// the progress and the end.
//
// Start: the trim fields give the cut range (hours x 3600 + minutes x 60 + seconds + hundredths / 100,
// in microseconds); a range whose stop is not after its start (both 0 = the whole clip, when keeping)
// and a deleted section that leaves nothing refuse with "showmessageTime3" and change nothing. Otherwise
// every edit setting is copied into the clip, the size estimate is made, the bar goes to 0, the preview
// pauses, the button reads "CancelexportTitle", the edit controls are disabled and the plain export
// (ClipExportJob) or the delete-section export (DeleteSectionExport) runs.
//
// Running, cancelling and the end are the toolkit's ExportRunController. Main thread only.
#include "toolkit/ExportRunController.h"

#include <array>

class EditorExportHost;
class PNQButton;

class EditorExportController
{
public:
    explicit EditorExportController(EditorExportHost &host);
    ~EditorExportController();
    EditorExportController(const EditorExportController &) = delete;
    EditorExportController &operator=(const EditorExportController &) = delete;

    void startExportAction(PNQButton *sender = nullptr);
    // An export is running (the cancel title is shown).
    bool convertstart() const { return m_run.isRunning(); }
    // The running job's chain (null when none), for the window's close and for tests.
    const ChainedExportJob *runningChain() const { return m_run.runningChain(); }

    // The cut range in microseconds from four trim fields.
    static double fieldsToMicroseconds(const std::array<int, 4> &fields);

private:
    bool start();

    EditorExportHost &m_host;
    ExportRunController m_run;
};
