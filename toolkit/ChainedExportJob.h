#pragma once
// The one way a tool drives the media engine: a chain of engine jobs (conversions and joins), started in
// their order. For each job, on the main thread: `configure` creates and sets it up; then its blocking
// Start runs on a worker (platform::dispatchGlobal) while a repeating 0.2 s timer in the job's run-loop
// mode polls its progress; its result comes back to the main thread (platform::dispatchMain), where the
// job is closed, its timer stopped, and the next job is configured or the chain finishes. `finish` is
// called exactly once, on the main thread, once no job runs any more, with the outcome: a cancel always
// ends as Cancelled (whatever the engine then reports), a configure or start failure as Failed with its
// code and, where the step gave one, a message for the user (a Start that could not read its input
// names the step's input files). A join whose Start fails logs "errorcode:%d" with the engine's result.
//
// Side by side: a step marked `parallel` may start while the step before it still runs, when that one
// is marked too and the machine has idle cores to spare (apiMediaIdleCores at least
// kIdleCoresForASecondJob, asked when a job ends and at every poll): at most kMostAtOnce jobs at once,
// always started in step order. A step not marked runs alone. Outputs named at set-up must therefore not
// count on the files of earlier steps being written yet (OutputNaming's reservations).
//
// Steps may also be supplied as the run goes (the supplier is asked for the step at an index once the
// steps given are used up, when a job could start; after a "none" while jobs run it is asked again at
// their polls and ends; the chain ends when nothing runs and it has none), and a step marked mayFail may
// fail without ending the chain: its failure is counted and the chain goes on. A chain with such
// failures ends as Failed with the last failure's code and the count in `failures` (a cancel still ends
// as Cancelled). A step that may not fail ends the chain with its failure (the first such): the jobs
// running beside it are stopped (the engine leaves no file of a stopped job), report no `ended`, like
// cancelled ones, and their results are not reported; outputs that other steps finished stay.
//
// cancel() stops every running job at once; their completions follow as usual. Destroying the object
// while jobs run closes them (the engine stops each and frees it when its Start returns) and drops every
// callback still to come, so nothing runs on behalf of a closed window. Main thread only.
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

    // Jobs running at once, at most.
    static constexpr int kMostAtOnce = 2;
    // A second job starts only beside this many idle cores: one to read and copy, one to encode seams.
    static constexpr int kIdleCoresForASecondJob = 2;

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
        // Independent of the steps around it (reads nothing they write, needs nothing they report): it
        // may run beside another step so marked.
        bool parallel = false;
        // The media files the step's job reads: when its Start fails with MEDIA_ERR_INPUT (a file that
        // cannot be read, or whose data ends before the length it promises), the message names them.
        QStringList inputs;
        // Called once the step's job has ended, or could not be created or set up: ok and the engine's
        // result (the set-up's code when it failed). Called as jobs end, so side by side not always in
        // step order. Not called for a cancelled step, nor for one stopped by another's failure.
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
    // Stops every running job; the chain then ends as Cancelled. Harmless when nothing runs.
    void cancel();
    // Adds a job at the end of the chain (before start, or from a step's `succeeded`).
    void append(Step step) { m_steps.push_back(std::move(step)); }
    int stepCount() const { return static_cast<int>(m_steps.size()); }

    bool isRunning() const { return m_running; }
    bool isCancelled() const { return m_cancelled; }
    // The handle of the earliest step running now, 0 when none runs.
    MEDIA_HANDLE handle() const { return m_lanes.empty() ? nullptr : m_lanes.front().handle; }
    // The index of the step started last (or -1 before the first).
    int currentStep() const { return m_next - 1; }
    // The indices of the steps running now, ascending.
    std::vector<int> runningSteps() const;
    // Steps' worth of work done: one for each step that has ended (either way), plus the polled fraction
    // of each running one. Never decreases during a run: divided by the step count, the overall progress.
    double stepsDone() const;
    // Steps marked mayFail that have failed so far.
    int failureCount() const { return m_failures; }

private:
    // A running job.
    struct Lane
    {
        int index = 0;
        MEDIA_HANDLE handle = nullptr;
        std::shared_ptr<platform::Timer> timer;
        double fraction = 0;
    };

    // Starts the next steps while they may start; ends the chain when nothing is left to run.
    void launch();
    // The step at `index`, asking the supplier when the given ones are used up; null when there is none.
    const Step *stepAt(int index);
    // Creates, sets up and starts the step at `index`; false when it could not.
    bool startStep(int index);
    // The running job of `handle`, or m_lanes.end().
    std::vector<Lane>::iterator laneOf(MEDIA_HANDLE handle);
    void completed(MEDIA_HANDLE handle, int result);
    void poll(MEDIA_HANDLE handle);
    // The step at `index` failed with `code`: counted when it may fail, else the chain is failing.
    void stepFailed(int index, int code, const QString &message);
    void stopAll();
    void close(int index, MEDIA_HANDLE handle);
    void end(Outcome outcome);

    std::vector<Step> m_steps;
    StepSupplier m_supplier;
    EngineApi m_api;
    std::function<void(const Outcome &)> m_finish;
    std::vector<Lane> m_lanes; // in step order
    int m_next = 0;            // the next step to start
    int m_stepsEnded = 0;
    int m_failures = 0;
    int m_lastFailure = MEDIA_OK;
    bool m_running = false;
    bool m_cancelled = false;
    bool m_launching = false;
    // Set by a failure that ends the chain; finished once the other jobs are back.
    std::unique_ptr<Outcome> m_failure;
    // Lets completions that arrive after the object is gone see that it is gone.
    std::shared_ptr<ChainedExportJob *> m_alive;
};
