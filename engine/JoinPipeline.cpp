/*
 * How a join runs. The caller of Start owns every context of the job, on its own thread.
 *
 * Stream copy, when it is exact (see canCopy): the clips' packets go one file after the other straight
 * into the OutputFile, each clip shifted to start where the previous one's pictures ended.
 *
 * Re-encode, otherwise:
 *
 *   clip i:   InputFile -> Decoder -> clip graph --\                       /--> video Encoder --\
 *                                                   >-- body or transition                       >-->
 * OutputFile clip i+1: InputFile -> Decoder -> clip graph --/   (xfade, acrossfade) \--> audio chunker
 *                                                                              -> audio Encoder --/
 *
 * planTimeline() lays the clips on the output timeline in output units (frames when there is video,
 * else samples): clip i covers [start, start + units), and overlaps the next clip by its transition.
 * Each clip's JoinClipReader hands out exactly its share of frames and samples, already in the output
 * format, so picture and sound meet at every seam. A clip's body (outside any overlap) goes to the
 * encoders in timestamp order; an overlap reads both clips and sends the blend. Only two clips are
 * open at once, during a transition.
 *
 * Stopping: the job's stop flag is tested per frame and packet and wakes blocked reads and writes
 * through the interrupt callbacks; the temporary output is then removed.
 */
#include "engine/JoinPipeline.h"

#include "engine/AvcConfiguration.h"
#include "engine/ContainerTable.h"
#include "engine/EngineLog.h"
#include "engine/JoinTransitionGraph.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace engine {

namespace {

// Timestamps that differ by less than this are the same moment (microsecond rounding of time bases).
constexpr int64_t kSameTime = 1000;

bool sameExtradata(const AVCodecParameters *a, const AVCodecParameters *b)
{
    return a->extradata_size == b->extradata_size &&
           (a->extradata_size == 0 ||
            std::memcmp(a->extradata, b->extradata, size_t(a->extradata_size)) == 0);
}

// H.264 pieces that smart cuts made from one source differ only by the seams' parameter sets, whose ids
// are their own: one stream carries them all.
bool joinableConfiguration(const AVCodecParameters *a, const AVCodecParameters *b)
{
    AvcConfiguration first, second;
    return first.parse(a) && second.parse(b) && first.merge(second);
}

AVRational squareIfUnset(AVRational sar)
{
    return sar.num > 0 && sar.den > 0 ? sar : AVRational{1, 1};
}

bool sameVideo(const AVCodecParameters *a, const AVCodecParameters *b)
{
    return a->codec_id == b->codec_id && a->width == b->width && a->height == b->height &&
           a->format == b->format &&
           av_cmp_q(squareIfUnset(a->sample_aspect_ratio), squareIfUnset(b->sample_aspect_ratio)) == 0 &&
           (sameExtradata(a, b) || joinableConfiguration(a, b));
}

bool sameAudio(const AVCodecParameters *a, const AVCodecParameters *b)
{
    return a->codec_id == b->codec_id && a->sample_rate == b->sample_rate &&
           a->ch_layout.nb_channels == b->ch_layout.nb_channels && sameExtradata(a, b);
}

bool isCopyOrUnset(const std::string &codec)
{
    return codec.empty() || codec == "copy";
}

// Matroska stores no decode times: the demuxer derives them from the presentation times, all but those
// of the first pictures after the start or a seek, as many as the stream holds back for reordering.
// Those are given the times they stand for, one frame apart, ending a frame before the first derived
// one (the clip's first presentation time). Without them the muxer guesses from the clip before the
// seam, and steps back in time.
int64_t decodeTimeOf(InputFile &in, int index, const AVPacket &packet, int64_t firstPicture, int64_t undated)
{
    const AVStream *stream = in.stream(index);
    int64_t step = packet.duration;
    if (step <= 0 && in.frameRate(index).num > 0)
        step = av_rescale_q(1, av_inv_q(in.frameRate(index)), stream->time_base);
    step = std::max<int64_t>(step, 1);
    const int64_t held = std::max<int64_t>(stream->codecpar->video_delay, undated + 1);
    return std::min(packet.pts, firstPicture - (held - undated) * step);
}

} // namespace

JoinPipeline::JoinPipeline(JoinJob &job) : m_job(job), m_clips(job.clips()) {}

JoinPipeline::~JoinPipeline()
{
    // A stopped pipeline is freed on the release thread, maybe after its job: the flag may be gone.
    for (const std::shared_ptr<InputFile> &input : m_inputs)
        input->setStopFlag(nullptr);
}

