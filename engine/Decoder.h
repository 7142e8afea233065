#pragma once
// The decode stage: one stream's decoder. Packets go in, frames come out (FFmpeg's send/receive).
#include "engine/FFmpeg.h"

namespace engine {

class Decoder
{
public:
    // Opens the decoder of `stream`, with FFmpeg's automatic thread count, or `threads` threads (1 for a
    // single picture: a frame-threaded decoder holds a frame per thread). MEDIA_OK or below 0.
    int open(const AVStream *stream, int threads = 0);

    AVCodecContext *context() const { return m_context.get(); }

    // Sends one packet (nullptr = end of stream, to drain). A packet the decoder rejects as corrupt is
    // skipped with a log line, as players do; only memory errors fail.
    int send(const AVPacket *packet);
    // 0 with a frame, AVERROR(EAGAIN) when it needs more input, AVERROR_EOF once drained.
    int receive(AVFrame *frame);

private:
    CodecContextPtr m_context;
};

} // namespace engine
