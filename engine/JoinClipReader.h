#pragma once
// The decoding side of a re-encoded join: one clip's range, demuxed, decoded and brought to the join's
// output format, handed out frame by frame on the clip's own timeline (pts 0 = the range start, video
// in frames, audio in samples). It hands out exactly the number of frames and samples it was asked
// for: a stream that ends early is padded (the last picture held, silence), a missing stream is made
// up (black, silence), and what lies past the range is dropped, so sound and picture stay in sync at
// every seam. A file whose data runs out before the length it promises (cut off, damaged) is not
// padded: reading it fails with MEDIA_ERR_INPUT. Where no seam needs it (Edges), nothing is made up for
// a stream the file has: pictures that start after the range start leave the slots before them out, and
// streams that end before the range does end there (readVideo and readAudio give AVERROR_EOF early).
#include "engine/Decoder.h"
#include "engine/FilterGraph.h"
#include "engine/InputFile.h"
#include "engine/JoinGraphBuilder.h"
#include "engine/JoinJob.h"

#include <deque>
#include <memory>

namespace engine {

class JoinClipReader
{
public:
    struct Edges
    {
        bool pictureMayStartLate = false; // no transition blends into the clip
        bool mayEndEarly = false;         // the clip ends the output
    };

    // Takes the clip's opened input, placed at the range start, and prepares to hand out `frames` video
    // frames and `samples` audio samples (0 for a stream the output lacks). MEDIA_OK or below 0.
    int open(const JoinJob::Clip &clip, std::shared_ptr<InputFile> input, const JoinFormat &format,
             int64_t frames, int64_t samples, Edges edges, const std::atomic<bool> *stop);

    // The next frame: 0 with one, AVERROR_EOF once all were handed out, or a MediaResult below 0. Its
    // pts is its slot: slots left out before the first picture are skipped.
    int readVideo(AVFrame *frame);
    // The next audio, at most `limit` samples (a longer frame is split and its rest kept).
    int readAudio(AVFrame *frame, int64_t limit);
    // How many were handed out so far.
    int64_t videoRead() const { return m_videoRead; }
    int64_t audioRead() const { return m_audioRead; }
    // The file gave nothing in the range so far: no picture where it has video (else no sound; for the
    // last clip, no picture and no sound), everything handed out was made up.
    bool foundNothing() const
    {
        const bool pictures = m_videoQueued > m_skippedSlots;
        if (m_videoStream >= 0 && !m_edges.mayEndEarly)
            return !pictures;
        return !pictures && (m_audioStream < 0 || m_audioQueued == 0);
    }

private:
    int openVideo();
    int openAudio();
    int pump();
    int decode(Decoder &decoder, const AVPacket *packet, bool video);
    int filterVideo(AVFrame *frame);
    int filterAudio(AVFrame *frame);
    int endVideo();
    int endAudio();
    int pullVideo();
    int pullAudio();
    int makeBlack(AVFrame *frame);
    int makeSilence(AVFrame *frame, int samples);

    const JoinJob::Clip *m_clip = nullptr;
    std::shared_ptr<InputFile> m_input;
    JoinFormat m_format;
    const std::atomic<bool> *m_stop = nullptr;
    int m_videoStream = -1; // -1 = not decoded (absent or not wanted)
    int m_audioStream = -1;
    Decoder m_videoDecoder;
    Decoder m_audioDecoder;
    FilterGraph m_videoGraph;
    FilterGraph m_audioGraph;
    bool m_videoInputDone = true;
    bool m_audioInputDone = true;
    int64_t m_frames = 0;
    int64_t m_samples = 0;
    int64_t m_videoRead = 0;
    int64_t m_audioRead = 0;
    Edges m_edges;
    int64_t m_videoQueued = 0;  // slots that came out of the graph so far (skipped ones included)
    int64_t m_leadingSlots = 0; // slots before the first picture, when it starts late
    int64_t m_skippedSlots = 0;
    bool m_videoPushed = false;
    int64_t m_audioQueued = 0; // samples likewise, silence put into gaps included
    std::deque<FramePtr> m_videoQueue;
    std::deque<FramePtr> m_audioQueue;
    FramePtr m_lastVideo; // held to pad a picture stream that ends early
    FramePtr m_frame;
    FramePtr m_filtered;
    PacketPtr m_packet;
};

} // namespace engine
