#pragma once
// What the start/cancel/finish controller (ExportRunController) needs of a tool window: the start
// button, the progress bar, the controls to disable while an export runs, the window's one message
// routine and whether the window has closed. Tool windows implement it; tests implement it without a
// window. Main thread only.
#include <QString>

class NSProgressView;
class PNQButton;

class ExportRunHost
{
public:
    virtual ~ExportRunHost() = default;

    virtual NSProgressView *exportProgressView() const = 0;
    virtual PNQButton *startExportBtn() const = 0;
    // Disables the window's editing controls while an export runs (false) and brings them back (true).
    virtual void enableControlsForExport(bool enable) = 0;
    // The window's one message routine (tag 1 = the finish dialog, other tags a plain alert).
    virtual void showSimpleAlert(const QString &message, int tag, bool fromExportEnd) = 0;
    // True once the window has closed: nothing more is shown then.
    virtual bool isExportHostClosed() const = 0;
};
