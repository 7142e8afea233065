#pragma once
// The pull side of the sound: a QIODevice that QAudioSink reads from, fed with float samples by the
// player's thread. A read that finds too little data is topped up with silence, so the sink never
// stops and the count of frames read (the clock) keeps running.
#include <QIODevice>

#include <atomic>
#include <deque>
#include <mutex>

namespace player {

class SampleRingDevice : public QIODevice
{
    Q_OBJECT

public:
    // `int16` makes reads deliver signed 16-bit samples instead of floats.
    SampleRingDevice(int channels, bool int16, QObject *parent = nullptr);

    void append(const float *samples, int frames);
    void clear();
    // Frames handed to the sink so far, silence included.
    int64_t framesRead() const { return m_framesRead.load(); }
    int64_t framesQueued() const;

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 size) override;

private:
    int m_channels;
    bool m_int16;
    mutable std::mutex m_mutex;
    std::deque<float> m_samples;
    std::atomic<int64_t> m_framesRead{0};
};

} // namespace player
