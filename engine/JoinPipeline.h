#pragma once
// One run of a join job. See the top of JoinPipeline.cpp for how the stages talk.
#include "engine/Encoder.h"
#include "engine/FilterGraph.h"
#include "engine/InputFile.h"
#include "engine/JoinClipReader.h"
#include "engine/JoinGraphBuilder.h"
#include "engine/JoinJob.h"
#include "engine/OutputFile.h"

#include <memory>
#include <vector>

namespace engine {

class JoinPipeline
{
public:
    explicit JoinPipeline(JoinJob &job);
    // The clips' files outlive the pipeline (the job keeps them): they stop following its stop flag.
    ~JoinPipeline();
    // Joins the job's clips into its output. MEDIA_OK (the output is in place) or below 0 (nothing is
    // left behind).
    int run();
    // Removes the temporary output now, before the pipeline itself is freed.
    void discardOutput() { m_output.discard(); }

private:
    // Where a clip lies on the output timeline, in output units (frames when the output has video,
    // else samples).
    struct Segment
    {
        int64_t start = 0;
        int64_t units = 0;
        int64_t overlap = 0; // units shared with the next clip (its transition)
    };

    // Stream copy.
    bool canCopy(const AVOutputFormat *format);
    int runCopy(const AVOutputFormat *format);
    // Gives the copied video stream the parameter sets of every clip (smart-cut pieces of one source).
    int mergeVideoConfigurations();
    int copyClip(size_t index, int64_t &offset);

    // Re-encode.
    int plan(const AVOutputFormat *format, bool strict);
    int openEncoders();
    void planTimeline();
    int64_t samplesAt(int64_t unit) const;
    // Puts the clip's input at its range start.
    int rewind(size_t index);
    int openReader(size_t index, std::unique_ptr<JoinClipReader> &reader);
    // The clip's length on the output: the last clip keeps the sound past its pictures.
    int64_t lengthOf(size_t index) const;
    int runEncode();
    int encodeBody(size_t index, JoinClipReader &reader);
    int encodeTransition(size_t index, JoinClipReader &from, JoinClipReader &to);
    int writeVideo(AVFrame *frame);
    int writeAudio(AVFrame *frame);
    int pullAudio();
    int encode(Encoder &encoder, AVStream *stream, AVFrame *frame);
    int write(AVPacket *packet, bool leading);
    int flush();
    // Logs that a clip's range held nothing readable; MEDIA_ERR_NOTHING_IN_RANGE.
    int nothingInRange(size_t index) const;

    JoinJob &m_job;
    const std::vector<JoinJob::Clip> &m_clips;
    std::vector<std::shared_ptr<InputFile>> m_inputs;
    int m_videoRef = -1; // the first clip with a picture, the first with sound
    int m_audioRef = -1;
    OutputFile m_output;
    const AVOutputFormat *m_format = nullptr;
    JoinFormat m_out;
    const AVCodec *m_videoCodec = nullptr;
    const AVCodec *m_audioCodec = nullptr;
    Encoder m_videoEncoder;
    Encoder m_audioEncoder;
    AVStream *m_videoStream = nullptr;
    AVStream *m_audioStream = nullptr;
    FilterGraph m_audioChunker; // hands the encoder frames of its frame size
    std::unique_ptr<JoinClipReader> m_current, m_next; // the clips being read
    std::vector<Segment> m_segments;
    int64_t m_totalUnits = 1;
    int64_t m_plannedDuration = 1; // microseconds of output
    FramePtr m_frame;
    FramePtr m_other;
    FramePtr m_filtered;
    PacketPtr m_packet;
    std::vector<int64_t> m_lastDts; // stream copy: per output stream
};

} // namespace engine
