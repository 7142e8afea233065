/*
 * How a conversion runs. The caller of Start owns every context of the job, on its own thread:
 *
 *   InputFile --packets--> Decoder --frames--> FilterGraph --frames--> Encoder --packets--> OutputFile
 *        \------------------------------- stream copy -------------------------------------/
 *
 * run() plans each output track (copy or re-encode, which encoder, which container), opens the
 * stages, seeks to the cut start and pumps one packet at a time through them. Copying is chosen, when
 * no codec is asked for, only where it is exact: no filter, a cut that starts and ends on key frames,
 * a container that takes the codec. Where the cut is not on key frames, a smart cut (SmartCut) copies
 * the video between the first and the last key frame inside the range and encodes only the seams;
 * it is planned before the muxer is chosen and gives way to a full re-encode when it cannot be sure.
 *
 * Time: m_offset is the file time that becomes the output's 0. It is the first video frame kept when
 * video is re-encoded (so the output starts exactly on a frame) unless the sound plays from more than a
 * frame before it (sound that starts ahead of the picture: then where that sound starts), else the cut
 * start (or the key frame a stream copy starts on). Audio decoded before it is known waits in
 * m_waitingAudio; its graph then trims it sample-exactly to the output range. Copied audio packets wait
 * in m_waitingPackets and start with the first packet at or after it.
 *
 * Stopping: the job's stop flag is tested per packet and wakes blocked reads and writes through the
 * interrupt callbacks. The size limit is tested before each packet is written; the file then ends
 * there with its trailer, as a success. With pictures, a size-limited output writes them in runs that
 * leave no gap in display order (pictures coded out of order wait for the ones they skip), and holds
 * the sound until the pictures reach it, so the file ends on one moment for both tracks and the job can
 * report it (a split goes on from there and loses nothing).
 */
#include "engine/ConversionPipeline.h"

#include "engine/ContainerTable.h"
#include "engine/ConversionJob.h"
#include "engine/EngineLog.h"
#include "engine/FilterGraphBuilder.h"
#include "engine/SubtitleCues.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <string>

