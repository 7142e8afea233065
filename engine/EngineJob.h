#pragma once
// What conversion and join jobs share: the stop flag that the main thread sets while Start runs on a
// worker, and the rule that a job runs once.
#include "engine/DeferredRelease.h"
#include "engine/JobTable.h"

#include <atomic>
#include <functional>
#include <memory>

namespace engine {

class EngineJob : public EngineObject
{
public:
    // Gives the job's memory back to the system (see ProcessMemory).
    ~EngineJob() override;

    // Makes a running start() return MEDIA_ERR_STOPPED promptly and wakes blocked I/O. Any thread.
    void stop() { m_stop.store(true); }
    const std::atomic<bool> &stopFlag() const { return m_stop; }

protected:
    // `kind` names the job in log lines ("conversion", "join").
    explicit EngineJob(const char *kind) : m_kind(kind) {}

    // Runs `pipeline` the first time only, and only when the job is `ready` (MEDIA_ERR_ARGUMENT
    // otherwise). MEDIA_OK on success; a job stopped before or while it ran answers MEDIA_ERR_STOPPED.
    int runOnce(bool ready, const std::function<int()> &pipeline);

    // runOnce() for a pipeline object (run(), discardOutput()). A stopped one removes its temporary
    // output at once and is freed on the release thread: Start does not wait for its encoders' and
    // decoders' worker threads to close.
    template <class Pipeline> int runPipelineOnce(bool ready, std::unique_ptr<Pipeline> pipeline)
    {
        return runOnce(ready, [&] {
            int result = pipeline->run();
            if (m_stop) {
                pipeline->discardOutput();
                DeferredRelease::release(std::move(pipeline));
            }
            return result;
        });
    }

private:
    const char *m_kind;
    bool m_started = false;
    std::atomic<bool> m_stop{false};
};

} // namespace engine
