#pragma once
// A configured libavfilter graph with two sources, "a" (the clip that ends) and "b" (the clip that
// begins), and one sink: the blend of a transition. Frames are pushed into either source and the blend
// is pulled out. FilterGraph is its one-source sibling.
#include "engine/FFmpeg.h"

#include <string>

namespace engine {

class JoinTransitionGraph
{
public:
    // Builds the two sources with `sourceArgs` ("buffer" or "abuffer" arguments), the chain
    // "[a][b]...[out]" and the sink, and configures them. MEDIA_OK or below 0.
    int create(bool video, const std::string &sourceArgs, const std::string &chain);

    // Pushes a frame into source 0 ("a") or 1 ("b"), taking its data; nullptr ends that source just
    // after its last frame.
    int push(int input, AVFrame *frame);
    // 0 with a frame, AVERROR(EAGAIN) when it needs more input, AVERROR_EOF after the end.
    int pull(AVFrame *frame);

private:
    FilterGraphPtr m_graph;
    AVFilterContext *m_sources[2] = {nullptr, nullptr};
    AVFilterContext *m_sink = nullptr;
    int64_t m_next[2] = {0, 0}; // the pts just after the last frame pushed into each source
};

} // namespace engine
