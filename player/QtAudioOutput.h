#pragma once
// Sound through QAudioSink on an audio device, pulling from a SampleRingDevice. The clock is the count
// of frames the sink has pulled, less what its own buffer still holds.
#include "player/AudioOutput.h"

#include <QAudioDevice>

#include <memory>

class QAudioSink;

namespace player {

class SampleRingDevice;

class QtAudioOutput : public AudioOutput
{
public:
    // An output on `device`, or null when the device takes neither float nor 16-bit samples at
    // kSampleRate and kChannels.
    static std::unique_ptr<QtAudioOutput> create(const QAudioDevice &device);
    ~QtAudioOutput() override;

    bool start() override;
    void setPaused(bool paused) override;
    void write(const float *samples, int frames) override;
    void flush() override;
    int64_t playedUs() const override;
    int64_t bufferedUs() const override;

private:
    QtAudioOutput() = default;

    std::unique_ptr<SampleRingDevice> m_ring;
    std::unique_ptr<QAudioSink> m_sink;
    int64_t m_latencyUs = 0;
    bool m_started = false;
};

} // namespace player
