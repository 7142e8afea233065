#include "tests/support/ProbeDecoder.h"

#include "engine/FFmpeg.h"

extern "C" {
#include <libavutil/md5.h>
#include <libswscale/swscale.h>
}

#include <cmath>
#include <functional>
#include <memory>

namespace fixture {

namespace {

constexpr double kTimeSlack = 0.0005;

// An opened input with one chosen stream and its decoder.
class Input
{
public:
    ~Input() { avformat_close_input(&m_format); }

    bool open(const std::string &path, AVMediaType type, int ordinal, bool withDecoder = true)
    {
        if (avformat_open_input(&m_format, path.c_str(), nullptr, nullptr) < 0)
            return false;
        if (avformat_find_stream_info(m_format, nullptr) < 0)
            return false;
        int seen = 0;
        for (unsigned i = 0; i < m_format->nb_streams; ++i) {
            const AVStream *st = m_format->streams[i];
            if (st->codecpar->codec_type != type || (st->disposition & AV_DISPOSITION_ATTACHED_PIC))
                continue;
            if (seen++ == ordinal) {
                m_stream = m_format->streams[i];
                break;
            }
        }
        if (!m_stream)
            return false;
        return !withDecoder || openDecoder();
    }

    AVFormatContext *format() const { return m_format; }
    AVStream *stream() const { return m_stream; }
    AVCodecContext *decoder() const { return m_decoder.get(); }

    // Decodes the stream from the current position and hands each frame with its time in seconds to
    // `fn` until `fn` returns false or the stream ends. Packets a decoder refuses are skipped, as a
    // player would.
    void decode(const std::function<bool(AVFrame *, double)> &fn)
    {
        engine::PacketPtr packet(av_packet_alloc());
        engine::FramePtr frame(av_frame_alloc());
        const double tb = av_q2d(m_stream->time_base);
        double nextTime = 0;
        auto drain = [&]() {
            while (avcodec_receive_frame(m_decoder.get(), frame.get()) == 0) {
                double t = nextTime;
                if (frame->best_effort_timestamp != AV_NOPTS_VALUE)
                    t = frame->best_effort_timestamp * tb;
                if (m_stream->codecpar->codec_type == AVMEDIA_TYPE_AUDIO && frame->sample_rate > 0)
                    nextTime = t + double(frame->nb_samples) / frame->sample_rate;
                else
                    nextTime = t + (frame->pkt_duration > 0 ? frame->pkt_duration * tb : 0);
                const bool more = fn(frame.get(), t);
                av_frame_unref(frame.get());
                if (!more)
                    return false;
            }
            return true;
        };
        while (av_read_frame(m_format, packet.get()) >= 0) {
            const bool ours = packet->stream_index == m_stream->index;
            const bool sent = ours && avcodec_send_packet(m_decoder.get(), packet.get()) >= 0;
            av_packet_unref(packet.get());
            if (sent && !drain())
                return;
        }
        avcodec_send_packet(m_decoder.get(), nullptr);
        drain();
    }

private:
    bool openDecoder()
    {
        const AVCodec *codec = avcodec_find_decoder(m_stream->codecpar->codec_id);
        if (!codec)
            return false;
        m_decoder.reset(avcodec_alloc_context3(codec));
        if (!m_decoder || avcodec_parameters_to_context(m_decoder.get(), m_stream->codecpar) < 0)
            return false;
        m_decoder->pkt_timebase = m_stream->time_base;
        m_decoder->thread_count = 0;
        return avcodec_open2(m_decoder.get(), codec, nullptr) >= 0;
    }