int JoinPipeline::run()
{
    const JoinJob::Settings &s = m_job.settings();
    m_frame = makeFrame();
    m_other = makeFrame();
    m_filtered = makeFrame();
    m_packet = makePacket();
    if (!m_frame || !m_other || !m_filtered || !m_packet)
        return MEDIA_ERR_NO_MEMORY;
    for (size_t i = 0; i < m_clips.size(); ++i) {
        // Each clip was probed when it was added; its file is read from there on.
        std::shared_ptr<InputFile> input = m_clips[i].input;
        input->setStopFlag(&m_job.stopFlag());
        if (lengthOf(i) <= 0) {
            engineLog("the length of %s is unknown; give the clip an end", m_clips[i].path.c_str());
            return MEDIA_ERR_INPUT;
        }
        if (m_videoRef < 0 && input->videoStream() >= 0)
            m_videoRef = int(i);
        if (m_audioRef < 0 && !input->audioStreams().empty())
            m_audioRef = int(i);
        m_inputs.push_back(input);
    }

    std::vector<const AVOutputFormat *> formats = ContainerTable::candidates(s.outputPath);
    if (isCopyOrUnset(s.videoCodec) && isCopyOrUnset(s.audioCodec))
        for (const AVOutputFormat *format : formats)
            if (canCopy(format))
                return runCopy(format);
    if (s.videoCodec == "copy" || s.audioCodec == "copy")
        engineTrace("the clips cannot be joined by stream copy; they are re-encoded");

    auto planFor = [this](const AVOutputFormat *format, bool strict) { return plan(format, strict); };
    int r = ContainerTable::choose(s.outputPath, planFor, m_format);
    if (r < 0)
        return r;
    engineTrace("joining %zu clips into %s (%s): video %s, audio %s", m_clips.size(), s.outputPath.c_str(),
                m_format->name, m_videoCodec ? m_videoCodec->name : "none",
                m_audioCodec ? m_audioCodec->name : "none");
    if ((r = m_output.open(s.outputPath, m_format, &m_job.stopFlag())) < 0 || (r = openEncoders()) < 0 ||
        (r = m_output.writeHeader()) < 0)
        return r;
    planTimeline();
    if ((r = runEncode()) < 0 || (r = flush()) < 0)
        return r;
    if (m_job.stopFlag())
        return MEDIA_ERR_STOPPED;
    return m_output.finish();
}

// ---- Stream copy -----------------------------------------------------------------------------------

bool JoinPipeline::canCopy(const AVOutputFormat *format)
{
    const JoinJob::Settings &s = m_job.settings();
    if (s.videoKbps > 0 || s.audioKbps > 0)
        return false;
    bool video = m_videoRef >= 0 && ContainerTable::holdsVideo(format);
    bool audio = m_audioRef >= 0 && ContainerTable::holdsAudio(format);
    if (!video && !audio)
        return false;
    const AVCodecParameters *refVideo = nullptr;
    const AVCodecParameters *refAudio = nullptr;
    if (video) {
        InputFile &ref = *m_inputs[size_t(m_videoRef)];
        refVideo = ref.stream(ref.videoStream())->codecpar;
        AVRational rate = av_guess_frame_rate(ref.context(), ref.stream(ref.videoStream()), nullptr);
        if (!ContainerTable::accepts(format, refVideo->codec_id) ||
            ContainerTable::needsStartCodes(format, refVideo) ||
            (s.width > 0 && (s.width != refVideo->width || s.height != refVideo->height)) ||
            (s.fps > 0 && (rate.num <= 0 || std::fabs(av_q2d(rate) - s.fps) > 0.01)))
            return false;
    }
    if (audio) {
        InputFile &ref = *m_inputs[size_t(m_audioRef)];
        refAudio = ref.stream(ref.audioStreams().front())->codecpar;
        if (!ContainerTable::accepts(format, refAudio->codec_id) ||
            (s.channels > 0 && s.channels != refAudio->ch_layout.nb_channels) ||
            (s.sampleRate > 0 && s.sampleRate != refAudio->sample_rate))
            return false;
    }
    for (size_t i = 0; i < m_clips.size(); ++i) {
        const JoinJob::Clip &clip = m_clips[i];
        InputFile &in = *m_inputs[i];
        if (i + 1 < m_clips.size() && clip.transition != 0)
            return false;
        if (video && (in.videoStream() < 0 || in.rotation(in.videoStream()) != 0 ||
                      !sameVideo(in.stream(in.videoStream())->codecpar, refVideo)))
            return false;
        if (audio && (in.audioStreams().empty() || clip.volume != 1 ||
                      !sameAudio(in.stream(in.audioStreams().front())->codecpar, refAudio)))
            return false;
    }
    // The pieces must start and end on key frames, or the copy would show the wrong pictures. (Last,
    // since a seek may open a file afresh, which replaces the parameters compared above.)
    for (size_t i = 0; video && i < m_clips.size(); ++i) {
        const JoinJob::Clip &clip = m_clips[i];
        InputFile &in = *m_inputs[i];
        if (clip.start != 0 && std::llabs(in.keyFrameTimeFor(clip.start) - clip.start) > kSameTime)
            return false;
        if (clip.end != 0 && std::llabs(in.keyFrameTimeFor(clip.end) - clip.end) > kSameTime)
            return false;
    }
    return true;
}

