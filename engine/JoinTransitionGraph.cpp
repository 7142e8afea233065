#include "engine/JoinTransitionGraph.h"

#include "engine/EngineLog.h"

namespace engine {

int JoinTransitionGraph::create(bool video, const std::string &sourceArgs, const std::string &chain)
{
    m_graph.reset(avfilter_graph_alloc());
    if (!m_graph)
        return MEDIA_ERR_NO_MEMORY;
    m_graph->nb_threads = 0; // slice threads, as every other graph
    const AVFilter *source = avfilter_get_by_name(video ? "buffer" : "abuffer");
    const char *names[2] = {"a", "b"};
    for (int i = 0; i < 2; ++i) {
        int err = avfilter_graph_create_filter(&m_sources[i], source, names[i], sourceArgs.c_str(), nullptr,
                                               m_graph.get());
        if (err < 0)
            return mediaError(err, ("creating the transition source " + sourceArgs).c_str());
    }
    int err =
        avfilter_graph_create_filter(&m_sink, avfilter_get_by_name(video ? "buffersink" : "abuffersink"),
                                     "out", nullptr, nullptr, m_graph.get());
    if (err < 0)
        return mediaError(err, "creating the transition sink");

    // The chain's open pads: [a] and [b] are fed by the sources, [out] feeds the sink.
    FilterInOutPtr a(avfilter_inout_alloc());
    FilterInOutPtr b(avfilter_inout_alloc());
    FilterInOutPtr out(avfilter_inout_alloc());
    if (!a || !b || !out)
        return MEDIA_ERR_NO_MEMORY;
    a->name = av_strdup("a");
    a->filter_ctx = m_sources[0];
    b->name = av_strdup("b");
    b->filter_ctx = m_sources[1];
    out->name = av_strdup("out");
    out->filter_ctx = m_sink;
    AVFilterInOut *outputs = a.release();
    outputs->next = b.release();
    AVFilterInOut *inputs = out.release();
    err = avfilter_graph_parse_ptr(m_graph.get(), chain.c_str(), &inputs, &outputs, nullptr);
    avfilter_inout_free(&inputs);
    avfilter_inout_free(&outputs);
    if (err < 0)
        return mediaError(err, ("parsing the transition " + chain).c_str());
    err = avfilter_graph_config(m_graph.get(), nullptr);
    if (err < 0)
        return mediaError(err, ("configuring the transition " + chain).c_str());
    return MEDIA_OK;
}

int JoinTransitionGraph::push(int input, AVFrame *frame)
{
    AVFilterContext *source = m_sources[input];
    int err = 0;
    if (!frame) {
        err = av_buffersrc_close(source, m_next[input], 0);
    } else {
        m_next[input] = frame->pts + (frame->nb_samples > 0 ? frame->nb_samples : 1);
        err = av_buffersrc_add_frame_flags(source, frame, 0);
    }
    if (err < 0)
        return mediaError(err, "feeding the transition");
    return MEDIA_OK;
}

int JoinTransitionGraph::pull(AVFrame *frame)
{
    return av_buffersink_get_frame(m_sink, frame);
}

} // namespace engine
