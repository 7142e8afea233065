#pragma once
// Makes one part of a smart cut (a head or a tail) on threads of its own: one decodes the source's
// packets it is given, the other feeds the pictures the part keeps to the encoder. The caller's thread
// only hands packets over (its set-up goes on meanwhile); a seam costs about the longer of its decoding
// and its encoding.
//
// Packets go in through a queue bounded in bytes, pictures through a small one (the decoder waits while
// it is full, so only a few of its pictures are held); the packets come back, as length-prefixed NAL
// units, to the caller's thread, which writes them in order when it asks (the muxer is its own). The
// encoder may hold a few pictures (frame threads); pushing the end drains the decoder, then the encoder.
//
// A failure on either thread (or the job's stop flag) is returned by the caller's next call. The
// destructor stops and joins both threads on every path (a cancelled or failed job included).
#include "engine/Decoder.h"
#include "engine/Encoder.h"
#include "engine/FFmpeg.h"
#include "media/MediaEngine.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace engine {

class SeamEncoder
{
public:
    using WriteFunction = std::function<int(AVPacket *)>;

    // Which decoded pictures the part encodes.
    struct Part
    {
        // Whether the picture at `ts` (the stream's timestamps) is encoded. Called on the decoding thread.
        std::function<bool(int64_t ts)> keeps;
        // The first picture kept is made a key picture (a tail, decodable without the head).
        bool startsWithKey = false;
    };

    // Starts decoding: `decoder` (opened) decodes the packets pushed, and the pictures `part` keeps wait
    // for the encoder (startEncoding). The encoder's packets get `nalLength`-byte lengths. `stop` (may
    // be null) ends the work and the caller's waits.
    SeamEncoder(Decoder decoder, int nalLength, Part part, const std::atomic<bool> *stop = nullptr);
    ~SeamEncoder();
    SeamEncoder(const SeamEncoder &) = delete;
    SeamEncoder &operator=(const SeamEncoder &) = delete;

    // Opens the part's encoder; MEDIA_OK or below 0.
    using Opener = std::function<int(Encoder &encoder)>;

    // Starts encoding with `encoder` (opened), so that the decoder may start on the packets before the
    // caller has opened it. Once, before writeAll().
    void startEncoding(Encoder encoder);
    // The same with the encoder `open` fills, called on the encoding thread (the decoder goes on
    // meanwhile); its failure is the part's.
    void startEncoding(Opener open);

    // Queues a reference to `packet` for decoding; nullptr ends the part's input (nothing more is
    // pushed). Waits while the packets queued exceed a bound. Below 0 once decoding or encoding failed
    // (MEDIA_ERR_STOPPED once the stop flag is set).
    int push(const AVPacket *packet);
    // Writes through `write` the packets encoded so far, without waiting.
    int writeReady(const WriteFunction &write);
    // Waits until every packet pushed is decoded and its pictures encoded, and writes their packets.
    int writeAll(const WriteFunction &write);

    // Whether the end was pushed, everything before it encoded, and its packets written.
    bool finished() const;
    // Seconds the threads spent in the decoder and in the encoder, for the trace.
    double decodeSeconds() const;
    double busySeconds() const;

private:
    void decodeLoop();
    void encodeLoop();
    // Hands a decoded picture (or the end) to the encoding thread; false once the work is to end.
    bool queueFrame(FramePtr frame);
    // Records the first failure and wakes every waiter.
    void fail(int error);
    // The job's stop flag: read on the caller's thread only. A stopped job's pipeline (this object
    // with it) is freed later on the release thread, when the job that owns the flag may be gone.
    bool stopped() const { return m_stopFlag && m_stopFlag->load(); }
    // On the threads: waits on `m_changed` until `ready`, a failure or the end of the work.
    template <typename Ready> void waitFor(std::unique_lock<std::mutex> &lock, Ready ready);
    // On the caller's thread: the same, waking at times to look at the stop flag, which nobody signals;
    // a stop becomes the part's failure, which ends the threads' work.
    template <typename Ready> void waitOnCaller(std::unique_lock<std::mutex> &lock, Ready ready);
    // Moves `packet` into a new packet with lengths in place of start codes.
    PacketPtr reshape(AVPacket *packet) const;
    int write(const WriteFunction &write, bool wait);

    Decoder m_decoder;
    Opener m_open;
    Encoder m_encoder;
    int m_nalLength;
    Part m_part;
    const std::atomic<bool> *m_stopFlag;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<PacketPtr> m_input; // nullptr: the end
    int64_t m_inputBytes = 0;
    std::deque<FramePtr> m_frames; // nullptr: the end
    std::deque<PacketPtr> m_packets;
    bool m_encoded = false; // the encoder is drained
    int m_error = MEDIA_OK;
    bool m_stop = false;
    double m_decodeBusy = 0;
    double m_encodeBusy = 0;
    // Last: they start once the rest is set up.
    std::thread m_decoding;
    std::thread m_encoding; // from startEncoding()
};

} // namespace engine