int JoinPipeline::runCopy(const AVOutputFormat *format)
{
    m_format = format;
    const JoinJob::Settings &s = m_job.settings();
    engineTrace("joining %zu clips into %s (%s) by stream copy", m_clips.size(), s.outputPath.c_str(),
                format->name);
    int r = m_output.open(s.outputPath, format, &m_job.stopFlag());
    if (r < 0)
        return r;
    if (m_videoRef >= 0 && ContainerTable::holdsVideo(format)) {
        InputFile &ref = *m_inputs[size_t(m_videoRef)];
        if ((r = m_output.addCopiedStream(ref.stream(ref.videoStream()), m_videoStream)) < 0 ||
            (r = mergeVideoConfigurations()) < 0)
            return r;
    }
    if (m_audioRef >= 0 && ContainerTable::holdsAudio(format)) {
        InputFile &ref = *m_inputs[size_t(m_audioRef)];
        if ((r = m_output.addCopiedStream(ref.stream(ref.audioStreams().front()), m_audioStream)) < 0)
            return r;
    }
    if ((r = m_output.writeHeader()) < 0)
        return r;
    m_lastDts.assign(m_output.context()->nb_streams, INT64_MIN);
    m_plannedDuration = 0;
    for (size_t i = 0; i < m_clips.size(); ++i)
        m_plannedDuration += lengthOf(i);
    m_plannedDuration = std::max<int64_t>(m_plannedDuration, 1);

    int64_t offset = 0;
    for (size_t i = 0; i < m_clips.size(); ++i)
        if ((r = copyClip(i, offset)) < 0)
            return r;
    if (m_job.stopFlag())
        return MEDIA_ERR_STOPPED;
    return m_output.finish();
}

int JoinPipeline::mergeVideoConfigurations()
{
    AVCodecParameters *out = m_videoStream->codecpar;
    AvcConfiguration merged;
    bool differ = false;
    for (const auto &in : m_inputs) {
        const AVCodecParameters *p = in->stream(in->videoStream())->codecpar;
        if (sameExtradata(p, out))
            continue;
        AvcConfiguration piece;
        if ((!differ && !merged.parse(out)) || !piece.parse(p) || !merged.merge(piece))
            return MEDIA_ERR_GENERIC; // canCopy() saw them joinable
        differ = true;
    }
    return differ ? merged.store(out) : MEDIA_OK;
}

