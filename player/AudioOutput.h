#pragma once
// Where the player's sound goes, and the clock the picture follows.
//
// The player writes interleaved float samples (kSampleRate, kChannels) from its own thread; the output
// plays them in order and counts how much it has played, silence included: when it runs dry it plays
// silence and keeps counting, so its clock never stalls. playedUs() is that clock.
//
// Threads: start(), setPaused() and the destructor on the thread that made the output (the main
// thread); write(), flush(), playedUs() and bufferedUs() from any thread.
#include <cstdint>
#include <functional>
#include <memory>

namespace player {

class AudioOutput
{
public:
    static constexpr int kSampleRate = 48000;
    static constexpr int kChannels = 2;

    virtual ~AudioOutput() = default;

    // Begins playing (paused until setPaused(false)). False when the device refuses.
    virtual bool start() = 0;
    // A paused output plays nothing and its clock stands still.
    virtual void setPaused(bool paused) = 0;
    // Queues `frames` frames of kChannels interleaved samples (full scale = 1).
    virtual void write(const float *samples, int frames) = 0;
    // Drops everything queued and not yet played (the clock keeps its value).
    virtual void flush() = 0;
    // Microseconds played since start, silence included.
    virtual int64_t playedUs() const = 0;
    // Microseconds queued and not yet played.
    virtual int64_t bufferedUs() const = 0;

    // The default output: the system's default audio device, or a silent wall clock when there is none
    // (or the device refuses the format).
    static std::unique_ptr<AudioOutput> createDefault();

    // Replaces createDefault() for the players made from now on (null restores it): for tests that
    // must run without a device, and to measure what the player hands to its output.
    using Factory = std::function<std::unique_ptr<AudioOutput>()>;
    static void setFactory(Factory factory);
    static std::unique_ptr<AudioOutput> create();
};

} // namespace player
