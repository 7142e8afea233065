#include "engine/SubtitleCues.h"

#include "engine/FFmpeg.h"
#include "engine/SubtitleCharset.h"
#include "media/MediaEngine.h"

namespace engine {

namespace {

struct SubtitleDeleter
{
    void operator()(AVSubtitle *s) const
    {
        avsubtitle_free(s);
        delete s;
    }
};

// The filter's own steps, up to its first cue: open, find the subtitle stream, open its decoder with
// the character set, decode packets until one gives a cue with text for libass.
bool firstCue(const std::string &path, const std::string &charset)
{
    AVFormatContext *opened = nullptr;
    if (avformat_open_input(&opened, path.c_str(), nullptr, nullptr) < 0)
        return false;
    InputFormatPtr format(opened);
    if (avformat_find_stream_info(format.get(), nullptr) < 0)
        return false;
    const int index = av_find_best_stream(format.get(), AVMEDIA_TYPE_SUBTITLE, -1, -1, nullptr, 0);
    if (index < 0)
        return false;
    const AVStream *stream = format->streams[index];
    const AVCodec *codec = avcodec_find_decoder(stream->codecpar->codec_id);
    if (!codec)
        return false;
    CodecContextPtr decoder(avcodec_alloc_context3(codec));
    if (!decoder || avcodec_parameters_to_context(decoder.get(), stream->codecpar) < 0)
        return false;
    decoder->pkt_timebase = stream->time_base;
    AVDictionary *options = nullptr;
    if (!SubtitleCharset::readsAsIs(charset))
        av_dict_set(&options, "sub_charenc", charset.c_str(), 0);
    const int ready = avcodec_open2(decoder.get(), codec, &options);
    av_dict_free(&options);
    if (ready < 0)
        return false;

    PacketPtr packet = makePacket();
    if (!packet)
        return false;
    while (av_read_frame(format.get(), packet.get()) >= 0) {
        bool cue = false;
        if (packet->stream_index == index) {
            std::unique_ptr<AVSubtitle, SubtitleDeleter> subtitle(new AVSubtitle{});
            int got = 0;
            if (avcodec_decode_subtitle2(decoder.get(), subtitle.get(), &got, packet.get()) >= 0 && got)
                cue = subtitle->num_rects > 0 && subtitle->rects[0]->ass;
        }
        av_packet_unref(packet.get());
        if (cue)
            return true;
    }
    return false;
}

} // namespace

int SubtitleCues::check(const std::string &path)
{
    SubtitleCharset::Text text;
    if (int r = SubtitleCharset::readFile(path, text); r < 0)
        return r;
    return firstCue(path, text.charset) ? MEDIA_OK : MEDIA_ERR_NOTHING_IN_RANGE;
}

} // namespace engine
