#include "engine/MediaProbe.h"

#include "engine/Decoder.h"
#include "engine/EngineLog.h"
#include "engine/FilterGraphBuilder.h"

#include <climits>
#include <cstdio>
#include <cstring>

namespace engine {

namespace {

void copyText(char *field, size_t size, const char *text)
{
    snprintf(field, size, "%s", text ? text : "");
}

const char *tag(const AVStream *s, const char *key)
{
    const AVDictionaryEntry *entry = av_dict_get(s->metadata, key, nullptr, 0);
    return entry ? entry->value : "";
}

} // namespace

int MediaProbe::open(const std::string &path)
{
    return m_input.open(path);
}

int64_t MediaProbe::estimatedBitrate(int streamIndex) const
{
    const AVStream *s = m_input.stream(streamIndex);
    if (s->codecpar->bit_rate > 0)
        return s->codecpar->bit_rate;
    // Containers without per-stream rates: the file's rate less what the other streams declare.
    AVFormatContext *c = m_input.context();
    if (c->bit_rate <= 0)
        return 0;
    int64_t rest = c->bit_rate;
    for (unsigned i = 0; i < c->nb_streams; ++i) {
        if (int(i) != streamIndex) {
            int64_t other = c->streams[i]->codecpar->bit_rate;
            if (other <= 0 && c->streams[i]->codecpar->codec_type == s->codecpar->codec_type)
                return 0; // two streams of a kind without rates: no fair share to give
            rest -= std::max<int64_t>(other, 0);
        }
    }
    return std::max<int64_t>(rest, 0);
}

void MediaProbe::describeAudio(int streamIndex, AUDIO_STREAM_INFO *info) const
{
    const AVStream *s = m_input.stream(streamIndex);
    const AVCodecParameters *p = s->codecpar;
    info->exist = 1;
    info->index = streamIndex;
    copyText(info->codec, sizeof info->codec, avcodec_get_name(p->codec_id));
    info->samplerate = p->sample_rate;
    info->channels = p->ch_layout.nb_channels;
    info->bitrate = int32_t(std::min<int64_t>(estimatedBitrate(streamIndex), INT32_MAX));
    info->fmt = p->format;
    copyText(info->lang, sizeof info->lang, tag(s, "language"));
    copyText(info->title, sizeof info->title, tag(s, "title"));
}

void MediaProbe::describeVideo(int streamIndex, VIDEO_STREAM_INFO *info) const
{
    AVStream *s = m_input.stream(streamIndex);
    const AVCodecParameters *p = s->codecpar;
    info->exist = 1;
    info->index = streamIndex;
    copyText(info->codec, sizeof info->codec, avcodec_get_name(p->codec_id));
    if (p->codec_tag) {
        char fourcc[AV_FOURCC_MAX_STRING_SIZE] = {};
        av_fourcc_make_string(fourcc, p->codec_tag);
        copyText(info->codec_tag, sizeof info->codec_tag, fourcc);
    }
    int rotation = m_input.rotation(streamIndex);
    bool quarter = rotation == 90 || rotation == 270;
    info->width = quarter ? p->height : p->width;
    info->height = quarter ? p->width : p->height;
    AVRational rate = av_guess_frame_rate(m_input.context(), s, nullptr);
    info->fps = rate.num > 0 && rate.den > 0 ? av_q2d(rate) : 0.0;
    info->bitrate = int32_t(std::min<int64_t>(estimatedBitrate(streamIndex), INT32_MAX));
    AVRational sar = p->sample_aspect_ratio.num > 0 ? p->sample_aspect_ratio : AVRational{1, 1};
    if (quarter)
        sar = av_inv_q(sar);
    int darNum = 0, darDen = 0;
    av_reduce(&darNum, &darDen, int64_t(info->width) * sar.num, int64_t(info->height) * sar.den, 1 << 16);
    info->aspect_ratio = darDen > 0 ? double(darNum) / darDen : 0.0;
    if (darNum > 0 && darDen > 0)
        snprintf(info->aspect, sizeof info->aspect, "%d:%d", darNum, darDen);
    info->rotate = 0; // the engine shows every picture upright
    copyText(info->lang, sizeof info->lang, tag(s, "language"));
    copyText(info->title, sizeof info->title, tag(s, "title"));
}

int MediaProbe::snapshot(int64_t time, int width, int height, uint8_t *buffer)
{
    if (width <= 0 || height <= 0 || !buffer || time < 0)
        return MEDIA_ERR_ARGUMENT;
    for (int64_t i = 0; i < int64_t(width) * height; ++i) { // opaque black until a picture is drawn
        uint8_t *pixel = buffer + i * 4;
        pixel[0] = pixel[1] = pixel[2] = 0;
        pixel[3] = 255;
    }
    int videoIndex = m_input.videoStream();
    if (videoIndex < 0)
        return MEDIA_ERR_INPUT;
    // Seeking to the start may open the file afresh: take the stream after it.
    int result = m_input.seek(time);
    if (result < 0)
        return result;
    AVStream *stream = m_input.stream(videoIndex);
    Decoder decoder;
    if ((result = decoder.open(stream, 1)) < 0)
        return result;

    PacketPtr packet = makePacket();
    FramePtr frame = makeFrame();
    FramePtr chosen = makeFrame();
    if (!packet || !frame || !chosen)
        return MEDIA_ERR_NO_MEMORY;
    bool haveFrame = false;
    bool draining = false;
    // The first frame at or after `time`; near the end, the last frame there is.
    while (true) {
        int err = decoder.receive(frame.get());
        if (err == 0) {
            int64_t ts = frame->best_effort_timestamp;
            int64_t at = ts == AV_NOPTS_VALUE ? time : m_input.toFileTime(videoIndex, ts);
            av_frame_unref(chosen.get());
            av_frame_move_ref(chosen.get(), frame.get());
            haveFrame = true;
            if (at + 1000 >= time)
                break;
            continue;
        }
        if (err == AVERROR_EOF || (err != AVERROR(EAGAIN)))
            break;
        if (draining)
            break;
        err = m_input.read(packet.get());
        if (err < 0) {
            draining = true;
            decoder.send(nullptr);
            continue;
        }
        if (packet->stream_index == videoIndex && (result = decoder.send(packet.get())) < 0) {
            av_packet_unref(packet.get());
            return result;
        }
        av_packet_unref(packet.get());
    }
    if (!haveFrame) {
        engineLog("no picture to snapshot in %s", m_input.path().c_str());
        return MEDIA_ERR_INPUT;
    }

    VideoSource source;
    source.width = chosen->width;
    source.height = chosen->height;
    source.format = chosen->format;
    source.timeBase = stream->time_base;
    source.sampleAspectRatio = chosen->sample_aspect_ratio;
    source.storedRotation = m_input.rotation(videoIndex);
    VideoSettings settings;
    settings.fitWidth = width;
    settings.fitHeight = height;
    settings.format = AV_PIX_FMT_BGRA;
    FilterGraph graph;
    if ((result = FilterGraphBuilder::buildVideo(source, settings, graph)) < 0)
        return result;
    if ((result = graph.push(chosen.get())) < 0 || (result = graph.push(nullptr)) < 0)
        return result;
    FramePtr picture = makeFrame();
    if (!picture)
        return MEDIA_ERR_NO_MEMORY;
    int err = graph.pull(picture.get());
    if (err < 0)
        return mediaError(err, "drawing the snapshot");
    for (int row = 0; row < height; ++row)
        std::memcpy(buffer + size_t(row) * width * 4, picture->data[0] + size_t(row) * picture->linesize[0],
                    size_t(width) * 4);
    return MEDIA_OK;
}

} // namespace engine
