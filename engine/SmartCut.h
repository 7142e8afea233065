#pragma once
// A frame-exact cut of an H.264 stream that re-encodes only what it must: the pictures from the cut
// start to the next key frame (the head) and from the last key frame to the cut end (the tail), with
// libx264 matched to the source; every packet between is copied as it is. Where the tail's packets, in
// decode order, hold no picture shown after the cut end before the last one kept (no picture coded out
// of order across the end), nothing kept can refer to what is left out: the tail is copied too. Where
// some are, the tail's packets are copied up to the last point where every picture before it is complete
// and shown, and only the few pictures after it are encoded.
//
// Each part is decoded and encoded on threads of its own (SeamEncoder), by an encoder sized for a few
// seconds of pictures; the head's decoder starts on the packets plan() reads, while the encoder opens
// and the conversion sets up its output. The copy goes on once the head's packets are written (reading
// ahead meanwhile was measured to gain nothing: writing is most of a copy's cost, and the held packets
// cost twice their size in memory). Both parts' encoders have the same settings, so they carry
// one pair of parameter sets of their own, with an id the source does not use, in the output's codec
// configuration after the source's (so its stream description stands) and repeated in-band on each part's key
// frame. One decoder thus plays through both seams, and pieces cut from one source carry the same sets.
//
// plan() decides, before anything is written, whether the cut can be made so, and logs why not: the
// caller then re-encodes the whole range as before. After plan() succeeded, the caller seeks to the
// cut start and hands every packet of the video stream to handle(), in file order, then calls finish().
#include "engine/AvcConfiguration.h"
#include "engine/Encoder.h"
#include "engine/FFmpeg.h"
#include "engine/InputFile.h"
#include "engine/SeamEncoder.h"

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

namespace engine {

class SmartCut
{
public:
    // Writes one output packet: its timestamps are the input stream's, on the input's own timeline.
    using WriteFunction = std::function<int(AVPacket *)>;

    // `write` takes the video's packets; `stop` (may be null) ends the seams' work and the waits for it.
    SmartCut(InputFile &input, int videoStream, WriteFunction write, const std::atomic<bool> *stop = nullptr)
        : m_input(input), m_stream(videoStream), m_write(std::move(write)), m_stop(stop)
    {
    }

    // Whether the range [cutStart, cutEnd) of the video (file time, microseconds; cutEnd 0 = to the end)
    // can be cut smartly: a progressive H.264 stream with its parameter sets out of band, key frames
    // that are IDR pictures where the copy starts and stops, and seam encoders that open with the
    // source's profile, level, size and pixel format. A range with no key frame inside is encoded whole
    // by the matched encoder (so pieces of one source stay joinable by copy). Reads the input (seek
    // again afterwards). A refusal is logged with its reason.
    bool plan(int64_t cutStart, int64_t cutEnd);
    // Whether `format` carries the merged parameter sets (mp4, mov, m4v, Matroska).
    static bool fits(const AVOutputFormat *format);

    // Threads for the seams' decoder and encoder (chosen by plan()).
    struct Threads
    {
        int decoder = 1;
        int encoder = 1;
    };

    // The file time and timestamp of the first picture kept: the output's time 0.
    int64_t firstFrameTime() const;
    int64_t firstFrameTs() const { return m_firstKept; }

    // Puts the merged codec configuration into a copy of the source's stream parameters.
    int describe(AVCodecParameters *parameters) const;
    // Takes the next packet of the video stream and writes what it completes.
    int handle(AVPacket *packet);
    // Past the cut end: the caller may stop reading the video.
    bool done() const { return m_phase == Phase::Done; }
    // At the end of the input: writes what the seam encoders still hold.
    int finish();

private:
    enum class Phase { Head, Copy, Tail, Done };
    struct KeyFrame
    {
        int64_t pts = AV_NOPTS_VALUE;
        bool idr = false;
    };

