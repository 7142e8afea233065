#pragma once
// What conversion and join jobs share: the stop flag that the main thread sets while Start runs on a
// worker, and the rule that a job runs once.
#include "engine/JobTable.h"

#include <atomic>
#include <functional>

namespace engine {

class EngineJob : public EngineObject
{
public:
    // Makes a running start() return MEDIA_ERR_STOPPED promptly and wakes blocked I/O. Any thread.
    void stop() { m_stop.store(true); }
    const std::atomic<bool> &stopFlag() const { return m_stop; }

protected:
    // `kind` names the job in log lines ("conversion", "join").
    explicit EngineJob(const char *kind) : m_kind(kind) {}

    // Runs `pipeline` the first time only, and only when the job is `ready` (MEDIA_ERR_ARGUMENT
    // otherwise). MEDIA_OK on success; a job stopped before or while it ran answers MEDIA_ERR_STOPPED.
    int runOnce(bool ready, const std::function<int()> &pipeline);

private:
    const char *m_kind;
    bool m_started = false;
    std::atomic<bool> m_stop{false};
};

} // namespace engine
