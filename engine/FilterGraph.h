#pragma once
// One configured libavfilter graph with a single source and a single sink. Frames are pushed in and
// pulled out; FilterGraphBuilder decides what lies between.
#include "engine/FFmpeg.h"

#include <string>
#include <vector>

namespace engine {

class FilterGraph
{
public:
    // Builds "buffer"/"abuffer" (with `sourceArgs`) -> `chain` -> "buffersink"/"abuffersink" and
    // configures it. An empty chain passes frames through. MEDIA_OK or below 0.
    int create(bool video, const std::string &sourceArgs, const std::string &chain);

    bool isValid() const { return m_sink != nullptr; }

    // Hands one still picture to each further "buffer" source of the chain, in the order they appear
    // in the chain, and ends those inputs there (an overlay then keeps showing the picture).
    int feedStills(std::vector<FramePtr> &stills);

    // Pushes one frame (taking its data) or, with nullptr, the end of the input. The end lies one frame
    // after the last frame pushed, so filters that fill time (fps) keep that frame.
    int push(AVFrame *frame);
    // 0 with a frame, AVERROR(EAGAIN) when it needs more input, AVERROR_EOF after the end.
    int pull(AVFrame *frame);

    // The output's time base and frame rate (0/1 when not constant).
    AVRational timeBase() const;
    AVRational frameRate() const;
    int width() const;
    int height() const;
    int format() const;
    AVRational sampleAspectRatio() const;
    int sampleRate() const;
    // Makes the audio sink hand out frames of exactly `samples` samples (the last may be shorter).
    void setFrameSize(int samples);

private:
    FilterGraphPtr m_graph;
    AVFilterContext *m_source = nullptr;
    AVFilterContext *m_sink = nullptr;
    int64_t m_lastPts = AV_NOPTS_VALUE;
    int64_t m_lastLength = 0;
};

} // namespace engine
