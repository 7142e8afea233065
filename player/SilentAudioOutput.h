#pragma once
// An output with no device: samples are taken and forgotten, and the clock is the wall clock while not
// paused. Lets the player keep time headless.
#include "player/AudioOutput.h"

#include <chrono>
#include <mutex>

namespace player {

class SilentAudioOutput : public AudioOutput
{
public:
    SilentAudioOutput();

    bool start() override;
    void setPaused(bool paused) override;
    void write(const float *samples, int frames) override;
    void flush() override;
    int64_t playedUs() const override;
    int64_t bufferedUs() const override;

private:
    using Clock = std::chrono::steady_clock;
    int64_t playedLocked() const;

    mutable std::mutex m_mutex;
    bool m_paused = true;
    int64_t m_playedBeforeResume = 0; // microseconds played up to the last pause
    Clock::time_point m_resumedAt;
    int64_t m_queuedEnd = 0; // where the queued samples end on the played axis
};

} // namespace player
