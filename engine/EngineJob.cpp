#include "engine/EngineJob.h"

#include "engine/EngineLog.h"
#include "engine/ProcessMemory.h"

namespace engine {

EngineJob::~EngineJob()
{
    // The job's own members (its probe, settings) are gone by now; its pipeline went when Start ended.
    ProcessMemory::giveBackSoon();
}

int EngineJob::runOnce(bool ready, const std::function<int()> &pipeline)
{
    if (m_started) {
        engineLog("a %s job runs only once", m_kind);
        return MEDIA_ERR_ARGUMENT;
    }
    m_started = true;
    if (!ready) {
        engineLog("the %s job needs its input and an output path before it starts", m_kind);
        return MEDIA_ERR_ARGUMENT;
    }
    int result = m_stop ? MEDIA_ERR_STOPPED : pipeline();
    if (m_stop && result < 0)
        result = MEDIA_ERR_STOPPED;
    if (result == MEDIA_ERR_STOPPED)
        engineTrace("the %s job stopped", m_kind);
    return result > 0 ? MEDIA_OK : result;
}

} // namespace engine
