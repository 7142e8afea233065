#include "tests/support/MediaFixture.h"

#include "engine/FFmpeg.h"

extern "C" {
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

namespace fixture {

namespace {

using engine::CodecContextPtr;
using engine::FramePtr;
using engine::PacketPtr;

struct SwsFree
{
    void operator()(SwsContext *s) const { sws_freeContext(s); }
};
struct DictionaryFree
{
    void operator()(AVDictionary *d) const { av_dict_free(&d); }
};

std::string avError(int err)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(err, text, sizeof text);
    return text;
}

const AVCodec *findEncoder(const std::string &name, AVMediaType type)
{
    const AVCodec *codec = avcodec_find_encoder_by_name(name.c_str());
    if (!codec) {
        if (const AVCodecDescriptor *d = avcodec_descriptor_get_by_name(name.c_str()))
            codec = avcodec_find_encoder(d->id);
    }
    return codec && codec->type == type ? codec : nullptr;
}

AVPixelFormat choosePixelFormat(const AVCodec *codec)
{
    // JPEG-family encoders only take full-range 4:2:0 without lowering their compliance.
    const AVPixelFormat wanted = codec->id == AV_CODEC_ID_MJPEG ? AV_PIX_FMT_YUVJ420P : AV_PIX_FMT_YUV420P;
    if (!codec->pix_fmts)
        return wanted;
    for (const AVPixelFormat *p = codec->pix_fmts; *p != AV_PIX_FMT_NONE; ++p) {
        if (*p == wanted)
            return wanted;
    }
    return codec->pix_fmts[0];
}

bool isMovFamily(const AVOutputFormat *format)
{
    for (const char *name : {"mov", "mp4", "ipod", "3gp", "3g2", "psp", "ismv", "f4v"}) {
        if (std::strcmp(format->name, name) == 0)
            return true;
    }
    return false;
}

// Settings that keep the stamp readable and the encoders fast (and quiet where they chatter).
void setVideoQuality(AVCodecContext *enc, const Spec &spec, AVDictionary **opts)
{
    const std::string name = enc->codec->name;
    if (name == "libx264") {
        av_dict_set(opts, "preset", "ultrafast", 0);
        // Key frames only where asked, so a long GOP stays long.
        av_dict_set(opts, "x264-params", spec.openGop ? "log=-1:scenecut=0:open-gop=1" : "log=-1:scenecut=0", 0);
    } else if (name == "libx265") {
        av_dict_set(opts, "preset", "ultrafast", 0);
        av_dict_set(opts, "x265-params", "log-level=none", 0);
    } else if (name == "libvpx" || name == "libvpx-vp9") {
        av_dict_set(opts, "deadline", "realtime", 0);
        av_dict_set(opts, "cpu-used", "8", 0);
        av_dict_set(opts, "row-mt", "1", 0);
    }
    if (spec.videoBitrate > 0) {
        enc->bit_rate = spec.videoBitrate;
        return;
    }
    if (name == "libx264" || name == "libx265") {
        av_dict_set(opts, "crf", "20", 0);
    } else if (name == "libvpx" || name == "libvpx-vp9") {
        av_dict_set(opts, "crf", "30", 0);
        enc->bit_rate = 0;
    } else {
        enc->flags |= AV_CODEC_FLAG_QSCALE;
        enc->global_quality = FF_QP2LAMBDA * 3;
        // Encoders that ignore a quantiser still get enough bits for flat pictures.
        enc->bit_rate = std::max<int64_t>(400000, int64_t(enc->width) * enc->height * 3);
    }
}

void writeSamples(AVFrame *frame, int64_t first, double toneHz, double amplitude)
{
    const AVSampleFormat format = static_cast<AVSampleFormat>(frame->format);
    const bool planar = av_sample_fmt_is_planar(format);
    const AVSampleFormat packed = av_get_packed_sample_fmt(format);
    const int channels = frame->ch_layout.nb_channels;
    for (int i = 0; i < frame->nb_samples; ++i) {
        const double v = amplitude * std::sin(2 * M_PI * toneHz * double(first + i) / frame->sample_rate);
        for (int c = 0; c < channels; ++c) {
            const int slot = planar ? i : i * channels + c;
            uint8_t *base = frame->data[planar ? c : 0];
            switch (packed) {
            case AV_SAMPLE_FMT_U8: base[slot] = uint8_t(std::lround(v * 127 + 128)); break;
            case AV_SAMPLE_FMT_S16: reinterpret_cast<int16_t *>(base)[slot] = int16_t(std::lround(v * 32767)); break;
            case AV_SAMPLE_FMT_S32:
                reinterpret_cast<int32_t *>(base)[slot] = int32_t(std::llround(v * 2147483647.0));
                break;
            case AV_SAMPLE_FMT_S64:
                reinterpret_cast<int64_t *>(base)[slot] = std::llround(v * 9.2e18);
                break;
            case AV_SAMPLE_FMT_FLT: reinterpret_cast<float *>(base)[slot] = float(v); break;
            case AV_SAMPLE_FMT_DBL: reinterpret_cast<double *>(base)[slot] = v; break;
            default: break;
            }
        }
    }
}

// One encoder feeding one output stream.
struct Track
{
    CodecContextPtr enc;
    AVStream *stream = nullptr;
    int64_t next = 0;  // pts of the next frame, in the encoder's time base
    int64_t total = 0; // frames (video) or samples (audio) to write
    int frameSize = 0; // samples per audio frame
    std::optional<int64_t> shift; // added to packet times, in the encoder's time base
    double toneHz = 0;
    double amplitude = 0;
};

class Writer
{
public:
    Writer(const std::string &path, const Spec &spec) : m_path(path), m_spec(spec) {}
    ~Writer()
    {
        if (m_format) {
            if (m_format->pb && !(m_format->oformat->flags & AVFMT_NOFILE))
                avio_closep(&m_format->pb);
            avformat_free_context(m_format);
        }
    }

    bool run()
    {
        if (!m_spec.hasVideo && m_spec.audio.empty())
            return fail("no streams asked for");
        int err = avformat_alloc_output_context2(&m_format, nullptr, nullptr, m_path.c_str());
        if (err < 0 || !m_format)
            return fail("no container for this file name: " + avError(err));
        if (m_spec.hasVideo && !addVideo())
            return false;
        for (const AudioTrack &track : m_spec.audio) {
            if (!addAudio(track))
                return false;
        }
        if (!(m_format->oformat->flags & AVFMT_NOFILE)) {
            if ((err = avio_open(&m_format->pb, m_path.c_str(), AVIO_FLAG_WRITE)) < 0)
                return fail("cannot open for writing: " + avError(err));
        }
        // Negative timestamps asked for stay negative instead of shifting every stream.
        if (m_spec.startTime + std::min(m_spec.audioOffset, 0.0) < 0)
            m_format->avoid_negative_ts = AVFMT_AVOID_NEG_TS_DISABLED;
        if ((err = avformat_write_header(m_format, nullptr)) < 0)
            return fail("container refused the streams: " + avError(err));
        while (Track *track = nextTrack()) {
            if (!(track == m_video.get() ? encodeVideoFrame() : encodeAudioFrame(*track)))
                return false;
        }
        for (Track *track : allTracks()) {
            if (!encode(*track, nullptr))
                return false;
        }
        if ((err = av_write_trailer(m_format)) < 0)
            return fail("cannot finish the file: " + avError(err));
        return true;
    }

    const std::string &error() const { return m_error; }

private:
    bool fail(const std::string &what)
    {
        m_error = what;
        return false;
    }

    bool openEncoder(Track &track, const AVCodec *codec, AVDictionary *opts)
    {
        std::unique_ptr<AVDictionary, DictionaryFree> options(opts);
        if (m_format->oformat->flags & AVFMT_GLOBALHEADER)
            track.enc->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        AVDictionary *raw = options.release();
        const int err = avcodec_open2(track.enc.get(), codec, &raw);
        options.reset(raw);
        if (err < 0)
            return fail(std::string("cannot open encoder ") + codec->name + ": " + avError(err));
        track.stream = avformat_new_stream(m_format, nullptr);
        if (!track.stream || avcodec_parameters_from_context(track.stream->codecpar, track.enc.get()) < 0)
            return fail("cannot add a stream");
        track.stream->time_base = track.enc->time_base;
        return true;
    }

    bool addVideo()
    {
        const Spec &s = m_spec;
        if (s.width <= 0 || s.height <= 0 || s.fpsNum <= 0 || s.fpsDen <= 0 || s.duration <= 0)
            return fail("invalid picture size, frame rate or duration");
        const AVCodec *codec = findEncoder(s.videoCodec, AVMEDIA_TYPE_VIDEO);
        if (!codec)
            return fail("no video encoder named " + s.videoCodec);
        m_video = std::make_unique<Track>();
        m_video->enc.reset(avcodec_alloc_context3(codec));
        AVCodecContext *enc = m_video->enc.get();
        enc->width = s.width;
        enc->height = s.height;
        enc->time_base = {s.fpsDen, s.fpsNum};
        enc->framerate = {s.fpsNum, s.fpsDen};
        enc->gop_size = s.gopSize;
        if (s.bFrames > 0)
            enc->max_b_frames = s.bFrames;
        if (s.interlaced) {
            enc->flags |= AV_CODEC_FLAG_INTERLACED_DCT | AV_CODEC_FLAG_INTERLACED_ME;
            enc->field_order = AV_FIELD_TT;
        }
        enc->pix_fmt = choosePixelFormat(codec);
        enc->sample_aspect_ratio = {1, 1};
        // Threads only pay off on large pictures (and some encoders refuse many slices of small ones).
        enc->thread_count = s.width * s.height >= 640 * 360 ? 0 : 1;
        AVDictionary *opts = nullptr;
        setVideoQuality(enc, s, &opts);
        if (!openEncoder(*m_video, codec, opts))
            return false;
        m_video->stream->avg_frame_rate = enc->framerate;
        m_video->total = std::max<int64_t>(1, std::llround(s.duration * s.fpsNum / s.fpsDen));
        if (s.displayRotation % 360 != 0) {
            auto *matrix = reinterpret_cast<int32_t *>(
                av_stream_new_side_data(m_video->stream, AV_PKT_DATA_DISPLAYMATRIX, 9 * sizeof(int32_t)));
            if (!matrix)
                return fail("cannot store the display rotation");
            // Takes the clockwise angle; ffprobe then reports it negated (its angle counts anticlockwise).
            av_display_rotation_set(matrix, double(s.displayRotation));
        }

        m_frame.reset(av_frame_alloc());
        m_frame->format = enc->pix_fmt;
        m_frame->width = s.width;
        m_frame->height = s.height;
        if (av_frame_get_buffer(m_frame.get(), 0) < 0)
            return fail("out of memory");
        m_picture = Image(s.width, s.height);
        // yuvj420p is yuv420p at full range; naming it so keeps swscale from warning on every clip.
        const bool jpeg = enc->pix_fmt == AV_PIX_FMT_YUVJ420P;
        m_scaler.reset(sws_getContext(s.width, s.height, AV_PIX_FMT_RGB24, s.width, s.height,
                                      jpeg ? AV_PIX_FMT_YUV420P : enc->pix_fmt, SWS_BILINEAR | SWS_ACCURATE_RND,
                                      nullptr, nullptr, nullptr));
        if (!m_scaler)
            return fail("cannot convert pictures to " + std::string(av_get_pix_fmt_name(enc->pix_fmt)));
        if (jpeg) {
            const int *bt601 = sws_getCoefficients(SWS_CS_ITU601);
            sws_setColorspaceDetails(m_scaler.get(), bt601, 1, bt601, 1, 0, 1 << 16, 1 << 16);
        }
        return true;
    }

    bool addAudio(const AudioTrack &t)
    {
        if (t.sampleRate <= 0 || t.channels <= 0 || m_spec.duration <= 0)
            return fail("invalid sample rate, channels or duration");
        const AVCodec *codec = findEncoder(t.codec, AVMEDIA_TYPE_AUDIO);
        if (!codec)
            return fail("no audio encoder named " + t.codec);
        auto track = std::make_unique<Track>();
        track->enc.reset(avcodec_alloc_context3(codec));
        AVCodecContext *enc = track->enc.get();
        enc->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_FLTP;
        enc->sample_rate = t.sampleRate;
        av_channel_layout_default(&enc->ch_layout, t.channels);
        enc->time_base = {1, t.sampleRate};
        enc->bit_rate = std::min(64000 * t.channels, 320000);
        if (!openEncoder(*track, codec, nullptr))
            return false;
        if (!t.title.empty()) {
            av_dict_set(&track->stream->metadata, "title", t.title.c_str(), 0);
            // The mov family keeps no track title that FFmpeg reads back; its handler name survives.
            if (isMovFamily(m_format->oformat))
                av_dict_set(&track->stream->metadata, "handler_name", t.title.c_str(), 0);
        }
        if (!t.language.empty())
            av_dict_set(&track->stream->metadata, "language", t.language.c_str(), 0);
        const bool variable = codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE;
        track->frameSize = enc->frame_size > 0 && !variable ? enc->frame_size : 1024;
        const double seconds = t.duration > 0 ? t.duration : m_spec.duration;
        track->total = std::max<int64_t>(1, std::llround(seconds * t.sampleRate));
        track->toneHz = t.toneHz;
        track->amplitude = t.amplitude;
        m_audio.push_back(std::move(track));
        return true;
    }

    std::vector<Track *> allTracks()
    {
        std::vector<Track *> tracks;
        if (m_video)
            tracks.push_back(m_video.get());
        for (auto &a : m_audio)
            tracks.push_back(a.get());
        return tracks;
    }

    // The track whose next frame comes first in time, so the muxer gets them interleaved.
    Track *nextTrack()
    {
        Track *best = nullptr;
        for (Track *t : allTracks()) {
            if (t->next >= t->total)
                continue;
            if (!best || av_compare_ts(t->next, t->enc->time_base, best->next, best->enc->time_base) < 0)
                best = t;
        }
        return best;
    }

    bool encodeVideoFrame()
    {
        const int index = static_cast<int>(m_video->next);
        drawFixtureFrame(m_picture, index, m_spec.background.value_or(kNeutralGrey), m_spec.stamp,
                         m_spec.marker);
        if (m_spec.noiseFromFrame >= 0 && index >= m_spec.noiseFromFrame) {
            uint32_t seed = 2654435761u * uint32_t(index + 1);
            const size_t half = size_t(m_picture.height / 2) * m_picture.width * 3;
            for (size_t i = half; i < m_picture.rgb.size(); ++i) {
                seed = seed * 1664525u + 1013904223u;
                m_picture.rgb[i] = uint8_t(seed >> 24);
            }
        }
        if (av_frame_make_writable(m_frame.get()) < 0)
            return fail("out of memory");
        const uint8_t *src[1] = {m_picture.rgb.data()};
        const int srcStride[1] = {3 * m_picture.width};
        sws_scale(m_scaler.get(), src, srcStride, 0, m_picture.height, m_frame->data, m_frame->linesize);
        m_frame->pts = m_video->next++;
        m_frame->pict_type = AV_PICTURE_TYPE_NONE;
        return encode(*m_video, m_frame.get());
    }

    bool encodeAudioFrame(Track &track)
    {
        FramePtr frame(av_frame_alloc());
        AVCodecContext *enc = track.enc.get();
        frame->format = enc->sample_fmt;
        frame->sample_rate = enc->sample_rate;
        frame->nb_samples = static_cast<int>(std::min<int64_t>(track.frameSize, track.total - track.next));
        if (av_channel_layout_copy(&frame->ch_layout, &enc->ch_layout) < 0 || av_frame_get_buffer(frame.get(), 0) < 0)
            return fail("out of memory");
        writeSamples(frame.get(), track.next, track.toneHz, track.amplitude);
        frame->pts = track.next;
        track.next += frame->nb_samples;
        return encode(track, frame.get());
    }

    // Sends one frame (or the end, with nullptr) and writes every packet that comes out.
    bool encode(Track &track, AVFrame *frame)
    {
        int err = avcodec_send_frame(track.enc.get(), frame);
        if (err < 0)
            return fail(std::string("encoding failed: ") + avError(err));
        PacketPtr packet(av_packet_alloc());
        while ((err = avcodec_receive_packet(track.enc.get(), packet.get())) >= 0) {
            // Without a duration the last video frame would have none, and the file would be a frame short.
            if (track.enc->codec_type == AVMEDIA_TYPE_VIDEO && packet->duration == 0)
                packet->duration = 1;
            // Encoder priming gives the first audio packets negative times; a container that cannot
            // hold them would shift every stream, video included, off 0. Start the audio at 0 there.
            if (!track.shift) {
                const bool negative = packet->dts != AV_NOPTS_VALUE && packet->dts < 0;
                const bool allowed = m_format->oformat->flags & AVFMT_TS_NEGATIVE;
                const bool audio = track.enc->codec_type == AVMEDIA_TYPE_AUDIO;
                track.shift = negative && !allowed && audio ? -packet->dts : 0;
                const double seconds = m_spec.startTime + (audio ? m_spec.audioOffset : 0.0);
                *track.shift += av_rescale_q(std::llround(seconds * 1000000), AV_TIME_BASE_Q, track.enc->time_base);
            }
            if (packet->pts != AV_NOPTS_VALUE)
                packet->pts += *track.shift;
            if (packet->dts != AV_NOPTS_VALUE)
                packet->dts += *track.shift;
            av_packet_rescale_ts(packet.get(), track.enc->time_base, track.stream->time_base);
            packet->stream_index = track.stream->index;
            if ((err = av_interleaved_write_frame(m_format, packet.get())) < 0)
                return fail("cannot write a packet: " + avError(err));
        }
        return err == AVERROR(EAGAIN) || err == AVERROR_EOF ? true : fail("encoding failed: " + avError(err));
    }

    std::string m_path;
    const Spec &m_spec;
    AVFormatContext *m_format = nullptr;
    std::unique_ptr<Track> m_video;
    std::vector<std::unique_ptr<Track>> m_audio;
    FramePtr m_frame;
    std::unique_ptr<SwsContext, SwsFree> m_scaler;
    Image m_picture;
    std::string m_error;
};

} // namespace

bool generate(const std::string &path, const Spec &spec, std::string *error)
{
    // Encoders announce themselves at FFmpeg's default level, and tests make fixtures by the dozen.
    const int logLevel = av_log_get_level();
    if (logLevel == AV_LOG_INFO)
        av_log_set_level(AV_LOG_WARNING);
    bool ok;
    std::string message;
    {
        Writer writer(path, spec);
        ok = writer.run();
        message = writer.error();
    }
    if (logLevel == AV_LOG_INFO)
        av_log_set_level(logLevel);
    if (!ok) {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
        if (error)
            *error = path + ": " + message;
    }
    return ok;
}

bool truncateCopy(const std::string &src, const std::string &dst, double fraction)
{
    std::ifstream in(src, std::ios::binary);
    if (!in)
        return false;
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const double kept = std::clamp(fraction, 0.0, 1.0) * double(bytes.size());
    std::ofstream out(dst, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(kept));
    return bool(out);
}

bool makeGarbageFile(const std::string &path, int64_t bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    uint64_t state = 0x9E3779B97F4A7C15ull;
    for (int64_t i = 0; i < bytes && out; ++i) {
        // xorshift64: the same noise on every run.
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        out.put(static_cast<char>(state >> 56));
    }
    return bool(out);
}

} // namespace fixture