    // What the plan reads of a video packet.
    struct ScannedPacket
    {
        int64_t pts = AV_NOPTS_VALUE;
        int64_t decodeTs = AV_NOPTS_VALUE; // dts, else pts
        bool key = false;
        bool idr = false;
    };

    bool refuse(const char *reason) const;
    // Reads on to the next packet of the video stream (moved to the end of `keep`, if given); false at
    // the end or on an error.
    bool readVideo(ScannedPacket &scanned, std::vector<PacketPtr> *keep = nullptr);
    bool checkStream();
    bool scanStart();
    bool scanEnd();
    // Sets m_tailCopied and m_tailFrom from the pictures of the tail's packets in decode order.
    void copiedTailRun(const std::vector<int64_t> &order);
    // Opens a seam encoder; `sets` gets its parameter sets (start codes).
    int openEncoder(Encoder &encoder, std::vector<uint8_t> &sets);
    // Starts the decoding of an encoded part (the head, or the tail).
    int startPart(bool head);
    // Starts its encoding, with the encoder plan() opened if it is still unused, else with another
    // opened on the part's encoding thread.
    int startEncoding();
    // Hands `packet` to the part being encoded and writes the packets it has ready.
    int feed(const AVPacket *packet);
    // Writes one seam packet, with its decode time and duration.
    int writeSeam(AVPacket *packet);
    // Ends the input of an encoded part, which finishes on its own threads.
    int drainPart();
    // Waits for the part drained last (if any) and writes its packets.
    int completePart();
    // Whether a picture at `ts` is at or after the cut end.
    bool pastEnd(int64_t ts) const;
    int64_t fileTime(int64_t ts) const { return m_input.toFileTime(m_stream, ts); }

    InputFile &m_input;
    int m_stream;
    WriteFunction m_write;
    const std::atomic<bool> *m_stop;
    int64_t m_cutStart = 0;
    int64_t m_cutEnd = 0;
    int m_nalLength = 4;
    AvcConfiguration m_configuration;       // the source's parameter sets and the seams'
    int64_t m_firstKept = AV_NOPTS_VALUE;   // timestamps of the input stream
    int64_t m_copyStart = AV_NOPTS_VALUE;   // the key frame the copy starts on (none: all is encoded)
    int64_t m_copyEnd = AV_NOPTS_VALUE;     // the key frame the copy stops before, or the tail's copied run
                                            // starts on (none: to the cut end)
    bool m_headNeeded = false;              // pictures before m_copyStart are kept
    bool m_tail = false;                    // pictures from m_tailFrom to the cut end are encoded
    int64_t m_tailFrom = AV_NOPTS_VALUE;    // the first picture the tail encodes
    int m_tailCopied = 0;                   // packets from m_copyEnd on copied before the tail's encoding
    int m_tailToCopy = 0;                   // of those, still to come
    int64_t m_lastTailDts = AV_NOPTS_VALUE; // the last written after the tail's copied run began
    int64_t m_headDelay = 0;                // pts - dts of the key frame the copy starts on
    int64_t m_frameTicks = 1;               // one frame in stream ticks
    Phase m_phase = Phase::Head;
    int64_t m_delay = 0; // pts - dts of the key frame next to the part being encoded
    Threads m_threads;
    int m_setId = 1;                      // of the seams' parameter sets
    std::vector<uint8_t> m_sets;          // the seams' parameter sets (start codes)
    Encoder m_opened;                     // opened by plan(), for the first part encoded
    std::vector<PacketPtr> m_prefeed;     // the head's packets read by the plan's scan
    std::vector<int64_t> m_prefed;        // the timestamps of those handed to the head's decoder
    size_t m_prefedAt = 0;                // of those, handed again by the caller
    std::unique_ptr<SeamEncoder> m_seams; // the part being encoded (a tail starts with a key picture)
    bool m_finishing = false;             // a part's input has ended; its packets are still to come
    bool m_encoding = false;
    PacketPtr m_packet;
};

} // namespace engine