namespace engine {

namespace {

// Timestamps that differ by less than this are the same moment (microsecond rounding of time bases).
constexpr int64_t kSameTime = 1000;
// Audio frames that may wait for the first video frame (about 20 s of AAC).
constexpr size_t kMaxWaitingAudio = 1000;

} // namespace

ConversionPipeline::ConversionPipeline(ConversionJob &job) : m_job(job), m_input(job.probe().input()) {}

int ConversionPipeline::run()
{
    const ConversionJob::Settings &s = m_job.settings();
    m_edits = m_job.edits();
    m_frame = makeFrame();
    m_filtered = makeFrame();
    m_packet = makePacket();
    m_encoded = makePacket();
    if (!m_frame || !m_filtered || !m_packet || !m_encoded)
        return MEDIA_ERR_NO_MEMORY;
    m_input.setStopFlag(&m_job.stopFlag());
    int r = MEDIA_OK;

    int64_t duration = m_input.duration();
    m_cutStart = s.cutStart;
    m_cutEnd = duration > 0 && s.cutEnd >= duration ? 0 : s.cutEnd;
    if (duration > 0 && m_cutStart >= duration) {
        engineLog("the cut starts at %lld us, after the end of the input", (long long)m_cutStart);
        return MEDIA_ERR_ARGUMENT;
    }
    m_plannedDuration = std::max<int64_t>((m_cutEnd ? m_cutEnd : duration) - m_cutStart, 1);

    m_video.input = m_input.videoStream();
    if (m_video.input >= 0)
        m_videoZeroTs = m_input.fromFileTime(m_video.input, 0);
    const std::vector<int> &audio = m_input.audioStreams();
    m_audio.input = !s.mainAudio ? -1 : s.audioIndex >= 0 ? s.audioIndex : audio.empty() ? -1 : audio.front();
    dropVideoOutsideRange();
    if ((r = checkSubtitle()) < 0)
        return r;
    checkCopyCut();
    planSmartCut();

    // A container that takes the source's codecs as they are, else the first with what fits it.
    auto planFor = [this](const AVOutputFormat *format, bool strict) { return plan(format, strict); };
    if ((r = ContainerTable::choose(s.outputPath, planFor, m_format)) < 0)
        return r;
    if (m_smartCut && m_video.used && !m_video.smart)
        engineTrace("no smart cut (%s cannot carry the seams' parameter sets): the whole range is re-encoded",
                    m_format->name);
    engineTrace("converting %s to %s (%s): video %s, audio %s", m_input.path().c_str(), s.outputPath.c_str(),
                m_format->name,
              !m_video.used   ? "none"
              : m_video.smart ? "smart cut"
              : m_video.copy  ? "copy"
                              : m_video.encoderCodec->name,
              !m_audio.used  ? "none"
              : m_audio.copy ? "copy"
                             : m_audio.encoderCodec->name);

    if ((r = m_output.open(s.outputPath, m_format, &m_job.stopFlag())) < 0)
        return r;
    if (m_video.used && (r = m_video.copy ? openCopy(m_video) : openVideo()) < 0)
        return r;
    if (m_video.smart && (r = m_smartCut->describe(m_video.output->codecpar)) < 0)
        return r;
    if (m_audio.used && (r = m_audio.copy ? openCopy(m_audio) : openAudio()) < 0)
        return r;
    if ((r = m_output.writeHeader()) < 0)
        return r;

    if (m_video.smart) {
        if ((r = startTimelineAtPicture(m_smartCut->firstFrameTime(), m_smartCut->firstFrameTs())) < 0)
            return r;
    } else if (!m_video.used || m_video.copy) {
        int64_t start =
            m_video.used && m_startKey != INT64_MIN ? std::min(m_startKey, m_cutStart) : m_cutStart;
        if ((r = startTimeline(std::max<int64_t>(start, 0), AV_NOPTS_VALUE)) < 0)
            return r;
    }
    if ((r = m_input.seek(m_cutStart)) < 0)
        return r;

    bool ranOut = false;
    while (!m_limitReached) {
        if (m_job.stopFlag())
            return MEDIA_ERR_STOPPED;
        if ((!m_video.used || m_video.done) && (!m_audio.used || m_audio.done))
            break;
        int err = m_input.read(m_packet.get());
        if ((ranOut = err == AVERROR_EOF))
            break;
        if (err < 0)
            return mediaError(err, "reading the input", MEDIA_ERR_INPUT);
        r = handlePacket(m_packet.get());
        av_packet_unref(m_packet.get());
        if (r < 0)
            return r;
    }
    // Nothing is written for a range the file promises but has lost: no picture held, no silence made.
    if (ranOut && m_input.endedEarly(m_cutEnd)) {
        engineLog("%s ends before the asked range does: the file is cut off or damaged",
                  m_input.path().c_str());
        return MEDIA_ERR_INPUT;
    }
    if (!m_limitReached && (r = flush()) < 0)
        return r;
    if (!m_limitReached && (r = commitPictures(true)) < 0)
        return r;
    if (!m_limitReached && (r = releaseSound(true)) < 0)
        return r;
    if (m_job.stopFlag())
        return MEDIA_ERR_STOPPED;
    if ((r = checkWritten()) < 0)
        return r;
    if ((r = m_output.finish()) < 0)
        return r;
    // Where a size-limited output really ends, so that a split can go on from there.
    const int64_t origin = m_offset != AV_NOPTS_VALUE ? m_offset : m_cutStart;
    m_job.setEndTime(m_limitReached ? origin + m_writtenEnd
                     : s.cutEnd > 0 ? s.cutEnd
                                    : std::max<int64_t>(duration, 0));
    return r;
}

void ConversionPipeline::dropVideoOutsideRange()
{
    if (m_video.input < 0 || m_audio.input < 0 || (m_cutStart == 0 && m_cutEnd == 0))
        return;
    if (m_input.holdsIn(m_video.input, m_cutStart, m_cutEnd) ||
        !m_input.holdsIn(m_audio.input, m_cutStart, m_cutEnd))
        return;
    engineTrace("%s holds no picture in the asked range: the output holds its sound only",
                m_input.path().c_str());
    m_video.input = -1;
}

int ConversionPipeline::checkSubtitle() const
{
    const SUBTITLE_PARAM &subtitle = m_edits.subtitle;
    const std::string path(subtitle.path, strnlen(subtitle.path, sizeof subtitle.path));
    if (m_video.input < 0 || path.empty())
        return MEDIA_OK;
    const int r = SubtitleCues::check(path);
    if (r == MEDIA_OK)
        return MEDIA_OK;
    if (r == MEDIA_ERR_NOTHING_IN_RANGE)
        engineLog("the subtitle file %s holds no cue that can be read", path.c_str());
    else
        engineLog("the subtitle file %s cannot be read as text", path.c_str());
    return MEDIA_ERR_INPUT;
}

int ConversionPipeline::checkWritten() const
{
    const Track &leading = m_video.used ? m_video : m_audio;
    if (m_limitReached && leading.written == 0) {
        engineLog("the size limit of %lld bytes holds nothing of %s", (long long)m_job.settings().sizeLimit,
                  m_input.path().c_str());
        return MEDIA_ERR_ARGUMENT;
    }
    if (m_video.used && m_video.written == 0) {
        engineLog("%s holds no picture in the asked range", m_input.path().c_str());
        return MEDIA_ERR_NOTHING_IN_RANGE;
    }
    if (!m_audio.used || musicOnly() || m_audio.written > 0 || m_limitReached)
        return MEDIA_OK;
    // Sound that ends before the range is no fault of the file; sound missing inside it is.
    const AVStream *s = m_input.stream(m_audio.input);
    if (s->start_time != AV_NOPTS_VALUE && s->duration > 0 &&
        m_input.toFileTime(m_audio.input, s->start_time + s->duration) <= m_cutStart + kSameTime)
        return MEDIA_OK;
    engineLog("%s holds no sound in the asked range", m_input.path().c_str());
    return MEDIA_ERR_NOTHING_IN_RANGE;
}

void ConversionPipeline::checkCopyCut()
{
    if (m_video.input < 0)
        return;
    m_startKey = m_cutStart == 0 ? 0 : m_input.keyFrameTimeFor(m_cutStart);
    bool startExact = m_startKey != INT64_MIN && std::llabs(m_startKey - m_cutStart) <= kSameTime;
    bool endExact = m_cutEnd == 0;
    if (!endExact) {
        int64_t endKey = m_input.keyFrameTimeFor(m_cutEnd);
        endExact = endKey != INT64_MIN && std::llabs(endKey - m_cutEnd) <= kSameTime;
    }
    m_copyIsExact = startExact && endExact;
}

void ConversionPipeline::planSmartCut()
{
    if (m_video.input < 0 || m_copyIsExact || !m_job.settings().videoCodec.empty() || videoNeedsFilter())
        return;
    const auto formats = ContainerTable::candidates(m_job.settings().outputPath);
    if (std::none_of(formats.begin(), formats.end(), SmartCut::fits)) {
        if (ContainerTable::holdsVideo(formats.front()))
            engineTrace(
                "no smart cut (%s cannot carry the seams' parameter sets): the whole range is re-encoded",
                formats.front()->name);
        return;
    }
    m_smartCut = std::make_unique<SmartCut>(
        m_input, m_video.input, [this](AVPacket *p) { return writeSmart(p); }, &m_job.stopFlag());
    if (!m_smartCut->plan(m_cutStart, m_cutEnd))
        m_smartCut.reset();
}

bool ConversionPipeline::videoNeedsFilter() const
{
    const ConversionJob::Settings &s = m_job.settings();
    if (m_input.rotation(m_video.input) != 0 || s.videoKbps > 0 || m_edits.changesPicture())
        return true;
    const AVCodecParameters *p = m_input.stream(m_video.input)->codecpar;
    if (s.width > 0 && (s.width != p->width || s.height != p->height))
        return true;
    AVRational rate = av_guess_frame_rate(m_input.context(), m_input.stream(m_video.input), nullptr);
    return s.fps > 0 && (rate.num <= 0 || std::fabs(av_q2d(rate) - s.fps) > 0.01);
}

bool ConversionPipeline::audioNeedsFilter() const
{
    const ConversionJob::Settings &s = m_job.settings();
    const AVCodecParameters *p = m_input.stream(m_audio.input)->codecpar;
    return std::fabs(s.volume - 1.0) > 1e-6 || s.audioKbps > 0 || !m_edits.music.empty() ||
           (s.channels > 0 && s.channels != p->ch_layout.nb_channels) ||
           (s.sampleRate > 0 && s.sampleRate != p->sample_rate);
}

int ConversionPipeline::plan(const AVOutputFormat *format, bool strict)
{
    int r = planVideo(format, strict);
    if (r < 0)
        return r;
    if ((r = planAudio(format, strict)) < 0)
        return r;
    if (!m_video.used && !m_audio.used) {
        engineLog("%s holds none of the input's streams", format->name);
        return MEDIA_ERR_ENCODER;
    }
    return MEDIA_OK;
}

int ConversionPipeline::planVideo(const AVOutputFormat *format, bool strict)
{
    Track &t = m_video;
    t.used = t.input >= 0 && ContainerTable::holdsVideo(format);
    t.copy = false;
    t.smart = false;
    t.encoderCodec = nullptr;
    if (!t.used)
        return MEDIA_OK;
    const std::string &asked = m_job.settings().videoCodec;
    AVCodecID source = m_input.stream(t.input)->codecpar->codec_id;
    if (asked == "copy") {
        t.copy = ContainerTable::accepts(format, source);
        return t.copy ? MEDIA_OK : MEDIA_ERR_ENCODER;
    }
    if (m_smartCut && SmartCut::fits(format) && ContainerTable::accepts(format, source)) {
        t.copy = t.smart = true;
        return MEDIA_OK;
    }
    if (asked.empty() && ContainerTable::accepts(format, source) && m_copyIsExact && !videoNeedsFilter()) {
        t.copy = true;
        return MEDIA_OK;
    }
    t.encoderCodec = Encoder::choose(format, asked, source, AV_CODEC_ID_H264, format->video_codec, strict);
    return t.encoderCodec ? MEDIA_OK : MEDIA_ERR_ENCODER;
}

int ConversionPipeline::planAudio(const AVOutputFormat *format, bool strict)
{
    Track &t = m_audio;
    t.used = (t.input >= 0 || !m_edits.music.empty()) && ContainerTable::holdsAudio(format);
    t.copy = false;
    t.encoderCodec = nullptr;
    if (!t.used)
        return MEDIA_OK;
    const std::string &asked = m_job.settings().audioCodec;
    if (t.input < 0) { // music alone: the asked codec, else AAC or the container's own
        for (AVCodecID id : {AV_CODEC_ID_AAC, format->audio_codec}) {
            t.encoderCodec = !asked.empty() && asked != "copy" ? Encoder::find(asked) : Encoder::find(id);
            if (t.encoderCodec && ContainerTable::accepts(format, t.encoderCodec->id))
                return MEDIA_OK;
        }
        return MEDIA_ERR_ENCODER;
    }
    AVCodecID source = m_input.stream(t.input)->codecpar->codec_id;
    if (asked == "copy") {
        t.copy = ContainerTable::accepts(format, source);
        return t.copy ? MEDIA_OK : MEDIA_ERR_ENCODER;
    }
    if (asked.empty() && ContainerTable::accepts(format, source) && !audioNeedsFilter()) {
        t.copy = true;
        return MEDIA_OK;
    }
    t.encoderCodec = Encoder::choose(format, asked, source, AV_CODEC_ID_AAC, format->audio_codec, strict);
    return t.encoderCodec ? MEDIA_OK : MEDIA_ERR_ENCODER;
}

int ConversionPipeline::openCopy(Track &track)
{
    AVStream *in = m_input.stream(track.input);
    int r = m_output.addCopiedStream(in, track.output);
    if (r < 0 || (r = openBitstreamFilter(track)) < 0)
        return r;
    av_dict_copy(&track.output->metadata, in->metadata, 0);
    return MEDIA_OK;
}

int ConversionPipeline::openBitstreamFilter(Track &track)
{
    const AVCodecParameters *p = m_input.stream(track.input)->codecpar;
    if (!ContainerTable::needsStartCodes(m_format, p))
        return MEDIA_OK;
    const char *name = p->codec_id == AV_CODEC_ID_H264 ? "h264_mp4toannexb" : "hevc_mp4toannexb";
    AVBSFContext *raw = nullptr;
    int err = av_bsf_alloc(av_bsf_get_by_name(name), &raw);
    if (err < 0)
        return mediaError(err, "allocating the bitstream filter");
    track.bitstreamFilter.reset(raw);
    if ((err = avcodec_parameters_copy(raw->par_in, p)) < 0)
        return mediaError(err, "setting up the bitstream filter");
    raw->time_base_in = m_input.stream(track.input)->time_base;
    if ((err = av_bsf_init(raw)) < 0)
        return mediaError(err, "starting the bitstream filter");
    if ((err = avcodec_parameters_copy(track.output->codecpar, raw->par_out)) < 0)
        return mediaError(err, "describing the filtered stream");
    track.output->codecpar->codec_tag = 0;
    return MEDIA_OK;
}

int ConversionPipeline::openVideo()
{
    const ConversionJob::Settings &s = m_job.settings();
    AVStream *in = m_input.stream(m_video.input);
    int r = m_video.decoder.open(in);
    if (r < 0)
        return r;
    AVCodecContext *dec = m_video.decoder.context();
    VideoSource source = FilterGraphBuilder::videoSource(m_input, m_video.input, dec);
    // Frames enter the graph on file time (see filterVideo), so the edits' times need no shift.

    const AVCodec *codec = m_video.encoderCodec;
    VideoSettings settings;
    settings.width = s.width;
    settings.height = s.height;
    settings.frameRate = s.fps > 0 ? av_d2q(s.fps, 1001000) : source.frameRate;
    settings.format =
        codec->pix_fmts
            ? avcodec_find_best_pix_fmt_of_list(codec->pix_fmts, AVPixelFormat(source.format), 0, nullptr)
            : source.format;
    settings.edits = &m_edits;
    if ((r = FilterGraphBuilder::buildVideo(source, settings, m_video.graph)) < 0)
        return r;

    if ((r = m_video.encoder.create(codec)) < 0)
        return r;
    AVCodecContext *enc = m_video.encoder.context();
    enc->width = m_video.graph.width();
    enc->height = m_video.graph.height();
    enc->pix_fmt = AVPixelFormat(m_video.graph.format());
    enc->sample_aspect_ratio = m_video.graph.sampleAspectRatio();
    AVRational rate = usableFrameRate(m_video.graph.frameRate());
    enc->framerate = rate.num > 0 ? rate : source.frameRate;
    enc->time_base = rate.num > 0 ? av_inv_q(rate) : m_video.graph.timeBase();
    enc->color_range = dec->color_range;
    enc->color_primaries = dec->color_primaries;
    enc->color_trc = dec->color_trc;
    enc->colorspace = dec->colorspace;
    // No codec asked for: the source's rate keeps the quality and the size of the source.
    if (s.videoKbps > 0)
        enc->bit_rate = int64_t(s.videoKbps) * 1000;
    else if (s.videoCodec.empty() && codec->id == in->codecpar->codec_id)
        enc->bit_rate = in->codecpar->bit_rate;
    if ((r = m_video.encoder.open(m_format->flags & AVFMT_GLOBALHEADER)) < 0)
        return r;

    if ((r = m_output.addStream(enc, m_video.output)) < 0)
        return r;
    if (const AVDictionaryEntry *lang = av_dict_get(in->metadata, "language", nullptr, 0))
        av_dict_set(&m_video.output->metadata, "language", lang->value, 0);
    return MEDIA_OK;
}

int ConversionPipeline::openAudio()
{
    const ConversionJob::Settings &s = m_job.settings();
    AVStream *in = musicOnly() ? nullptr : m_input.stream(m_audio.input);
    int r = MEDIA_OK;
    if (in && (r = m_audio.decoder.open(in)) < 0)
        return r;
    // Music alone is mixed over silence of this format.
    int sourceRate = in ? m_audio.decoder.context()->sample_rate : 48000;
    int sourceChannels = in ? m_audio.decoder.context()->ch_layout.nb_channels : 2;
    AVSampleFormat sourceFormat = in ? m_audio.decoder.context()->sample_fmt : AV_SAMPLE_FMT_FLTP;
    const AVCodec *codec = m_audio.encoderCodec;
    if ((r = m_audio.encoder.create(codec)) < 0)
        return r;
    AVCodecContext *enc = m_audio.encoder.context();

    m_audio.encoder.setAudioFormat(s.sampleRate > 0 ? s.sampleRate : sourceRate,
                                   s.channels > 0 ? s.channels : sourceChannels, sourceFormat);
    if (s.audioKbps > 0)
        enc->bit_rate = int64_t(s.audioKbps) * 1000;
    else if (in && s.audioCodec.empty() && codec->id == in->codecpar->codec_id)
        enc->bit_rate = in->codecpar->bit_rate;
    if ((r = m_audio.encoder.open(m_format->flags & AVFMT_GLOBALHEADER)) < 0)
        return r;

    if ((r = m_output.addStream(enc, m_audio.output)) < 0)
        return r;
    if (!in)
        return MEDIA_OK;
    if (const AVDictionaryEntry *lang = av_dict_get(in->metadata, "language", nullptr, 0))
        av_dict_set(&m_audio.output->metadata, "language", lang->value, 0);
    return MEDIA_OK;
}

int ConversionPipeline::buildAudioGraph()
{
    AVCodecContext *dec = m_audio.decoder.context();
    AVCodecContext *enc = m_audio.encoder.context();
    AudioSource source;
    if (!dec) { // music alone: the source is closed at once; its format is the encoder's
        source.sampleRate = enc->sample_rate;
        source.format = enc->sample_fmt;
        av_channel_layout_copy(&source.layout, &enc->ch_layout);
    } else {
        FilterGraphBuilder::audioSource(dec, source);
    }
    AudioSettings settings;
    settings.volume = m_job.settings().volume;
    settings.trimStart = true;
    settings.trimEnd = m_cutEnd > 0 ? std::max<int64_t>(m_cutEnd - m_offset, 1) : 0;
    settings.sampleRate = enc->sample_rate;
    settings.format = enc->sample_fmt;
    av_channel_layout_copy(&settings.layout, &enc->ch_layout);
    settings.edits = &m_edits;
    settings.mainAudio = dec != nullptr;
    settings.timelineOffset = m_offset;
    settings.outputDuration = m_plannedDuration;
    int r = FilterGraphBuilder::buildAudio(source, settings, m_audio.graph);
    av_channel_layout_uninit(&source.layout);
    av_channel_layout_uninit(&settings.layout);
    if (r < 0)
        return r;
    if (!(m_audio.encoderCodec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE) && enc->frame_size > 0)
        m_audio.graph.setFrameSize(enc->frame_size);
    return MEDIA_OK;
}

int ConversionPipeline::startTimeline(int64_t offset, int64_t videoTs)
{
    m_offset = offset;
    if (m_video.used)
        m_videoOffsetTs = videoTs != AV_NOPTS_VALUE ? videoTs : m_input.fromFileTime(m_video.input, offset);
    int r = MEDIA_OK;
    if (m_audio.used && !m_audio.copy && (r = buildAudioGraph()) < 0)
        return r;
    // The audio that waited for this moment.
    while (!m_waitingAudio.empty() && r >= 0) {
        FramePtr waiting = std::move(m_waitingAudio.front());
        m_waitingAudio.pop_front();
        r = filterAudio(waiting.get());
    }
    while (!m_waitingPackets.empty() && r >= 0) {
        PacketPtr waiting = std::move(m_waitingPackets.front());
        m_waitingPackets.pop_front();
        r = copyPacket(m_audio, waiting.get());
    }
    return r;
}

int ConversionPipeline::startTimelineAtPicture(int64_t picture, int64_t ts)
{
    // Sound that plays from before the first picture (a file whose sound starts ahead of it) keeps its
    // start: the output then begins with it, and the picture follows where it starts.
    int64_t zero = picture;
    if (m_audio.used && !musicOnly()) {
        const AVStream *s = m_input.stream(m_audio.input);
        const AVRational rate = m_input.frameRate(m_video.input);
        const int64_t frame = rate.num > 0 ? av_rescale_q(1, av_inv_q(rate), AV_TIME_BASE_Q) : 0;
        const bool known = s->start_time != AV_NOPTS_VALUE;
        const int64_t sound =
            known ? std::max(m_cutStart, m_input.toFileTime(m_audio.input, s->start_time)) : 0;
        const bool playsThere =
            s->duration <= 0 || m_input.toFileTime(m_audio.input, s->start_time + s->duration) > sound;
        if (known && playsThere && frame > 0 && sound + frame < picture)
            zero = sound;
    }
    const AVRational tb = m_input.stream(m_video.input)->time_base;
    return startTimeline(zero, ts - av_rescale_q(picture - zero, AV_TIME_BASE_Q, tb));
}

int ConversionPipeline::handlePacket(AVPacket *packet)
{
    int index = packet->stream_index;
    if (m_video.used && index == m_video.input && !m_video.done) {
        if (!m_video.copy)
            return decode(m_video, packet);
        int64_t ts = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
        int r = MEDIA_OK;
        if (m_video.smart) {
            r = m_smartCut->handle(packet);
            m_video.done = m_smartCut->done();
        } else {
            r = copyPacket(m_video, packet);
        }
        return r < 0 ? r : followPicture(ts);
    }
    if (m_audio.used && index == m_audio.input && !m_audio.done)
        return m_audio.copy ? copyPacket(m_audio, packet) : decode(m_audio, packet);
    return MEDIA_OK;
}

int ConversionPipeline::followPicture(int64_t ts)
{
    if (!musicOnly() || !m_audio.graph.isValid() || ts == AV_NOPTS_VALUE)
        return MEDIA_OK;
    m_videoReached = std::max(m_videoReached, m_input.toFileTime(m_video.input, ts) - m_offset);
    return pullAudio();
}

int ConversionPipeline::writeSmart(AVPacket *packet)
{
    if (packet->pts != AV_NOPTS_VALUE)
        packet->pts -= m_videoOffsetTs;
    if (packet->dts != AV_NOPTS_VALUE)
        packet->dts -= m_videoOffsetTs;
    return writeCopied(m_video, packet);
}

int64_t ConversionPipeline::packetLength(const Track &track, const AVPacket *packet) const
{
    return packet->duration > 0
               ? av_rescale_q(packet->duration, m_input.stream(track.input)->time_base, {1, 1000000})
               : 0;
}

int ConversionPipeline::copyPacket(Track &track, AVPacket *packet)
{
    int64_t ts = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
    if (ts == AV_NOPTS_VALUE)
        return MEDIA_OK;
    int64_t t = m_input.toFileTime(track.input, ts);
    bool video = &track == &m_video;
    bool key = packet->flags & AV_PKT_FLAG_KEY;
    if (!track.started) {
        // Until the first kept video frame fixes the output's time 0 there is nothing to place a copied
        // packet against: audio in the range waits for it (the decoder holds a few frames back), so the
        // sound starts with the picture.
        if (m_offset == AV_NOPTS_VALUE) {
            if (video || t + packetLength(track, packet) <= m_cutStart - kSameTime)
                return MEDIA_OK;
            if (m_waitingPackets.size() < kMaxWaitingAudio) {
                PacketPtr copy(av_packet_clone(packet));
                if (!copy)
                    return MEDIA_ERR_NO_MEMORY;
                m_waitingPackets.push_back(std::move(copy));
                return MEDIA_OK;
            }
            engineTrace("no video frame in the first seconds of the cut; the audio starts at the cut");
            int r = startTimeline(m_cutStart, AV_NOPTS_VALUE);
            if (r < 0)
                return r;
        }
        // Video starts on the key frame the cut lands on, audio on its first packet in the range.
        if (video ? !(key && t >= m_offset - kSameTime) : t < m_offset - kSameTime)
            return MEDIA_OK;
        track.started = true;
    }
    if (m_cutEnd > 0) {
        int64_t decodeTime = packet->dts != AV_NOPTS_VALUE ? m_input.toFileTime(track.input, packet->dts) : t;
        bool past = video ? (key && t >= m_cutEnd - kSameTime) || decodeTime >= m_cutEnd : t >= m_cutEnd;
        if (past) {
            track.done = true;
            return MEDIA_OK;
        }
    }
    int64_t shift = video ? m_videoOffsetTs : m_input.fromFileTime(track.input, m_offset);
    if (packet->pts != AV_NOPTS_VALUE)
        packet->pts -= shift;
    if (packet->dts != AV_NOPTS_VALUE)
        packet->dts -= shift;
    return writeCopied(track, packet);
}

int ConversionPipeline::writeCopied(Track &track, AVPacket *packet)
{
    const AVRational inputBase = m_input.stream(track.input)->time_base;
    if (!track.bitstreamFilter) {
        av_packet_rescale_ts(packet, inputBase, track.output->time_base);
        packet->stream_index = track.output->index;
        packet->pos = -1;
        return writePacket(track, packet);
    }
    int err = av_bsf_send_packet(track.bitstreamFilter.get(), packet);
    if (err < 0)
        return mediaError(err, "rewriting a packet");
    while ((err = av_bsf_receive_packet(track.bitstreamFilter.get(), m_encoded.get())) == 0) {
        av_packet_rescale_ts(m_encoded.get(), inputBase, track.output->time_base);
        m_encoded->stream_index = track.output->index;
        m_encoded->pos = -1;
        int r = writePacket(track, m_encoded.get());
        if (r < 0)
            return r;
    }
    return err == AVERROR(EAGAIN) || err == AVERROR_EOF ? MEDIA_OK : mediaError(err, "rewriting a packet");
}

int ConversionPipeline::decode(Track &track, const AVPacket *packet)
{
    const bool video = &track == &m_video;
    int r = track.decoder.send(packet);
    if (r < 0)
        return r;
    while (!m_limitReached) {
        int err = track.decoder.receive(m_frame.get());
        if (err == AVERROR(EAGAIN) || err == AVERROR_EOF)
            return MEDIA_OK;
        if (err < 0)
            return mediaError(err, video ? "decoding the video" : "decoding the audio", MEDIA_ERR_INPUT);
        r = video ? filterVideo(m_frame.get()) : filterAudio(m_frame.get());
        av_frame_unref(m_frame.get());
        if (r < 0)
            return r;
    }
    return MEDIA_OK;
}

int ConversionPipeline::filterVideo(AVFrame *frame)
{
    int64_t ts = frame->best_effort_timestamp != AV_NOPTS_VALUE ? frame->best_effort_timestamp : frame->pts;
    if (ts == AV_NOPTS_VALUE || m_video.done)
        return MEDIA_OK;
    int64_t t = m_input.toFileTime(m_video.input, ts);
    if (t < m_cutStart - kSameTime / 2)
        return MEDIA_OK;
    if (m_cutEnd > 0 && t >= m_cutEnd - kSameTime / 2) {
        m_video.done = true;
        return MEDIA_OK;
    }
    if (m_offset == AV_NOPTS_VALUE) {
        int r = startTimelineAtPicture(t, ts);
        if (r < 0)
            return r;
    }
    frame->pts = ts - m_videoZeroTs;
    frame->pict_type = AV_PICTURE_TYPE_NONE;
    int r = m_video.graph.push(frame);
    return r < 0 ? r : pullVideo();
}

int ConversionPipeline::pullVideo()
{
    AVCodecContext *enc = m_video.encoder.context();
    while (!m_limitReached) {
        int err = m_video.graph.pull(m_filtered.get());
        if (err == AVERROR(EAGAIN) || err == AVERROR_EOF)
            return MEDIA_OK;
        if (err < 0)
            return mediaError(err, "filtering the video");
        // From file time to the output's: its 0 is the first frame kept.
        AVRational graphBase = m_video.graph.timeBase();
        int64_t zero = av_rescale_q(m_videoOffsetTs - m_videoZeroTs, m_input.stream(m_video.input)->time_base,
                                    graphBase);
        m_filtered->pts = av_rescale_q(m_filtered->pts - zero, graphBase, enc->time_base);
        m_videoReached = av_rescale_q(m_filtered->pts, enc->time_base, AV_TIME_BASE_Q);
        int r = encode(m_video, m_filtered.get());
        av_frame_unref(m_filtered.get());
        if (r < 0)
            return r;
        // Music alone has no packets to drive it: it follows the picture.
        if (musicOnly() && m_audio.graph.isValid() && (r = pullAudio()) < 0)
            return r;
    }
    return MEDIA_OK;
}

int ConversionPipeline::filterAudio(AVFrame *frame)
{
    int64_t ts = frame->best_effort_timestamp != AV_NOPTS_VALUE ? frame->best_effort_timestamp : frame->pts;
    if (ts == AV_NOPTS_VALUE || m_audio.done || frame->sample_rate <= 0)
        return MEDIA_OK;
    int64_t t = m_input.toFileTime(m_audio.input, ts);
    if (m_cutEnd > 0 && t >= m_cutEnd) {
        m_audio.done = true;
        return MEDIA_OK;
    }
    int64_t length = av_rescale(frame->nb_samples, 1000000, frame->sample_rate);
    if (t + length <= m_cutStart - kSameTime)
        return MEDIA_OK;
    if (m_offset == AV_NOPTS_VALUE) {
        if (m_waitingAudio.size() < kMaxWaitingAudio) {
            FramePtr copy(av_frame_clone(frame));
            if (!copy)
                return MEDIA_ERR_NO_MEMORY;
            m_waitingAudio.push_back(std::move(copy));
            return MEDIA_OK;
        }
        engineTrace("no video frame in the first seconds of the cut; the audio starts at the cut");
        int r = startTimeline(m_cutStart, AV_NOPTS_VALUE);
        if (r < 0)
            return r;
    }
    frame->pts = av_rescale(t - m_offset, frame->sample_rate, 1000000);
    int r = m_audio.graph.push(frame);
    return r < 0 ? r : pullAudio();
}

int ConversionPipeline::pullAudio()
{
    AVCodecContext *enc = m_audio.encoder.context();
    while (!m_limitReached) {
        int err = m_audio.graph.pull(m_filtered.get());
        if (err == AVERROR(EAGAIN) || err == AVERROR_EOF)
            return MEDIA_OK;
        if (err < 0)
            return mediaError(err, "filtering the audio");
        m_filtered->pts = av_rescale_q(m_filtered->pts, m_audio.graph.timeBase(), enc->time_base);
        int64_t reached = av_rescale_q(m_filtered->pts, enc->time_base, AV_TIME_BASE_Q);
        int r = encode(m_audio, m_filtered.get());
        av_frame_unref(m_filtered.get());
        if (r < 0)
            return r;
        // Music alone would run to its end at once; keep it just ahead of the picture.
        if (musicOnly() && m_video.used && !m_flushing && reached > m_videoReached)
            break;
    }
    return MEDIA_OK;
}

int ConversionPipeline::encode(Track &track, AVFrame *frame)
{
    int r = track.encoder.send(frame);
    if (r < 0)
        return r;
    AVCodecContext *enc = track.encoder.context();
    while (!m_limitReached) {
        int err = track.encoder.receive(m_encoded.get());
        if (err == AVERROR(EAGAIN) || err == AVERROR_EOF)
            return MEDIA_OK;
        if (err < 0)
            return mediaError(err, "encoding");
        av_packet_rescale_ts(m_encoded.get(), enc->time_base, track.output->time_base);
        m_encoded->stream_index = track.output->index;
        if ((r = writePacket(track, m_encoded.get())) < 0)
            return r;
    }
    return MEDIA_OK;
}

int ConversionPipeline::writeLimited(Track &track, AVPacket *packet)
{
    PacketPtr held(av_packet_clone(packet));
    av_packet_unref(packet);
    if (!held)
        return MEDIA_ERR_NO_MEMORY;
    if (&track == &m_audio) {
        m_heldSound.push_back(std::move(held));
        return releaseSound(false);
    }
    m_pendingPictures.push_back(std::move(held));
    return commitPictures(false);
}

// Writes the pending pictures once they cover the time from the written end to their own end with no
// gap (or at the end of the input), all of them or none: a run that would pass the limit ends the file.
int ConversionPipeline::commitPictures(bool atEnd)
{
    if (m_pendingPictures.empty())
        return MEDIA_OK;
    const AVRational tb = m_video.output->time_base;
    const AVRational rate = m_video.output->avg_frame_rate;
    int64_t covered = 0, end = m_writtenEnd, bytes = 0;
    for (const PacketPtr &p : m_pendingPictures) {
        int64_t length = p->duration > 0 ? av_rescale_q(p->duration, tb, AV_TIME_BASE_Q)
                         : rate.num > 0  ? av_rescale_q(1, av_inv_q(rate), AV_TIME_BASE_Q)
                                         : 0;
        if (p->pts != AV_NOPTS_VALUE)
            end = std::max(end, av_rescale_q(p->pts, tb, AV_TIME_BASE_Q) + length);
        covered += length;
        bytes += p->size;
    }
    // A gap waits for the pictures that fill it; a run that never closes is written after 64 pictures.
    if (!atEnd && covered + 1000 < end - m_writtenEnd && m_pendingPictures.size() < 64)
        return MEDIA_OK;
    if (m_output.sizeWith(bytes) > m_job.settings().sizeLimit) {
        endAtLimit();
        return MEDIA_OK;
    }
    while (!m_pendingPictures.empty()) {
        PacketPtr p = std::move(m_pendingPictures.front());
        m_pendingPictures.pop_front();
        int r = m_output.write(p.get());
        if (r < 0)
            return r;
        ++m_video.written;
    }
    m_writtenEnd = end;
    m_job.reportProgress(int(std::min<int64_t>(99, end * 100 / m_plannedDuration)));
    return releaseSound(false);
}

// Writes the held sound that the written pictures have reached (all of it at the end).
int ConversionPipeline::releaseSound(bool atEnd)
{
    const AVRational tb = m_audio.output ? m_audio.output->time_base : AV_TIME_BASE_Q;
    while (!m_heldSound.empty() && !m_limitReached) {
        AVPacket *p = m_heldSound.front().get();
        const int64_t end = av_rescale_q(p->pts + std::max<int64_t>(p->duration, 0), tb, AV_TIME_BASE_Q);
        if (!atEnd && p->pts != AV_NOPTS_VALUE && end > m_writtenEnd)
            break;
        if (m_output.sizeWith(p->size) > m_job.settings().sizeLimit) {
            endAtLimit();
            break;
        }
        PacketPtr held = std::move(m_heldSound.front());
        m_heldSound.pop_front();
        int r = m_output.write(held.get());
        if (r < 0)
            return r;
        ++m_audio.written;
    }
    return MEDIA_OK;
}

void ConversionPipeline::endAtLimit()
{
    engineTrace("size limit of %lld bytes reached; the output ends here",
                (long long)m_job.settings().sizeLimit);
    m_limitReached = true;
    m_pendingPictures.clear();
    m_heldSound.clear();
}

int ConversionPipeline::writePacket(Track &track, AVPacket *packet)
{
    int64_t limit = m_job.settings().sizeLimit;
    if (limit > 0 && m_video.used)
        return writeLimited(track, packet);
    bool leading = &track == &m_video || !m_video.used;
    if (limit > 0 && m_output.sizeWith(packet->size) > limit) {
        engineTrace("size limit of %lld bytes reached; the output ends here", (long long)limit);
        m_limitReached = true;
        av_packet_unref(packet);
        return MEDIA_OK;
    }
    if (leading && packet->pts != AV_NOPTS_VALUE) {
        int64_t reached =
            av_rescale_q(packet->pts + packet->duration, track.output->time_base, AV_TIME_BASE_Q);
        m_writtenEnd = std::max(m_writtenEnd, reached);
        m_job.reportProgress(int(std::min<int64_t>(99, reached * 100 / m_plannedDuration)));
    }
    ++track.written;
    return m_output.write(packet);
}

int ConversionPipeline::flush()
{
    int r = MEDIA_OK;
    if (m_video.used && !m_video.copy && !m_video.done && (r = decode(m_video, nullptr)) < 0)
        return r;
    if (m_video.smart && (r = m_smartCut->finish()) < 0)
        return r;
    if (m_audio.used && !m_audio.copy && !m_audio.done && !musicOnly() && (r = decode(m_audio, nullptr)) < 0)
        return r;
    // No video frame in the range: the cut start is the output's 0.
    if (m_offset == AV_NOPTS_VALUE && (r = startTimeline(m_cutStart, AV_NOPTS_VALUE)) < 0)
        return r;
    if (m_video.used && !m_video.copy) {
        if ((r = m_video.graph.push(nullptr)) < 0 || (r = pullVideo()) < 0 ||
            (r = encode(m_video, nullptr)) < 0)
            return r;
    }
    m_flushing = true;
    if (m_audio.used && !m_audio.copy && m_audio.graph.isValid()) {
        if ((!musicOnly() && (r = m_audio.graph.push(nullptr)) < 0) || (r = pullAudio()) < 0 ||
            (r = encode(m_audio, nullptr)) < 0)
            return r;
    }
    return MEDIA_OK;
}

} // namespace engine
