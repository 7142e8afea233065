#include "player/QtAudioOutput.h"

#include "platform/Log.h"
#include "player/SampleRingDevice.h"

#include <QAudioFormat>
#include <QAudioSink>

#include <algorithm>

namespace player {

std::unique_ptr<QtAudioOutput> QtAudioOutput::create(const QAudioDevice &device)
{
    QAudioFormat format;
    format.setSampleRate(kSampleRate);
    format.setChannelCount(kChannels);
    format.setSampleFormat(QAudioFormat::Float);
    bool int16 = false;
    if (!device.isFormatSupported(format)) {
        format.setSampleFormat(QAudioFormat::Int16);
        int16 = true;
        if (!device.isFormatSupported(format))
            return nullptr;
    }
    std::unique_ptr<QtAudioOutput> output(new QtAudioOutput);
    output->m_ring = std::make_unique<SampleRingDevice>(kChannels, int16);
    output->m_sink = std::make_unique<QAudioSink>(device, format);
    return output;
}

QtAudioOutput::~QtAudioOutput()
{
    if (m_sink)
        m_sink->stop();
}

bool QtAudioOutput::start()
{
    if (m_started)
        return true;
    m_ring->open(QIODevice::ReadOnly);
    m_sink->start(m_ring.get());
    if (m_sink->error() != QAudio::NoError) {
        platform::logWarning("player: the audio device refused to start (%d)", int(m_sink->error()));
        return false;
    }
    m_sink->suspend();
    const QAudioFormat format = m_sink->format();
    m_latencyUs = format.durationForBytes(m_sink->bufferSize());
    m_started = true;
    return true;
}

void QtAudioOutput::setPaused(bool paused)
{
    if (!m_started)
        return;
    if (paused)
        m_sink->suspend();
    else
        m_sink->resume();
}

void QtAudioOutput::write(const float *samples, int frames)
{
    m_ring->append(samples, frames);
}

void QtAudioOutput::flush()
{
    m_ring->clear();
}

int64_t QtAudioOutput::playedUs() const
{
    int64_t pulled = m_ring->framesRead() * 1000000 / kSampleRate;
    return std::max<int64_t>(0, pulled - m_latencyUs);
}

int64_t QtAudioOutput::bufferedUs() const
{
    return m_ring->framesQueued() * 1000000 / kSampleRate + m_latencyUs;
}

} // namespace player