int JoinPipeline::copyClip(size_t index, int64_t &offset)
{
    const JoinJob::Clip &clip = m_clips[index];
    int r = rewind(index);
    if (r < 0)
        return r;
    InputFile &in = *m_inputs[index];
    const int video = m_videoStream ? in.videoStream() : -1;
    const int audio = m_audioStream ? in.audioStreams().front() : -1;
    bool videoStarted = false, audioStarted = false;
    bool videoDone = video < 0, audioDone = audio < 0;
    int64_t reached = 0; // the clip's length as written: where its pictures (else its sound) end
    bool copied = false; // a picture (else a sound) of the range was written
    int64_t firstPicture = AV_NOPTS_VALUE; // the presentation time of the clip's first picture
    int64_t undated = 0;                   // pictures so far that came without a decode time

    while (!videoDone || !audioDone) {
        if (m_job.stopFlag())
            return MEDIA_ERR_STOPPED;
        int err = in.read(m_packet.get());
        if (err == AVERROR_EOF && in.endedEarly(clip.end)) {
            engineLog("%s ends before the clip's range does: the file is cut off or damaged",
                      in.path().c_str());
            return MEDIA_ERR_INPUT;
        }
        if (err == AVERROR_EOF)
            break;
        if (err < 0)
            return mediaError(err, ("reading " + in.path()).c_str(), MEDIA_ERR_INPUT);
        AVPacket *packet = m_packet.get();
        const int index = packet->stream_index;
        const bool isVideo = index == video && !videoDone;
        const bool isAudio = index == audio && !audioDone;
        int64_t ts = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
        if ((!isVideo && !isAudio) || ts == AV_NOPTS_VALUE) {
            av_packet_unref(packet);
            continue;
        }
        int64_t t = in.toFileTime(index, ts);
        bool key = packet->flags & AV_PKT_FLAG_KEY;
        const AVRational inBase = in.stream(index)->time_base;
        int64_t length = av_rescale_q(packet->duration, inBase, AV_TIME_BASE_Q);
        // A picture whose length the demuxer does not give lasts one frame, or the next clip would
        // start on top of it.
        if (length <= 0 && isVideo && in.frameRate(index).num > 0)
            length = av_rescale_q(1, av_inv_q(in.frameRate(index)), AV_TIME_BASE_Q);
        bool &started = isVideo ? videoStarted : audioStarted;
        // Video starts on the key frame at the range start; sound with the packet that plays there (from
        // a file's start, its encoder-delay packets too).
        bool before = isVideo ? !(key && t >= clip.start - kSameTime)
                              : clip.start > 0 && t + length <= clip.start + kSameTime;
        if (!started && before) {
            av_packet_unref(packet);
            continue;
        }
        started = true;
        if (clip.end > 0) {
            int64_t decodeTime = packet->dts != AV_NOPTS_VALUE ? in.toFileTime(index, packet->dts) : t;
            bool past =
                isVideo ? (key && t >= clip.end - kSameTime) || decodeTime >= clip.end : t >= clip.end;
            if (past) {
                (isVideo ? videoDone : audioDone) = true;
                av_packet_unref(packet);
                continue;
            }
        }
        if (isVideo || video < 0)
            reached = std::max(reached, t - clip.start + length);

        if (isVideo && packet->pts != AV_NOPTS_VALUE) {
            if (firstPicture == AV_NOPTS_VALUE)
                firstPicture = packet->pts;
            if (packet->dts == AV_NOPTS_VALUE)
                packet->dts = decodeTimeOf(in, index, *packet, firstPicture, undated++);
        }

        AVStream *out = isVideo ? m_videoStream : m_audioStream;
        int64_t shift = in.fromFileTime(index, clip.start);
        if (packet->pts != AV_NOPTS_VALUE)
            packet->pts -= shift;
        if (packet->dts != AV_NOPTS_VALUE)
            packet->dts -= shift;
        av_packet_rescale_ts(packet, inBase, out->time_base);
        int64_t outOffset = av_rescale_q(offset, AV_TIME_BASE_Q, out->time_base);
        if (packet->pts != AV_NOPTS_VALUE)
            packet->pts += outOffset;
        if (packet->dts != AV_NOPTS_VALUE) {
            packet->dts += outOffset;
            // A seam where one clip's sound overhangs its pictures must not step back in time.
            int64_t &last = m_lastDts[size_t(out->index)];
            if (last != INT64_MIN && packet->dts <= last)
                packet->dts = last + 1;
            if (packet->pts != AV_NOPTS_VALUE && packet->pts < packet->dts)
                packet->pts = packet->dts;
            last = packet->dts;
        }
        packet->stream_index = out->index;
        packet->pos = -1;
        r = write(packet, isVideo || video < 0);
        av_packet_unref(packet);
        if (r < 0)
            return r;
        copied |= isVideo || video < 0;
    }
    if (!copied)
        return nothingInRange(index);
    offset += reached;
    return MEDIA_OK;
}

// ---- Re-encode ---------------------------------------------------------------------------------

