#include "engine/FilterGraph.h"

#include "engine/EngineLog.h"

#include <cstring>

namespace engine {

int FilterGraph::create(bool video, const std::string &sourceArgs, const std::string &chain)
{
    m_graph.reset(avfilter_graph_alloc());
    if (!m_graph)
        return MEDIA_ERR_NO_MEMORY;
    // Slice threads on every core, as the ffmpeg command does: the filters (scale, eq, overlay, transpose)
    // run between decoding and encoding on the job's one thread, so a single filter thread would leave
    // the other cores idle while they work.
    m_graph->nb_threads = 0;
    const char *sourceName = video ? "buffer" : "abuffer";
    const char *sinkName = video ? "buffersink" : "abuffersink";
    int err = avfilter_graph_create_filter(&m_source, avfilter_get_by_name(sourceName), "in",
                                           sourceArgs.c_str(), nullptr, m_graph.get());
    if (err < 0)
        return mediaError(err, ("creating the filter source " + sourceArgs).c_str());
    err = avfilter_graph_create_filter(&m_sink, avfilter_get_by_name(sinkName), "out", nullptr, nullptr,
                                       m_graph.get());
    if (err < 0)
        return mediaError(err, "creating the filter sink");

    if (chain.empty()) {
        err = avfilter_link(m_source, 0, m_sink, 0);
        if (err < 0)
            return mediaError(err, "linking the filter graph");
    } else {
        FilterInOutPtr outputs(avfilter_inout_alloc());
        FilterInOutPtr inputs(avfilter_inout_alloc());
        if (!outputs || !inputs)
            return MEDIA_ERR_NO_MEMORY;
        outputs->name = av_strdup("in");
        outputs->filter_ctx = m_source;
        inputs->name = av_strdup("out");
        inputs->filter_ctx = m_sink;
        AVFilterInOut *in = inputs.release();
        AVFilterInOut *out = outputs.release();
        err = avfilter_graph_parse_ptr(m_graph.get(), chain.c_str(), &in, &out, nullptr);
        avfilter_inout_free(&in);
        avfilter_inout_free(&out);
        if (err < 0)
            return mediaError(err, ("parsing the filters " + chain).c_str());
    }
    err = avfilter_graph_config(m_graph.get(), nullptr);
    if (err < 0)
        return mediaError(err, ("configuring the filters " + chain).c_str());
    return MEDIA_OK;
}

int FilterGraph::feedStills(std::vector<FramePtr> &stills)
{
    size_t next = 0;
    for (unsigned i = 0; i < m_graph->nb_filters && next < stills.size(); ++i) {
        AVFilterContext *f = m_graph->filters[i];
        if (f == m_source || strcmp(f->filter->name, "buffer") != 0)
            continue;
        int err = av_buffersrc_add_frame_flags(f, stills[next++].get(), 0);
        if (err >= 0)
            err = av_buffersrc_close(f, 1, 0);
        if (err < 0)
            return mediaError(err, "feeding a still picture to the filters");
    }
    return next == stills.size() ? MEDIA_OK : MEDIA_ERR_GENERIC;
}

int FilterGraph::push(AVFrame *frame)
{
    if (!frame && m_lastPts != AV_NOPTS_VALUE) {
        int err = av_buffersrc_close(m_source, m_lastPts + m_lastLength, 0);
        if (err < 0)
            return mediaError(err, "ending the filter input");
        return MEDIA_OK;
    }
    if (frame && frame->pts != AV_NOPTS_VALUE) {
        int64_t step = m_lastPts != AV_NOPTS_VALUE ? frame->pts - m_lastPts : 0;
        if (frame->nb_samples > 0 && frame->sample_rate > 0)
            m_lastLength = frame->nb_samples; // audio sources count in samples
        else if (frame->pkt_duration > 0)
            m_lastLength = frame->pkt_duration;
        else if (step > 0)
            m_lastLength = step;
        m_lastPts = frame->pts;
    }
    int err = av_buffersrc_add_frame_flags(m_source, frame, 0);
    if (err < 0)
        return mediaError(err, "filtering a frame");
    return MEDIA_OK;
}

int FilterGraph::pull(AVFrame *frame)
{
    return av_buffersink_get_frame(m_sink, frame);
}

AVRational FilterGraph::timeBase() const { return av_buffersink_get_time_base(m_sink); }
AVRational FilterGraph::frameRate() const { return av_buffersink_get_frame_rate(m_sink); }
int FilterGraph::width() const { return av_buffersink_get_w(m_sink); }
int FilterGraph::height() const { return av_buffersink_get_h(m_sink); }
int FilterGraph::format() const { return av_buffersink_get_format(m_sink); }
AVRational FilterGraph::sampleAspectRatio() const { return av_buffersink_get_sample_aspect_ratio(m_sink); }
int FilterGraph::sampleRate() const { return av_buffersink_get_sample_rate(m_sink); }
void FilterGraph::setFrameSize(int samples) { av_buffersink_set_frame_size(m_sink, unsigned(samples)); }

} // namespace engine
