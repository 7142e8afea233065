#pragma once
// The one way a tool drives the media engine: a chain of engine jobs (conversions and joins) run one
// after the other. For each job, on the main thread: `configure` creates and sets it up; then its
// blocking Start runs on a worker (platform::dispatchGlobal) while a repeating 0.2 s timer in the job's
// run-loop mode polls its progress; its result comes back to the main thread (platform::dispatchMain),
// where the job is closed, its handle zeroed, its timer stopped, and the next job is configured or the
// chain finishes. `finish` is called exactly once, on the main thread, with the outcome: a cancel always
// ends as Cancelled (whatever the engine then reports), a configure or start failure as Failed with its
// code and, where the step gave one, a message for the user (a Start that could not read its input
// names the step's input files).
//
// Steps may also be supplied as the run goes (the supplier is asked for the step at an index once the
// steps given are used up; the chain ends when it has none), and a step marked mayFail may fail without
// ending the chain: its failure is counted and the next step follows. A chain with such failures ends as
// Failed with the last failure's code and the count in `failures` (a cancel still ends as Cancelled).
//
// cancel() stops the running job at once; its completion follows as usual. Destroying the object while a
// job runs closes that job (the engine stops it and frees it when Start returns) and drops every callback
// still to come, so nothing runs on behalf of a closed window. Main thread only.
#include "platform/Timer.h"
#include "toolkit/EngineApi.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class ChainedExportJob
{
public:
    enum class Kind { Convert, Join };

    struct Outcome
    {
        enum Status { Succeeded, Failed, Cancelled };
        Status status = Succeeded;
        int code = MEDIA_OK; // the engine's result for a failure
        QString message;     // a text for the user; empty = show the code
        int failures = 0;    // steps marked mayFail that failed
    };

    // What a configure step reports: code > 0 (MEDIA_OK) goes on; anything else fails the chain with it.
    struct SetUp
    {
        int code = MEDIA_OK;
        QString message;
    };

    struct Step
    {
        Kind kind = Kind::Convert;
        platform::Timer::Mode pollMode = platform::Timer::Common;
        // Sets up the job just created (never a 0 handle).
        std::function<SetUp(MEDIA_HANDLE)> configure;
        // The job's progress in percent (0..100), at every poll.
        std::function<void(double percent)> progress;
        // After the job's Start succeeded, before it is closed: the place to read what the job reports
        // about itself (optional). It may append() further steps.
        std::function<void(MEDIA_HANDLE)> succeeded;
        // A failure of this step is counted and the chain goes on with the next step.
        bool mayFail = false;
        // The media files the step's job reads: when its Start fails with MEDIA_ERR_INPUT (a file that
        // cannot be read, or whose data ends before the length it promises), the message names them.
        QStringList inputs;
        // Called once the step's job has ended, or could not be created or set up: ok and the engine's
        // result (the set-up's code when it failed). Not called for a cancelled step.
        std::function<void(bool ok, int code)> ended;
    };

    // Fills `step` with the step at `index` and returns true, or returns false when there is none.
    using StepSupplier = std::function<bool(int index, Step &step)>;

    explicit ChainedExportJob(std::vector<Step> steps);
    // Every step comes from `supplier`, asked as the run reaches it.
    explicit ChainedExportJob(StepSupplier supplier);
    ~ChainedExportJob();
    ChainedExportJob(const ChainedExportJob &) = delete;
    ChainedExportJob &operator=(const ChainedExportJob &) = delete;

    // Runs the chain; returns at once (a set-up failure of the first job is reported through `finish`
    // on this same call). Call once.
    void start(std::function<void(const Outcome &)> finish);
    // Stops the running job; the chain then ends as Cancelled. Harmless when nothing runs.
    void cancel();
    // Adds a job at the end of the chain (before start, or from a step's `succeeded`).
    void append(Step step) { m_steps.push_back(std::move(step)); }
    int stepCount() const { return static_cast<int>(m_steps.size()); }

    bool isRunning() const { return m_running; }
    bool isCancelled() const { return m_cancelled; }
    // The handle of the job running now, 0 between jobs and after the end.
    MEDIA_HANDLE handle() const { return m_handle; }
    // The index of the job running now (or last run).
    int currentStep() const { return m_index; }
    // Steps marked mayFail that have failed so far.
    int failureCount() const { return m_failures; }

private:
    void runStep();
    void completed(int result);
    // The step at m_index failed with `code`: the chain goes on when it may fail, else it ends.
    void stepFailed(int code, const QString &message);
    void closeHandle();
    void stopTimer();
    void end(const Outcome &outcome);

    std::vector<Step> m_steps;
    StepSupplier m_supplier;
    EngineApi m_api;
    std::function<void(const Outcome &)> m_finish;
    std::shared_ptr<platform::Timer> m_timer;
    MEDIA_HANDLE m_handle = nullptr;
    int m_index = -1;
    int m_failures = 0;
    int m_lastFailure = MEDIA_OK;
    bool m_running = false;
    bool m_cancelled = false;
    // Lets completions that arrive after the object is gone see that it is gone.
    std::shared_ptr<ChainedExportJob *> m_alive;
};