    AVFormatContext *m_format = nullptr;
    AVStream *m_stream = nullptr;
    engine::CodecContextPtr m_decoder;
};

// Turns decoded pictures into RGB, honouring their range and matrix.
class RgbConverter
{
public:
    std::optional<Image> convert(const AVFrame *frame)
    {
        // The JPEG formats are their plain twins at full range; naming them so keeps swscale quiet.
        AVPixelFormat format = AVPixelFormat(frame->format);
        bool fullRange = frame->color_range == AVCOL_RANGE_JPEG;
        switch (format) {
        case AV_PIX_FMT_YUVJ420P: format = AV_PIX_FMT_YUV420P, fullRange = true; break;
        case AV_PIX_FMT_YUVJ422P: format = AV_PIX_FMT_YUV422P, fullRange = true; break;
        case AV_PIX_FMT_YUVJ444P: format = AV_PIX_FMT_YUV444P, fullRange = true; break;
        case AV_PIX_FMT_YUVJ440P: format = AV_PIX_FMT_YUV440P, fullRange = true; break;
        default: break;
        }
        m_sws = sws_getCachedContext(m_sws, frame->width, frame->height, format,
                                     frame->width, frame->height, AV_PIX_FMT_RGB24,
                                     SWS_BILINEAR | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT, nullptr, nullptr,
                                     nullptr);
        if (!m_sws)
            return std::nullopt;
        int *inverse, *table, srcRange, dstRange, brightness, contrast, saturation;
        if (sws_getColorspaceDetails(m_sws, &inverse, &srcRange, &table, &dstRange, &brightness, &contrast,
                                     &saturation) >= 0) {
            const int matrix = frame->colorspace == AVCOL_SPC_BT709 ? SWS_CS_ITU709 : SWS_CS_ITU601;
            srcRange = fullRange;
            sws_setColorspaceDetails(m_sws, sws_getCoefficients(matrix), srcRange, table, dstRange, brightness,
                                     contrast, saturation);
        }
        Image image(frame->width, frame->height);
        uint8_t *dst[1] = {image.rgb.data()};
        const int dstStride[1] = {3 * image.width};
        sws_scale(m_sws, frame->data, frame->linesize, 0, frame->height, dst, dstStride);
        return image;
    }
    ~RgbConverter() { sws_freeContext(m_sws); }

private:
    SwsContext *m_sws = nullptr;
};

std::optional<Image> frameAt(const std::string &path, double seconds, bool seek, bool *overshot)
{
    Input in;
    if (!in.open(path, AVMEDIA_TYPE_VIDEO, 0))
        return std::nullopt;
    if (seek) {
        const int64_t ts = std::llround(seconds / av_q2d(in.stream()->time_base));
        av_seek_frame(in.format(), in.stream()->index, ts, AVSEEK_FLAG_BACKWARD);
    }
    std::optional<Image> result;
    bool first = true;
    RgbConverter converter;
    in.decode([&](AVFrame *frame, double t) {
        // A seek that lands after the asked time misses the frame: the caller starts over without one.
        if (first && seek && t > seconds + kTimeSlack) {
            *overshot = true;
            return false;
        }
        first = false;
        if (t + kTimeSlack < seconds)
            return true;
        result = converter.convert(frame);
        return false;
    });
    return result;
}

struct Level
{
    double sum = 0;
    int64_t count = 0;
    double rms() const { return count ? std::sqrt(sum / double(count)) : 0.0; }
};

double sampleValue(const AVFrame *frame, int i, int c, int channels)
{
    const AVSampleFormat format = AVSampleFormat(frame->format);
    const bool planar = av_sample_fmt_is_planar(format);
    const uint8_t *base = frame->extended_data[planar ? c : 0];
    const int slot = planar ? i : i * channels + c;
    switch (av_get_packed_sample_fmt(format)) {
    case AV_SAMPLE_FMT_U8: return (base[slot] - 128) / 128.0;
    case AV_SAMPLE_FMT_S16: return reinterpret_cast<const int16_t *>(base)[slot] / 32768.0;
    case AV_SAMPLE_FMT_S32: return reinterpret_cast<const int32_t *>(base)[slot] / 2147483648.0;
    case AV_SAMPLE_FMT_S64: return double(reinterpret_cast<const int64_t *>(base)[slot]) / 9.223372036854775808e18;
    case AV_SAMPLE_FMT_FLT: return reinterpret_cast<const float *>(base)[slot];
    case AV_SAMPLE_FMT_DBL: return reinterpret_cast<const double *>(base)[slot];
    default: return 0;
    }
}

// Hands every decoded sample's time and its square summed over channels, with the channel count.
bool forEachSample(const std::string &path, int ordinal, const std::function<void(double, double, int)> &fn)
{
    Input in;
    if (!in.open(path, AVMEDIA_TYPE_AUDIO, ordinal))
        return false;
    in.decode([&](AVFrame *frame, double t) {
        const int channels = frame->ch_layout.nb_channels;
        for (int i = 0; i < frame->nb_samples; ++i) {
            double squares = 0;
            for (int c = 0; c < channels; ++c) {
                const double v = sampleValue(frame, i, c, channels);
                squares += v * v;
            }
            fn(t + double(i) / frame->sample_rate, squares, channels);
        }
        return true;
    });
    return true;
}

} // namespace

std::optional<Image> decodeFrameAt(const std::string &path, double seconds)
{
    bool overshot = false;
    std::optional<Image> image = frameAt(path, seconds, seconds > 0, &overshot);
    if (overshot)
        image = frameAt(path, seconds, false, &overshot);
    return image;
}

std::vector<int> decodeAllFrameIndices(const std::string &path)
{
    std::vector<int> indices;
    Input in;
    if (!in.open(path, AVMEDIA_TYPE_VIDEO, 0))
        return indices;
    RgbConverter converter;
    in.decode([&](AVFrame *frame, double) {
        const std::optional<Image> image = converter.convert(frame);
        indices.push_back(image ? readFrameIndex(*image) : -1);
        return true;
    });
    return indices;
}

int countVideoFrames(const std::string &path)
{
    Input in;
    if (!in.open(path, AVMEDIA_TYPE_VIDEO, 0))
        return -1;
    int count = 0;
    in.decode([&](AVFrame *, double) {
        ++count;
        return true;
    });
    return count;
}

double audioRms(const std::string &path, double from, double to, int audioStreamOrdinal)
{
    Level level;
    const bool ok = forEachSample(path, audioStreamOrdinal, [&](double t, double squares, int channels) {
        if (t + 1e-9 >= from && t + 1e-9 < to) {
            level.sum += squares;
            level.count += channels;
        }
    });
    return ok ? level.rms() : -1.0;
}

std::vector<double> audioRmsWindows(const std::string &path, double windowSeconds, int audioStreamOrdinal)
{
    std::vector<Level> windows;
    if (windowSeconds <= 0)
        return {};
    const bool ok = forEachSample(path, audioStreamOrdinal, [&](double t, double squares, int channels) {
        if (t + 1e-9 < 0)
            return;
        const size_t k = static_cast<size_t>((t + 1e-9) / windowSeconds);
        if (k >= windows.size())
            windows.resize(k + 1);
        windows[k].sum += squares;
        windows[k].count += channels;
    });
    std::vector<double> result;
    if (!ok)
        return result;
    for (const Level &w : windows)
        result.push_back(w.rms());
    return result;
}

std::vector<std::string> packetHashes(const std::string &path, const std::string &type, int ordinal)
{
    std::vector<std::string> hashes;
    const AVMediaType mediaType = type == "video"   ? AVMEDIA_TYPE_VIDEO
                                  : type == "audio" ? AVMEDIA_TYPE_AUDIO
                                                    : AVMEDIA_TYPE_UNKNOWN;
    Input in;
    if (mediaType == AVMEDIA_TYPE_UNKNOWN || !in.open(path, mediaType, ordinal, false))
        return hashes;
    engine::PacketPtr packet(av_packet_alloc());
    while (av_read_frame(in.format(), packet.get()) >= 0) {
        if (packet->stream_index == in.stream()->index) {
            uint8_t digest[16];
            av_md5_sum(digest, packet->data, packet->size);
            static const char hex[] = "0123456789abcdef";
            std::string text;
            for (uint8_t byte : digest) {
                text += hex[byte >> 4];
                text += hex[byte & 15];
            }
            hashes.push_back(text);
        }
        av_packet_unref(packet.get());
    }
    return hashes;
}

} // namespace fixture
