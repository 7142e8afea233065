#pragma once
// A tool window's start button while an export runs: one running flag, the button's caption, the
// progress bar and the end.
//
// begin(): the bar goes to 0, the flag is set, the button reads "CancelexportTitle", the host's
// controls are disabled, and `launch` starts the export with a progress callback (0..1 of the bar) and
// a finish callback; it returns the running export (null = nothing started: everything comes back at
// once). End: the controls come back, the bar goes to 1 on success and back to 0 otherwise, the button reads
// again the title it had when the run began (the window's own; "Start" when it had none); a success shows the finish dialog (tag 1), a
// failure its message or "error:%d" with the engine's code once (tag 2), a cancel nothing. cancel(): the
// export is stopped, the controls come back at once, the bar goes back to 0 (a cancelled export never shows
// as complete) and the button reads its own title again. Nothing is shown once the window has closed, and no
// callback reaches a destroyed controller. Destroying the controller stops a running export. Main thread
// only.
#include "toolkit/ChainedExportJob.h"

#include <QString>

#include <functional>
#include <memory>

class ExportRunHost;

class ExportRunController
{
public:
    using Progress = std::function<void(double value)>;
    using Finish = std::function<void(const ChainedExportJob::Outcome &outcome)>;

    // A started export as the controller sees it: something to stop and the chain that runs it.
    class Run
    {
    public:
        virtual ~Run() = default;
        virtual void cancel() = 0;
        virtual const ChainedExportJob *chain() const = 0;
    };
    using Launch = std::function<std::unique_ptr<Run>(Progress progress, Finish finish)>;

    explicit ExportRunController(ExportRunHost &host);
    ~ExportRunController();
    ExportRunController(const ExportRunController &) = delete;
    ExportRunController &operator=(const ExportRunController &) = delete;

    void begin(const Launch &launch);
    void cancel();
    // An export is running (the cancel title is shown).
    bool isRunning() const { return m_running; }
    // The running export's chain (null when none), for the window's close and for tests.
    const ChainedExportJob *runningChain() const { return m_run ? m_run->chain() : nullptr; }

    // Starts `job` and wraps it as a Run (the common case: one chain).
    static std::unique_ptr<Run> startChain(std::unique_ptr<ChainedExportJob> job, Finish finish);

private:
    void setProgress(double value);
    void finished(const ChainedExportJob::Outcome &outcome);
    void restore();

    ExportRunHost &m_host;
    bool m_running = false;
    bool m_cancelled = false;
    // The start button's title when the run began (empty before the first run).
    QString m_idleTitle;
    std::unique_ptr<Run> m_run;
    std::shared_ptr<ExportRunController *> m_alive;
};
