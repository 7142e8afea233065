#include "engine/SeamEncoder.h"

#include "engine/AvcConfiguration.h"
#include "engine/EngineLog.h"

#include <chrono>

namespace engine {

namespace {

// Pictures waiting for the encoder: few, so that the decoder's pool of pictures stays small (a 1080p
// picture is 3 MB). Measured on a 1080p cut: one is as fast as two or four, with 3 and 9 MB less at
// the peak (the encoder copies a picture in as it takes it).
constexpr size_t kQueuedFrames = 1;
// Bytes of packets waiting for the decoder (a key-frame interval of a high-rate source is more); the
// smart cut hands over up to half of it before the encoder starts.
constexpr int64_t kQueuedBytes = 16 << 20;
// How often a wait looks at the job's stop flag.
constexpr auto kStopPoll = std::chrono::milliseconds(10);

class Stopwatch
{
public:
    // Seconds since the last call (or since it was made).
    double lap()
    {
        const auto now = std::chrono::steady_clock::now();
        const double seconds = std::chrono::duration<double>(now - m_began).count();
        m_began = now;
        return seconds;
    }

private:
    std::chrono::steady_clock::time_point m_began = std::chrono::steady_clock::now();
};

} // namespace

SeamEncoder::SeamEncoder(Decoder decoder, int nalLength, Part part, const std::atomic<bool> *stop)
    : m_decoder(std::move(decoder)), m_nalLength(nalLength), m_part(std::move(part)), m_stopFlag(stop),
      m_decoding([this] { decodeLoop(); })
{
}

void SeamEncoder::startEncoding(Encoder encoder)
{
    m_encoder = std::move(encoder);
    m_encoding = std::thread([this] { encodeLoop(); });
}

void SeamEncoder::startEncoding(Opener open)
{
    m_open = std::move(open);
    m_encoding = std::thread([this] { encodeLoop(); });
}

SeamEncoder::~SeamEncoder()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    m_decoding.join();
    if (m_encoding.joinable())
        m_encoding.join();
}

template <typename Ready> void SeamEncoder::waitFor(std::unique_lock<std::mutex> &lock, Ready ready)
{
    m_changed.wait(lock, [&] { return ready() || m_error < 0 || m_stop; });
}

template <typename Ready> void SeamEncoder::waitOnCaller(std::unique_lock<std::mutex> &lock, Ready ready)
{
    while (!ready() && m_error >= 0 && !m_stop) {
        if (stopped()) {
            // The threads see it as a failure: they never read the job's flag themselves.
            m_error = MEDIA_ERR_STOPPED;
            m_changed.notify_all();
            return;
        }
        m_changed.wait_for(lock, kStopPoll);
    }
}

void SeamEncoder::fail(int error)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_error >= 0)
            m_error = error;
    }
    m_changed.notify_all();
}

int SeamEncoder::push(const AVPacket *packet)
{
    PacketPtr queued;
    if (packet) {
        queued = makePacket();
        if (!queued || av_packet_ref(queued.get(), packet) < 0)
            return MEDIA_ERR_NO_MEMORY;
    }
    std::unique_lock lock(m_mutex);
    waitOnCaller(lock, [this] { return m_inputBytes < kQueuedBytes; });
    if (m_error < 0)
        return m_error;
    if (queued)
        m_inputBytes += queued->size;
    m_input.push_back(std::move(queued));
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
            waitOnCaller(lock, [this] { return m_encoded || !m_packets.empty(); });
        if (m_error < 0)
            return m_error;
        if (m_packets.empty()) {
            if (!wait || m_encoded)
                return MEDIA_OK;
            continue;
        }
        PacketPtr packet = std::move(m_packets.front());
        m_packets.pop_front();
        lock.unlock();
        if (int r = write(packet.get()); r < 0)
            return r;
    }
}

bool SeamEncoder::finished() const
{
    std::lock_guard lock(m_mutex);
    return m_encoded && m_packets.empty();
}

double SeamEncoder::decodeSeconds() const
{
    std::lock_guard lock(m_mutex);
    return m_decodeBusy;
}

