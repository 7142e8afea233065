#include "player/SilentAudioOutput.h"

#include <algorithm>

namespace player {

SilentAudioOutput::SilentAudioOutput() = default;

bool SilentAudioOutput::start()
{
    return true;
}

int64_t SilentAudioOutput::playedLocked() const
{
    if (m_paused)
        return m_playedBeforeResume;
    auto since = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - m_resumedAt);
    return m_playedBeforeResume + since.count();
}

void SilentAudioOutput::setPaused(bool paused)
{
    std::lock_guard lock(m_mutex);
    if (paused == m_paused)
        return;
    m_playedBeforeResume = playedLocked();
    m_resumedAt = Clock::now();
    m_paused = paused;
}

void SilentAudioOutput::write(const float *, int frames)
{
    std::lock_guard lock(m_mutex);
    // Samples written after the queue ran dry play from now, as a device would after an underrun.
    m_queuedEnd = std::max(m_queuedEnd, playedLocked()) + int64_t(frames) * 1000000 / kSampleRate;
}

void SilentAudioOutput::flush()
{
    std::lock_guard lock(m_mutex);
    m_queuedEnd = playedLocked();
}

int64_t SilentAudioOutput::playedUs() const
{
    std::lock_guard lock(m_mutex);
    return playedLocked();
}

int64_t SilentAudioOutput::bufferedUs() const
{
    std::lock_guard lock(m_mutex);
    return std::max<int64_t>(0, m_queuedEnd - playedLocked());
}

} // namespace player
