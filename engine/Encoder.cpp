#include "engine/Encoder.h"

#include "engine/ContainerTable.h"
#include "engine/EngineLog.h"

#include <cstdlib>

namespace engine {

namespace {

bool usable(const AVCodec *codec)
{
    return codec && av_codec_is_encoder(codec) &&
           !(codec->capabilities & (AV_CODEC_CAP_EXPERIMENTAL | AV_CODEC_CAP_HARDWARE | AV_CODEC_CAP_HYBRID)) &&
           !codec->wrapper_name;
}

bool isWrapperOfHardware(const AVCodec *codec)
{
    // Hardware wrappers that do not flag themselves: their names carry the API's suffix.
    static const char *const suffixes[] = {"_nvenc", "_qsv", "_vaapi", "_omx", "_v4l2m2m", "_amf", "_mf"};
    std::string name = codec->name;
    for (const char *suffix : suffixes) {
        std::string s = suffix;
        if (name.size() > s.size() && name.compare(name.size() - s.size(), s.size(), s) == 0)
            return true;
    }
    return false;
}

// libx265 prints to standard error by itself, not through FFmpeg's log: it is told to print only its
// errors unless the engine's trace is on.
void quietX265(AVDictionary **options)
{
    if (traceShown())
        return;
    std::string params;
    if (const AVDictionaryEntry *given = av_dict_get(*options, "x265-params", nullptr, 0))
        params = given->value;
    if (params.find("log-level") != std::string::npos)
        return;
    params += params.empty() ? "log-level=error" : ":log-level=error";
    av_dict_set(options, "x265-params", params.c_str(), 0);
}

} // namespace

const AVCodec *Encoder::find(AVCodecID id)
{
    // External libraries (libx264...) set wrapper_name to nothing, so the first usable software encoder
    // in FFmpeg's own order wins, as avcodec_find_encoder would pick, minus experimental and hardware.
    void *it = nullptr;
    const AVCodec *fallback = nullptr;
    while (const AVCodec *codec = av_codec_iterate(&it)) {
        if (codec->id != id || !av_codec_is_encoder(codec) || isWrapperOfHardware(codec))
            continue;
        if (codec->capabilities & (AV_CODEC_CAP_EXPERIMENTAL | AV_CODEC_CAP_HARDWARE | AV_CODEC_CAP_HYBRID))
            continue;
        if (!codec->wrapper_name)
            return codec;
        if (!fallback)
            fallback = codec;
    }
    return fallback;
}

const AVCodec *Encoder::find(const std::string &name)
{
    const AVCodec *byName = avcodec_find_encoder_by_name(name.c_str());
    if (usable(byName) && !isWrapperOfHardware(byName))
        return byName;
    if (byName)
        return find(byName->id);
    const AVCodecDescriptor *descriptor = avcodec_descriptor_get_by_name(name.c_str());
    return descriptor ? find(descriptor->id) : nullptr;
}

int Encoder::create(const AVCodec *codec)
{
    m_codec = codec;
    m_context.reset(avcodec_alloc_context3(codec));
    return m_context ? MEDIA_OK : MEDIA_ERR_NO_MEMORY;
}

const AVCodec *Encoder::choose(const AVOutputFormat *format, const std::string &asked, AVCodecID source,
                               AVCodecID fallback, AVCodecID containerDefault, bool strict)
{
    if (!asked.empty()) {
        const AVCodec *codec = find(asked);
        return codec && ContainerTable::accepts(format, codec->id) ? codec : nullptr;
    }
    const AVCodec *codec = find(source);
    if (!codec)
        codec = find(fallback);
    if (codec && ContainerTable::accepts(format, codec->id))
        return codec;
    if (strict)
        return nullptr;
    for (AVCodecID id : {fallback, containerDefault}) {
        codec = find(id);
        if (codec && ContainerTable::accepts(format, id))
            return codec;
    }
    return nullptr;
}

void Encoder::setAudioFormat(int sampleRate, int channels, AVSampleFormat sourceFormat)
{
    AVCodecContext *enc = m_context.get();
    int rate = sampleRate;
    if (m_codec->supported_samplerates) {
        int best = m_codec->supported_samplerates[0];
        for (const int *p = m_codec->supported_samplerates; *p; ++p)
            if (std::abs(*p - rate) < std::abs(best - rate))
                best = *p;
        rate = best;
    }
    enc->sample_rate = rate;
    av_channel_layout_uninit(&enc->ch_layout);
    av_channel_layout_default(&enc->ch_layout, channels);
    if (m_codec->ch_layouts) {
        const AVChannelLayout *best = &m_codec->ch_layouts[0];
        for (const AVChannelLayout *p = m_codec->ch_layouts; p->nb_channels; ++p)
            if (std::abs(p->nb_channels - channels) < std::abs(best->nb_channels - channels))
                best = p;
        av_channel_layout_uninit(&enc->ch_layout);
        av_channel_layout_copy(&enc->ch_layout, best);
    }
    enc->sample_fmt = m_codec->sample_fmts ? m_codec->sample_fmts[0] : sourceFormat;
    if (m_codec->sample_fmts)
        for (const AVSampleFormat *p = m_codec->sample_fmts; *p != AV_SAMPLE_FMT_NONE; ++p)
            if (*p == sourceFormat)
                enc->sample_fmt = *p;
    enc->time_base = {1, rate};
}

int Encoder::open(bool globalHeader, const AVDictionary *extra)
{
    AVCodecContext *c = m_context.get();
    if (globalHeader)
        c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    c->thread_count = 0;
    AVDictionary *options = nullptr;
    std::string name = m_codec->name;
    if (name == "libx264" || name == "libx265") {
        av_dict_set(&options, "preset", "veryfast", 0);
        if (c->bit_rate <= 0)
            av_dict_set(&options, "crf", "20", 0);
    } else if (name == "libvpx-vp9" || name == "libvpx") {
        av_dict_set(&options, "deadline", "good", 0);
        av_dict_set(&options, "cpu-used", "5", 0);
        av_dict_set(&options, "row-mt", "1", 0);
        if (c->bit_rate <= 0)
            av_dict_set(&options, "crf", "32", 0);
    } else if (c->codec_type == AVMEDIA_TYPE_VIDEO && c->bit_rate <= 0) {
        // Encoders without a constant-quality mode: a rate that keeps ordinary pictures clean.
        c->bit_rate = std::max<int64_t>(400000, int64_t(c->width) * c->height * 4);
    }
    if (c->codec_type == AVMEDIA_TYPE_AUDIO && c->bit_rate <= 0 &&
        !(m_codec->capabilities & AV_CODEC_CAP_LOSSLESS) && m_codec->id != AV_CODEC_ID_FLAC &&
        m_codec->id != AV_CODEC_ID_PCM_S16LE)
        c->bit_rate = 64000 * std::max(1, std::min(c->ch_layout.nb_channels, 2));
    av_dict_copy(&options, extra, 0);
    if (name == "libx265")
        quietX265(&options);
    int err = avcodec_open2(c, m_codec, &options);
    av_dict_free(&options);
    if (err < 0)
        return mediaError(err, (std::string("opening the encoder ") + m_codec->name).c_str(), MEDIA_ERR_ENCODER);
    return MEDIA_OK;
}

int Encoder::send(const AVFrame *frame)
{
    int err = avcodec_send_frame(m_context.get(), frame);
    if (err < 0 && err != AVERROR_EOF)
        return mediaError(err, "encoding a frame");
    return MEDIA_OK;
}

int Encoder::receive(AVPacket *packet)
{
    return avcodec_receive_packet(m_context.get(), packet);
}

} // namespace engine