double SeamEncoder::busySeconds() const
{
    std::lock_guard lock(m_mutex);
    return m_encodeBusy;
}

bool SeamEncoder::queueFrame(FramePtr frame)
{
    std::unique_lock lock(m_mutex);
    waitFor(lock, [this] { return m_frames.size() < kQueuedFrames; });
    if (m_stop || m_error < 0)
        return false;
    m_frames.push_back(std::move(frame));
    lock.unlock();
    m_changed.notify_all();
    return true;
}

void SeamEncoder::decodeLoop()
{
    FramePtr frame = makeFrame();
    bool first = true;
    while (true) {
        PacketPtr packet;
        {
            std::unique_lock lock(m_mutex);
            waitFor(lock, [this] { return !m_input.empty(); });
            if (m_stop || m_error < 0)
                return;
            packet = std::move(m_input.front());
            m_input.pop_front();
            if (packet)
                m_inputBytes -= packet->size;
        }
        m_changed.notify_all(); // room in the queue
        // A picture the part does not keep and no other refers to is not decoded at all (the B-pictures
        // before a head are most of its key-frame interval's).
        if (packet && packet->pts != AV_NOPTS_VALUE && !m_part.keeps(packet->pts) &&
            AvcConfiguration::disposable(packet->data, size_t(packet->size), m_nalLength))
            continue;
        Stopwatch watch;
        double busy = 0;
        const bool end = !packet;
        int r = frame ? m_decoder.send(packet.get()) : MEDIA_ERR_NO_MEMORY;
        packet.reset();
        while (r >= 0) {
            const int err = m_decoder.receive(frame.get());
            if (err == AVERROR(EAGAIN) || err == AVERROR_EOF)
                break;
            if (err < 0) {
                r = mediaError(err, "decoding the video", MEDIA_ERR_INPUT);
                break;
            }
            const int64_t ts = frame->best_effort_timestamp;
            if (ts == AV_NOPTS_VALUE || !m_part.keeps(ts)) {
                av_frame_unref(frame.get());
                continue;
            }
            FramePtr kept = makeFrame();
            if (!kept) {
                r = MEDIA_ERR_NO_MEMORY;
                break;
            }
            av_frame_move_ref(kept.get(), frame.get());
            kept->pts = ts;
            // The tail starts with a picture of its own, decodable without the head.
            kept->pict_type = first && m_part.startsWithKey ? AV_PICTURE_TYPE_I : AV_PICTURE_TYPE_NONE;
            first = false;
            busy += watch.lap();
            if (!queueFrame(std::move(kept))) // may wait for room: not decoding time
                return;
            watch.lap();
        }
        busy += watch.lap();
        {
            std::lock_guard lock(m_mutex);
            m_decodeBusy += busy;
        }
        if (r < 0) {
            fail(r);
            return;
        }
        if (end) {
            queueFrame(nullptr);
            return;
        }
    }
}

void SeamEncoder::encodeLoop()
{
    if (m_open) {
        if (int r = m_open(m_encoder); r < 0) {
            fail(r);
            return;
        }
    }
    PacketPtr packet = makePacket();
    while (true) {
        FramePtr frame;
        {
            std::unique_lock lock(m_mutex);
            waitFor(lock, [this] { return !m_frames.empty(); });
            if (m_stop || m_error < 0)
                return;
            frame = std::move(m_frames.front());
            m_frames.pop_front();
        }
        m_changed.notify_all(); // room in the queue
        Stopwatch watch;
        const bool end = !frame;
        int r = packet ? m_encoder.send(frame.get()) : MEDIA_ERR_NO_MEMORY;
        frame.reset();
        std::deque<PacketPtr> out;
        while (r >= 0) {
            const int err = m_encoder.receive(packet.get());
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
        {
            std::lock_guard lock(m_mutex);
            for (PacketPtr &p : out)
                m_packets.push_back(std::move(p));
            m_encodeBusy += watch.lap();
            if (r < 0 && m_error >= 0)
                m_error = r;
            m_encoded = end && r >= 0;
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
