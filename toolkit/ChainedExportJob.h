#pragma once
// The one way a tool drives the media engine: a chain of engine jobs (conversions and joins) run one
// after the other. For each job, on the main thread: `configure` creates and sets it up; then its
// blocking Start runs on a worker (platform::dispatchGlobal) while a repeating 0.2 s timer in the job's
// run-loop mode polls its progress; its result comes back to the main thread (platform::dispatchMain),
// where the job is closed, its handle zeroed, its timer stopped, and the next job is configured or the
// chain finishes. `finish` is called exactly once, on the main thread, with the outcome: a cancel always
// ends as Cancelled (whatever the engine then reports), a configure or start failure as Failed with its
// code and, where the step gave one, a message for the user.
//
// cancel() stops the running job at once; its completion follows as usual. Destroying the object while a
// job runs closes that job (the engine stops it and frees it when Start returns) and drops every callback
// still to come, so nothing runs on behalf of a closed window. Main thread only.
#include "toolkit/EngineApi.h"
#include "platform/Timer.h"

#include <QString>

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
    };

    explicit ChainedExportJob(std::vector<Step> steps);
    ~ChainedExportJob();
    ChainedExportJob(const ChainedExportJob &) = delete;
    ChainedExportJob &operator=(const ChainedExportJob &) = delete;

    // Runs the chain; returns at once (a set-up failure of the first job is reported through `finish`
    // on this same call). Call once.
    void start(std::function<void(const Outcome &)> finish);
    // Stops the running job; the chain then ends as Cancelled. Harmless when nothing runs.
    void cancel();

    bool isRunning() const { return m_running; }
    bool isCancelled() const { return m_cancelled; }
    // The handle of the job running now, 0 between jobs and after the end.
    MEDIA_HANDLE handle() const { return m_handle; }
    // The index of the job running now (or last run).
    int currentStep() const { return m_index; }

private:
    void runStep();
    void completed(int result);
    void closeHandle();
    void stopTimer();
    void end(const Outcome &outcome);

    std::vector<Step> m_steps;
    EngineApi m_api;
    std::function<void(const Outcome &)> m_finish;
    std::shared_ptr<platform::Timer> m_timer;
    MEDIA_HANDLE m_handle = nullptr;
    int m_index = -1;
    bool m_running = false;
    bool m_cancelled = false;
    // Lets completions that arrive after the object is gone see that it is gone.
    std::shared_ptr<ChainedExportJob *> m_alive;
};