int JoinPipeline::plan(const AVOutputFormat *format, bool strict)
{
    const JoinJob::Settings &s = m_job.settings();
    m_out.video = m_videoRef >= 0 && ContainerTable::holdsVideo(format);
    m_out.audio = m_audioRef >= 0 && ContainerTable::holdsAudio(format);
    m_videoCodec = m_audioCodec = nullptr;
    if (!m_out.video && !m_out.audio) {
        engineLog("%s holds none of the clips' streams", format->name);
        return MEDIA_ERR_ENCODER;
    }
    if (m_out.video) {
        InputFile &ref = *m_inputs[size_t(m_videoRef)];
        m_videoCodec = Encoder::choose(format, isCopyOrUnset(s.videoCodec) ? "" : s.videoCodec,
                                       ref.stream(ref.videoStream())->codecpar->codec_id, AV_CODEC_ID_H264,
                                       format->video_codec, strict);
        if (!m_videoCodec)
            return MEDIA_ERR_ENCODER;
    }
    if (m_out.audio) {
        InputFile &ref = *m_inputs[size_t(m_audioRef)];
        m_audioCodec = Encoder::choose(format, isCopyOrUnset(s.audioCodec) ? "" : s.audioCodec,
                                       ref.stream(ref.audioStreams().front())->codecpar->codec_id,
                                       AV_CODEC_ID_AAC, format->audio_codec, strict);
        if (!m_audioCodec)
            return MEDIA_ERR_ENCODER;
    }
    return MEDIA_OK;
}

int JoinPipeline::openEncoders()
{
    const JoinJob::Settings &s = m_job.settings();
    bool keepCodec = isCopyOrUnset(s.videoCodec);
    if (m_out.video) {
        InputFile &ref = *m_inputs[size_t(m_videoRef)];
        AVStream *in = ref.stream(ref.videoStream());
        const AVCodecParameters *p = in->codecpar;
        int width = s.width, height = s.height;
        if (width <= 0 || height <= 0) {
            // The first clip's picture as shown: square pixels, upright.
            AVRational sar = squareIfUnset(p->sample_aspect_ratio);
            width = int(std::lround(p->width * av_q2d(sar)));
            height = p->height;
            int rotation = ref.rotation(ref.videoStream());
            if (rotation == 90 || rotation == 270)
                std::swap(width, height);
        }
        m_out.width = std::max(2, width & ~1);
        m_out.height = std::max(2, height & ~1);
        AVRational rate = s.fps > 0 ? av_d2q(s.fps, 1001000) : ref.frameRate(ref.videoStream());
        m_out.frameRate = rate.num > 0 ? rate : AVRational{25, 1};
        AVPixelFormat source = p->format >= 0 ? AVPixelFormat(p->format) : AV_PIX_FMT_YUV420P;
        m_out.pixelFormat = m_videoCodec->pix_fmts ? avcodec_find_best_pix_fmt_of_list(m_videoCodec->pix_fmts,
                                                                                       source, 0, nullptr)
                                                   : source;

        int r = m_videoEncoder.create(m_videoCodec);
        if (r < 0)
            return r;
        AVCodecContext *enc = m_videoEncoder.context();
        enc->width = m_out.width;
        enc->height = m_out.height;
        enc->pix_fmt = AVPixelFormat(m_out.pixelFormat);
        enc->sample_aspect_ratio = {1, 1};
        enc->framerate = m_out.frameRate;
        enc->time_base = av_inv_q(m_out.frameRate);
        if (s.videoKbps > 0)
            enc->bit_rate = int64_t(s.videoKbps) * 1000;
        else if (keepCodec && m_videoCodec->id == p->codec_id)
            enc->bit_rate = p->bit_rate;
        if ((r = m_videoEncoder.open(m_format->flags & AVFMT_GLOBALHEADER)) < 0)
            return r;
        if ((r = m_output.addStream(enc, m_videoStream)) < 0)
            return r;
    }
    if (m_out.audio) {
        InputFile &ref = *m_inputs[size_t(m_audioRef)];
        const AVCodecParameters *p = ref.stream(ref.audioStreams().front())->codecpar;
        const AVCodec *codec = m_audioCodec;
        int r = m_audioEncoder.create(codec);
        if (r < 0)
            return r;
        AVCodecContext *enc = m_audioEncoder.context();
        m_audioEncoder.setAudioFormat(s.sampleRate > 0 ? s.sampleRate : p->sample_rate,
                                      s.channels > 0 ? s.channels : p->ch_layout.nb_channels,
                                      AVSampleFormat(p->format));
        if (s.audioKbps > 0)
            enc->bit_rate = int64_t(s.audioKbps) * 1000;
        else if (isCopyOrUnset(s.audioCodec) && codec->id == p->codec_id)
            enc->bit_rate = p->bit_rate;
        if ((r = m_audioEncoder.open(m_format->flags & AVFMT_GLOBALHEADER)) < 0)
            return r;
        m_out.sampleRate = enc->sample_rate;
        m_out.sampleFormat = enc->sample_fmt;
        av_channel_layout_copy(&m_out.layout, &enc->ch_layout);
        if (m_out.layout.order != AV_CHANNEL_ORDER_NATIVE) {
            av_channel_layout_uninit(&m_out.layout);
            av_channel_layout_default(&m_out.layout, enc->ch_layout.nb_channels);
        }
        if ((r = m_audioChunker.create(false, JoinGraphBuilder::audioSourceArgs(m_out), "")) < 0)
            return r;
        if (!(codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE) && enc->frame_size > 0)
            m_audioChunker.setFrameSize(enc->frame_size);
        if ((r = m_output.addStream(enc, m_audioStream)) < 0)
            return r;
    }
    return MEDIA_OK;
}

