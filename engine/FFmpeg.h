#pragma once
// The FFmpeg headers the engine uses, and owning pointers for its contexts: each context lives in a
// std::unique_ptr whose deleter is its free function, so no error path needs a cleanup ladder.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavcodec/bsf.h>
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
#include <libavutil/channel_layout.h>
#include <libavutil/display.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
}

#include <atomic>
#include <memory>

namespace engine {

struct InputFormatDeleter
{
    void operator()(AVFormatContext *c) const { avformat_close_input(&c); }
};
struct OutputFormatDeleter
{
    void operator()(AVFormatContext *c) const
    {
        if (!(c->oformat->flags & AVFMT_NOFILE))
            avio_closep(&c->pb);
        avformat_free_context(c);
    }
};
struct CodecContextDeleter
{
    void operator()(AVCodecContext *c) const { avcodec_free_context(&c); }
};
struct FrameDeleter
{
    void operator()(AVFrame *f) const { av_frame_free(&f); }
};
struct PacketDeleter
{
    void operator()(AVPacket *p) const { av_packet_free(&p); }
};
struct BitstreamFilterDeleter
{
    void operator()(AVBSFContext *b) const { av_bsf_free(&b); }
};
struct FilterGraphDeleter
{
    void operator()(AVFilterGraph *g) const { avfilter_graph_free(&g); }
};
struct FilterInOutDeleter
{
    void operator()(AVFilterInOut *io) const { avfilter_inout_free(&io); }
};

using InputFormatPtr = std::unique_ptr<AVFormatContext, InputFormatDeleter>;
using OutputFormatPtr = std::unique_ptr<AVFormatContext, OutputFormatDeleter>;
using CodecContextPtr = std::unique_ptr<AVCodecContext, CodecContextDeleter>;
using FramePtr = std::unique_ptr<AVFrame, FrameDeleter>;
using PacketPtr = std::unique_ptr<AVPacket, PacketDeleter>;
using BitstreamFilterPtr = std::unique_ptr<AVBSFContext, BitstreamFilterDeleter>;
using FilterGraphPtr = std::unique_ptr<AVFilterGraph, FilterGraphDeleter>;
using FilterInOutPtr = std::unique_ptr<AVFilterInOut, FilterInOutDeleter>;

inline FramePtr makeFrame() { return FramePtr(av_frame_alloc()); }
inline PacketPtr makePacket() { return PacketPtr(av_packet_alloc()); }

// FFmpeg's I/O interrupt callback for a job's stop flag (nullptr: never interrupts): how a Stop wakes
// the reads and writes that block inside FFmpeg.
inline AVIOInterruptCB interruptOn(const std::atomic<bool> *stop)
{
    auto stopped = [](void *flag) {
        return flag && static_cast<const std::atomic<bool> *>(flag)->load(std::memory_order_relaxed) ? 1 : 0;
    };
    return {stopped, const_cast<std::atomic<bool> *>(stop)};
}

// `rate` when it is a frame rate worth keeping (positive, at most 240 fps), else {0, 1} (unknown).
inline AVRational usableFrameRate(AVRational rate)
{
    if (rate.num > 0 && rate.den > 0 && av_q2d(rate) <= 240.0)
        return rate;
    return {0, 1};
}

} // namespace engine
