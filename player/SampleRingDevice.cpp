#include "player/SampleRingDevice.h"

#include <algorithm>
#include <cstring>

namespace player {

SampleRingDevice::SampleRingDevice(int channels, bool int16, QObject *parent)
    : QIODevice(parent), m_channels(channels), m_int16(int16)
{
}

void SampleRingDevice::append(const float *samples, int frames)
{
    std::lock_guard lock(m_mutex);
    m_samples.insert(m_samples.end(), samples, samples + size_t(frames) * m_channels);
}

void SampleRingDevice::clear()
{
    std::lock_guard lock(m_mutex);
    m_samples.clear();
}

int64_t SampleRingDevice::framesQueued() const
{
    std::lock_guard lock(m_mutex);
    return int64_t(m_samples.size()) / m_channels;
}

qint64 SampleRingDevice::bytesAvailable() const
{
    // Always enough: what is missing is played as silence.
    return (1 << 20) + QIODevice::bytesAvailable();
}

qint64 SampleRingDevice::readData(char *data, qint64 maxSize)
{
    const int sampleBytes = m_int16 ? 2 : 4;
    const qint64 frameBytes = qint64(sampleBytes) * m_channels;
    const qint64 frames = maxSize / frameBytes;
    const size_t wanted = size_t(frames) * m_channels;
    std::lock_guard lock(m_mutex);
    size_t available = std::min(wanted, m_samples.size());
    for (size_t i = 0; i < available; ++i) {
        float s = m_samples[i];
        if (m_int16) {
            auto v = int16_t(std::clamp(s, -1.0f, 1.0f) * 32767.0f);
            std::memcpy(data + i * 2, &v, 2);
        } else {
            std::memcpy(data + i * 4, &s, 4);
        }
    }
    m_samples.erase(m_samples.begin(), m_samples.begin() + std::ptrdiff_t(available));
    std::memset(data + available * sampleBytes, 0, (wanted - available) * sampleBytes);
    m_framesRead += frames;
    return frames * frameBytes;
}

qint64 SampleRingDevice::writeData(const char *, qint64)
{
    return -1;
}

} // namespace player