void JoinPipeline::planTimeline()
{
    // Units per second: frames when there is video, else samples.
    AVRational unitRate = m_out.video ? m_out.frameRate : AVRational{m_out.sampleRate, 1};
    auto toUnits = [&](int64_t us) {
        return av_rescale_rnd(us, unitRate.num, int64_t(unitRate.den) * 1000000, AV_ROUND_NEAR_INF);
    };
    std::vector<int64_t> units;
    for (size_t i = 0; i < m_clips.size(); ++i)
        units.push_back(std::max<int64_t>(1, toUnits(lengthOf(i))));
    int64_t start = 0, incoming = 0;
    for (size_t i = 0; i < m_clips.size(); ++i) {
        Segment segment;
        segment.start = start;
        segment.units = units[i];
        const JoinJob::Clip &clip = m_clips[i];
        if (i + 1 < m_clips.size() && clip.transition != 0 && clip.transitionLength > 0) {
            // Longer than what is left of either clip: shortened to fit.
            segment.overlap = std::max<int64_t>(
                0, std::min({toUnits(clip.transitionLength), units[i] - incoming, units[i + 1]}));
        }
        m_segments.push_back(segment);
        start += segment.units - segment.overlap;
        incoming = segment.overlap;
    }
    m_totalUnits = std::max<int64_t>(1, m_segments.back().start + m_segments.back().units);
    m_plannedDuration =
        std::max<int64_t>(1, av_rescale(m_totalUnits, int64_t(unitRate.den) * 1000000, unitRate.num));
}

int64_t JoinPipeline::samplesAt(int64_t unit) const
{
    if (!m_out.video)
        return unit;
    return av_rescale_rnd(unit, int64_t(m_out.sampleRate) * m_out.frameRate.den, m_out.frameRate.num,
                          AV_ROUND_NEAR_INF);
}

int JoinPipeline::rewind(size_t index)
{
    return m_inputs[index]->seek(m_clips[index].start);
}

int JoinPipeline::openReader(size_t index, std::unique_ptr<JoinClipReader> &reader)
{
    const Segment &segment = m_segments[index];
    int r = rewind(index);
    if (r < 0)
        return r;
    reader = std::make_unique<JoinClipReader>();
    int64_t samples = m_out.audio ? samplesAt(segment.start + segment.units) - samplesAt(segment.start) : 0;
    // Seams are met by both streams, except where none is: before a clip that no transition blends into,
    // its pictures may start late, and the last clip's streams end where the file's do.
    JoinClipReader::Edges edges;
    edges.pictureMayStartLate = index == 0 || m_segments[index - 1].overlap == 0;
    edges.mayEndEarly = index + 1 == m_clips.size();
    return reader->open(m_clips[index], m_inputs[index], m_out, m_out.video ? segment.units : 0, samples,
                        edges, &m_job.stopFlag());
}

int JoinPipeline::runEncode()
{
    // Members, so that a stopped job frees their decoders with the rest of the pipeline.
    std::unique_ptr<JoinClipReader> &current = m_current, &next = m_next;
    int r = openReader(0, current);
    for (size_t i = 0; r >= 0 && i < m_clips.size(); ++i) {
        if ((r = encodeBody(i, *current)) < 0)
            break;
        if (i + 1 < m_clips.size()) {
            if ((r = openReader(i + 1, next)) < 0)
                break;
            if (m_segments[i].overlap > 0 && (r = encodeTransition(i, *current, *next)) < 0)
                break;
        }
        if (current->foundNothing())
            return nothingInRange(i);
        current = std::move(next);
    }
    return r;
}

int64_t JoinPipeline::lengthOf(size_t index) const
{
    return index + 1 == m_clips.size() ? m_clips[index].lengthAsLast() : m_clips[index].length();
}

