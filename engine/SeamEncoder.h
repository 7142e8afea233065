#pragma once
// Encodes a smart cut's seams on a thread of its own, so that decoding the source (on the caller's
// thread) and encoding run side by side: a seam costs about the longer of the two, not their sum.
//
// Frames go in through a small bounded queue (the decoder waits while it is full, so only a few of the
// decoder's pictures are held); the packets come back, as length-prefixed NAL units, to the caller's
// thread, which writes them in order when it asks. One object encodes one part (a head or a tail): its
// encoder may hold a few pictures (frame threads), and pushing the end drains it.
//
// The destructor stops and joins the thread on every path (a cancelled or failed job included).
#include "engine/Encoder.h"
#include "engine/FFmpeg.h"
#include "media/MediaEngine.h"

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

    // Starts the thread that runs `encoder` (opened); its packets get `nalLength`-byte lengths.
    SeamEncoder(Encoder encoder, int nalLength);
    ~SeamEncoder();
    SeamEncoder(const SeamEncoder &) = delete;
    SeamEncoder &operator=(const SeamEncoder &) = delete;

    // Queues `frame`, taking its reference (the frame is left blank); nullptr drains the encoder, after
    // which nothing more is pushed. Waits while the queue is full. Below 0 once the encoder failed.
    int push(AVFrame *frame);
    // Writes through `write` the packets encoded so far, without waiting.
    int writeReady(const WriteFunction &write);
    // Waits until every frame pushed is encoded and writes their packets.
    int writeAll(const WriteFunction &write);

    // Whether every frame pushed is encoded and its packets written.
    bool finished() const;
    // Seconds the thread spent in the encoder, for the trace.
    double busySeconds() const;

private:
    void run();
    // Moves `packet` into a new packet with lengths in place of start codes.
    PacketPtr reshape(AVPacket *packet) const;
    int write(const WriteFunction &write, bool wait);

    Encoder m_encoder;
    int m_nalLength;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<FramePtr> m_frames; // nullptr: the end
    std::deque<PacketPtr> m_packets;
    long m_pushed = 0;  // frames and the end, pushed
    long m_encoded = 0; // of those, through the encoder
    int m_error = MEDIA_OK;
    bool m_stop = false;
    double m_busy = 0;
    std::thread m_thread; // last: starts once the rest is set up
};

} // namespace engine
