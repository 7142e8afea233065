#include "engine/Decoder.h"

#include "engine/EngineLog.h"

namespace engine {

int Decoder::open(const AVStream *stream, int threads)
{
    const AVCodec *codec = avcodec_find_decoder(stream->codecpar->codec_id);
    if (!codec) {
        engineLog("no decoder for %s", avcodec_get_name(stream->codecpar->codec_id));
        return MEDIA_ERR_INPUT;
    }
    m_context.reset(avcodec_alloc_context3(codec));
    if (!m_context)
        return MEDIA_ERR_NO_MEMORY;
    int err = avcodec_parameters_to_context(m_context.get(), stream->codecpar);
    if (err < 0)
        return mediaError(err, "copying the decoder parameters", MEDIA_ERR_INPUT);
    m_context->pkt_timebase = stream->time_base;
    m_context->thread_count = threads;
    err = avcodec_open2(m_context.get(), codec, nullptr);
    if (err < 0)
        return mediaError(err, "opening the decoder", MEDIA_ERR_INPUT);
    return MEDIA_OK;
}

int Decoder::send(const AVPacket *packet)
{
    int err = avcodec_send_packet(m_context.get(), packet);
    if (err == AVERROR(ENOMEM))
        return mediaError(err, "decoding", MEDIA_ERR_INPUT);
    if (err < 0 && err != AVERROR(EAGAIN) && err != AVERROR_EOF)
        mediaError(err, "decoding a packet (skipped)", MEDIA_ERR_INPUT);
    return MEDIA_OK;
}

int Decoder::receive(AVFrame *frame)
{
    int err = avcodec_receive_frame(m_context.get(), frame);
    if (err < 0 && err != AVERROR(EAGAIN) && err != AVERROR_EOF) {
        // A corrupt frame: report it as "no frame now" so the caller moves on to the next packet.
        if (err == AVERROR(ENOMEM))
            return err;
        mediaError(err, "decoding a frame (skipped)", MEDIA_ERR_INPUT);
        return AVERROR(EAGAIN);
    }
    return err;
}

} // namespace engine