int JoinPipeline::nothingInRange(size_t index) const
{
    engineLog("%s holds nothing in the range of clip %zu", m_clips[index].path.c_str(), index + 1);
    return MEDIA_ERR_NOTHING_IN_RANGE;
}

int JoinPipeline::encodeBody(size_t index, JoinClipReader &reader)
{
    const Segment &segment = m_segments[index];
    const int64_t videoEnd = m_out.video ? segment.units - segment.overlap : 0;
    const int64_t audioStart = samplesAt(segment.start);
    const int64_t audioEnd =
        m_out.audio ? samplesAt(segment.start + segment.units - segment.overlap) - audioStart : 0;
    const AVRational videoBase = av_inv_q(m_out.frameRate);
    const AVRational audioBase{1, std::max(1, m_out.sampleRate)};
    bool videoOver = false, audioOver = false; // the clip's stream ended early (see openReader)
    for (;;) {
        if (m_job.stopFlag())
            return MEDIA_ERR_STOPPED;
        bool video = !videoOver && reader.videoRead() < videoEnd;
        bool audio = !audioOver && reader.audioRead() < audioEnd;
        if (!video && !audio)
            return MEDIA_OK;
        if (video && (!audio || av_compare_ts(segment.start + reader.videoRead(), videoBase,
                                              audioStart + reader.audioRead(), audioBase) <= 0)) {
            int r = reader.readVideo(m_frame.get());
            if ((videoOver = r == AVERROR_EOF))
                continue;
            if (r < 0)
                return r;
            m_frame->pts += segment.start;
            r = writeVideo(m_frame.get());
            av_frame_unref(m_frame.get());
            if (r < 0)
                return r;
        } else {
            int r = reader.readAudio(m_frame.get(), audioEnd - reader.audioRead());
            if ((audioOver = r == AVERROR_EOF))
                continue;
            if (r < 0)
                return r;
            m_frame->pts += audioStart;
            r = writeAudio(m_frame.get());
            av_frame_unref(m_frame.get());
            if (r < 0)
                return r;
        }
    }
}

int JoinPipeline::encodeTransition(size_t index, JoinClipReader &from, JoinClipReader &to)
{
    const JoinJob::Clip &clip = m_clips[index];
    const Segment &segment = m_segments[index];
    const Segment &nextSegment = m_segments[index + 1];
    int r = MEDIA_OK;
    auto check = [](int result) { return result == AVERROR_EOF ? int(MEDIA_ERR_GENERIC) : result; };

    if (m_out.video) {
        // Picture by picture: the ending clip's frame k and the beginning clip's frame k make blend k.
        JoinTransitionGraph graph;
        if ((r = graph.create(
                 true, JoinGraphBuilder::videoSourceArgs(m_out),
                 JoinGraphBuilder::transitionChain(true, clip.transition, segment.overlap, m_out))) < 0)
            return r;
        int64_t written = 0;
        auto drain = [&]() {
            for (;;) {
                int err = graph.pull(m_filtered.get());
                if (err == AVERROR(EAGAIN) || err == AVERROR_EOF)
                    return int(MEDIA_OK);
                if (err < 0)
                    return mediaError(err, "blending the transition");
                int result = MEDIA_OK;
                if (written < segment.overlap) {
                    m_filtered->pts = nextSegment.start + written++;
                    result = writeVideo(m_filtered.get());
                }
                av_frame_unref(m_filtered.get());
                if (result < 0)
                    return result;
            }
        };
        for (int64_t k = 0; k < segment.overlap; ++k) {
            if (m_job.stopFlag())
                return MEDIA_ERR_STOPPED;
            if ((r = check(from.readVideo(m_frame.get()))) < 0 ||
                (r = check(to.readVideo(m_other.get()))) < 0)
                return r;
            m_frame->pts = m_other->pts = k;
            if ((r = graph.push(0, m_frame.get())) < 0 || (r = graph.push(1, m_other.get())) < 0 ||
                (r = drain()) < 0)
                return r;
        }
        if ((r = graph.push(0, nullptr)) < 0 || (r = graph.push(1, nullptr)) < 0 || (r = drain()) < 0)
            return r;
        if (written < segment.overlap)
            engineLog("the transition gave %lld of %lld pictures", (long long)written,
                      (long long)segment.overlap);
    }

    if (m_out.audio) {
        const int64_t start = samplesAt(nextSegment.start);
        const int64_t length = samplesAt(segment.start + segment.units) - start;
        if (length <= 0)
            return MEDIA_OK;
        JoinTransitionGraph graph;
        if ((r = graph.create(false, JoinGraphBuilder::audioSourceArgs(m_out),
                              JoinGraphBuilder::transitionChain(false, clip.transition, length, m_out))) < 0)
            return r;
        auto feed = [&](JoinClipReader &reader, int input) {
            for (int64_t fed = 0; fed < length;) {
                int result = check(reader.readAudio(m_frame.get(), length - fed));
                if (result < 0)
                    return result;
                m_frame->pts = fed;
                fed += m_frame->nb_samples;
                if ((result = graph.push(input, m_frame.get())) < 0)
                    return result;
            }
            return int(MEDIA_OK);
        };
        // acrossfade blends once the first input has ended; the second ends after the blend is out.
        if ((r = feed(from, 0)) < 0 || (r = graph.push(0, nullptr)) < 0 || (r = feed(to, 1)) < 0)
            return r;
        int64_t written = 0;
        bool closed = false;
        for (;;) {
            int err = graph.pull(m_filtered.get());
            if (err == AVERROR(EAGAIN) && !closed) {
                if ((r = graph.push(1, nullptr)) < 0)
                    return r;
                closed = true;
                continue;
            }
            if (err == AVERROR(EAGAIN) || err == AVERROR_EOF)
                break;
            if (err < 0)
                return mediaError(err, "blending the transition's sound");
            int64_t take = std::min<int64_t>(m_filtered->nb_samples, length - written);
            if (take > 0) {
                m_filtered->nb_samples = int(take);
                m_filtered->pts = start + written;
                written += take;
                r = writeAudio(m_filtered.get());
            }
            av_frame_unref(m_filtered.get());
            if (r < 0)
                return r;
        }
        if (written < length)
            engineLog("the transition gave %lld of %lld samples", (long long)written, (long long)length);
    }
    return MEDIA_OK;
}

