#include "engine/SeamEncoder.h"

#include "engine/AvcConfiguration.h"
#include "engine/EngineLog.h"

#include <chrono>

namespace engine {

namespace {

// Pictures waiting for the encoder: few, so that the decoder's pool of pictures stays small (a 1080p
// picture is 3 MB). Measured on a 1080p cut: two are as fast as four, with 6 MB less at the peak.
constexpr size_t kQueued = 2;

} // namespace

SeamEncoder::SeamEncoder(Encoder encoder, int nalLength)
    : m_encoder(std::move(encoder)), m_nalLength(nalLength), m_thread([this] { run(); })
{
}

SeamEncoder::~SeamEncoder()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

int SeamEncoder::push(AVFrame *frame)
{
    FramePtr queued;
    if (frame) {
        queued = makeFrame();
        if (!queued)
            return MEDIA_ERR_NO_MEMORY;
        av_frame_move_ref(queued.get(), frame);
    }
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_frames.size() < kQueued || m_error < 0; });
    if (m_error < 0)
        return m_error;
    m_frames.push_back(std::move(queued));
    ++m_pushed;
    lock.unlock();
    m_changed.notify_all();
    return MEDIA_OK;
}

int SeamEncoder::writeReady(const WriteFunction &write)
{
    return this->write(write, false);
}

int SeamEncoder::writeAll(const WriteFunction &write)
{
    return this->write(write, true);
}

int SeamEncoder::write(const WriteFunction &write, bool wait)
{
    while (true) {
        std::unique_lock lock(m_mutex);
        if (wait)
            m_changed.wait(lock,
                           [this] { return m_encoded == m_pushed || m_error < 0 || !m_packets.empty(); });
        if (m_packets.empty()) {
            if (m_error < 0)
                return m_error;
            if (!wait || m_encoded == m_pushed)
                return MEDIA_OK;
            continue;
        }
        PacketPtr packet = std::move(m_packets.front());
        m_packets.pop_front();
        lock.unlock();
        // Written on the caller's thread: the muxer is its own.
        if (int r = write(packet.get()); r < 0)
            return r;
    }
}

bool SeamEncoder::finished() const
{
    std::lock_guard lock(m_mutex);
    return m_encoded == m_pushed && m_packets.empty();
}

double SeamEncoder::busySeconds() const
{
    std::lock_guard lock(m_mutex);
    return m_busy;
}

void SeamEncoder::run()
{
    PacketPtr packet = makePacket();
    while (true) {
        FramePtr frame;
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [this] { return m_stop || !m_frames.empty(); });
            if (m_stop)
                return;
            frame = std::move(m_frames.front());
            m_frames.pop_front();
        }
        m_changed.notify_all(); // room in the queue
        const auto began = std::chrono::steady_clock::now();
        const bool end = !frame;
        int r = packet ? m_encoder.send(frame.get()) : MEDIA_ERR_NO_MEMORY;
        frame.reset();
        std::deque<PacketPtr> out;
        while (r >= 0) {
            int err = m_encoder.receive(packet.get());
            if (err == AVERROR(EAGAIN) || err == AVERROR_EOF)
                break;
            if (err < 0) {
                r = mediaError(err, "encoding a seam");
                break;
            }
            PacketPtr shaped = reshape(packet.get());
            av_packet_unref(packet.get());
            if (!shaped)
                r = MEDIA_ERR_NO_MEMORY;
            else
                out.push_back(std::move(shaped));
        }
        const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - began;
        {
            std::lock_guard lock(m_mutex);
            for (PacketPtr &p : out)
                m_packets.push_back(std::move(p));
            ++m_encoded;
            m_busy += spent.count();
            if (r < 0)
                m_error = r;
        }
        m_changed.notify_all();
        if (r < 0 || end)
            return;
    }
}

PacketPtr SeamEncoder::reshape(AVPacket *packet) const
{
    // libx264 writes start codes; the stream's packets carry lengths.
    PacketPtr out = makePacket();
    if (!out)
        return nullptr;
    av_packet_move_ref(out.get(), packet);
    return AvcConfiguration::toLengthPrefixed(out.get(), m_nalLength) ? std::move(out) : nullptr;
}

} // namespace engine