int JoinPipeline::writeVideo(AVFrame *frame)
{
    frame->pict_type = AV_PICTURE_TYPE_NONE;
    return encode(m_videoEncoder, m_videoStream, frame);
}

int JoinPipeline::writeAudio(AVFrame *frame)
{
    int r = m_audioChunker.push(frame);
    return r < 0 ? r : pullAudio();
}

int JoinPipeline::pullAudio()
{
    for (;;) {
        int err = m_audioChunker.pull(m_filtered.get());
        if (err == AVERROR(EAGAIN) || err == AVERROR_EOF)
            return MEDIA_OK;
        if (err < 0)
            return mediaError(err, "framing the audio");
        int r = encode(m_audioEncoder, m_audioStream, m_filtered.get());
        av_frame_unref(m_filtered.get());
        if (r < 0)
            return r;
    }
}

int JoinPipeline::encode(Encoder &encoder, AVStream *stream, AVFrame *frame)
{
    int r = encoder.send(frame);
    if (r < 0)
        return r;
    PacketPtr &packet = m_packet;
    for (;;) {
        int err = encoder.receive(packet.get());
        if (err == AVERROR(EAGAIN) || err == AVERROR_EOF)
            return MEDIA_OK;
        if (err < 0)
            return mediaError(err, "encoding");
        av_packet_rescale_ts(packet.get(), encoder.context()->time_base, stream->time_base);
        packet->stream_index = stream->index;
        r = write(packet.get(), stream == m_videoStream || !m_videoStream);
        av_packet_unref(packet.get());
        if (r < 0)
            return r;
    }
}

int JoinPipeline::write(AVPacket *packet, bool leading)
{
    if (leading && packet->pts != AV_NOPTS_VALUE) {
        const AVRational base = m_output.context()->streams[packet->stream_index]->time_base;
        int64_t reached = av_rescale_q(packet->pts + packet->duration, base, AV_TIME_BASE_Q);
        m_job.reportProgress(100.0 * double(reached) / double(m_plannedDuration));
    }
    return m_output.write(packet);
}

int JoinPipeline::flush()
{
    int r = MEDIA_OK;
    if (m_out.video && (r = encode(m_videoEncoder, m_videoStream, nullptr)) < 0)
        return r;
    if (m_out.audio) {
        if ((r = m_audioChunker.push(nullptr)) < 0 || (r = pullAudio()) < 0 ||
            (r = encode(m_audioEncoder, m_audioStream, nullptr)) < 0)
            return r;
    }
    return MEDIA_OK;
}

} // namespace engine
