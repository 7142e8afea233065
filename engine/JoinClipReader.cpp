#include "engine/JoinClipReader.h"

#include "engine/EngineLog.h"

#include <algorithm>

namespace engine {

namespace {

constexpr int kSilenceChunk = 1024;

} // namespace

int JoinClipReader::open(const JoinJob::Clip &clip, std::shared_ptr<InputFile> input,
                         const JoinFormat &format, int64_t frames, int64_t samples, Edges edges,
                         const std::atomic<bool> *stop)
{
    m_clip = &clip;
    m_edges = edges;
    m_input = std::move(input);
    m_format = format;
    m_stop = stop;
    m_frames = format.video ? frames : 0;
    m_samples = format.audio ? samples : 0;
    m_frame = makeFrame();
    m_filtered = makeFrame();
    m_lastVideo = makeFrame();
    m_packet = makePacket();
    if (!m_frame || !m_filtered || !m_lastVideo || !m_packet)
        return MEDIA_ERR_NO_MEMORY;
    int r = MEDIA_OK;
    if (m_frames > 0 && m_input->videoStream() >= 0 && (r = openVideo()) < 0)
        return r;
    if (m_samples > 0 && !m_input->audioStreams().empty() && (r = openAudio()) < 0)
        return r;
    return MEDIA_OK;
}

int JoinClipReader::openVideo()
{
    int index = m_input->videoStream();
    AVStream *in = m_input->stream(index);
    int r = m_videoDecoder.open(in);
    if (r < 0)
        return r;
    VideoSource source = FilterGraphBuilder::videoSource(*m_input, index, m_videoDecoder.context());
    if ((r = JoinGraphBuilder::buildClipVideo(source, m_format, m_videoGraph)) < 0)
        return r;
    m_videoStream = index;
    m_videoInputDone = false;
    return MEDIA_OK;
}

int JoinClipReader::openAudio()
{
    int index = m_input->audioStreams().front();
    int r = m_audioDecoder.open(m_input->stream(index));
    if (r < 0)
        return r;
    AudioSource source;
    FilterGraphBuilder::audioSource(m_audioDecoder.context(), source);
    r = JoinGraphBuilder::buildClipAudio(source, m_clip->volume, m_format, m_audioGraph);
    av_channel_layout_uninit(&source.layout);
    if (r < 0)
        return r;
    m_audioStream = index;
    m_audioInputDone = false;
    return MEDIA_OK;
}

int JoinClipReader::pump()
{
    if (m_stop && m_stop->load(std::memory_order_relaxed))
        return MEDIA_ERR_STOPPED;
    int err = m_input->read(m_packet.get());
    if (err == AVERROR_EOF) {
        // A clip is never padded out to a length its file promises but has lost.
        if ((!m_videoInputDone || !m_audioInputDone) && m_input->endedEarly(m_clip->end)) {
            engineLog("%s ends before the clip's range does: the file is cut off or damaged",
                      m_input->path().c_str());
            return MEDIA_ERR_INPUT;
        }
        int r = MEDIA_OK;
        if (!m_videoInputDone && ((r = decode(m_videoDecoder, nullptr, true)) < 0 || (r = endVideo()) < 0))
            return r;
        if (!m_audioInputDone && ((r = decode(m_audioDecoder, nullptr, false)) < 0 || (r = endAudio()) < 0))
            return r;
        return MEDIA_OK;
    }
    if (err < 0)
        return mediaError(err, ("reading " + m_input->path()).c_str(), MEDIA_ERR_INPUT);
    int r = MEDIA_OK;
    if (m_packet->stream_index == m_videoStream && !m_videoInputDone)
        r = decode(m_videoDecoder, m_packet.get(), true);
    else if (m_packet->stream_index == m_audioStream && !m_audioInputDone)
        r = decode(m_audioDecoder, m_packet.get(), false);
    av_packet_unref(m_packet.get());
    return r;
}

int JoinClipReader::decode(Decoder &decoder, const AVPacket *packet, bool video)
{
    int r = decoder.send(packet);
    if (r < 0)
        return r;
    for (;;) {
        int err = decoder.receive(m_frame.get());
        if (err == AVERROR(EAGAIN) || err == AVERROR_EOF)
            return MEDIA_OK;
        if (err < 0)
            return mediaError(err, ("decoding " + m_input->path()).c_str(), MEDIA_ERR_INPUT);
        r = video ? filterVideo(m_frame.get()) : filterAudio(m_frame.get());
        av_frame_unref(m_frame.get());
        if (r < 0)
            return r;
    }
}

int JoinClipReader::filterVideo(AVFrame *frame)
{
    int64_t ts = frame->best_effort_timestamp != AV_NOPTS_VALUE ? frame->best_effort_timestamp : frame->pts;
    if (ts == AV_NOPTS_VALUE || m_videoInputDone)
        return MEDIA_OK;
    int64_t local = m_input->toFileTime(m_videoStream, ts) - m_clip->start;
    AVRational rate = m_format.frameRate;
    // The rate filter repeats a first picture that starts late back to the range start; where no seam
    // needs those repeats, they are left out.
    if (!m_videoPushed && m_edges.pictureMayStartLate && local > 0)
        m_leadingSlots = av_rescale_rnd(local, rate.num, int64_t(rate.den) * 1000000, AV_ROUND_NEAR_INF);
    m_videoPushed = true;
    frame->pts = ts - m_input->fromFileTime(m_videoStream, m_clip->start);
    frame->pict_type = AV_PICTURE_TYPE_NONE;
    int r = m_videoGraph.push(frame);
    if (r < 0 || (r = pullVideo()) < 0)
        return r;
    // A picture at or past the range end closes the graph: the rate filter then fills up to it.
    if (local >= av_rescale(m_frames, int64_t(1000000) * rate.den, rate.num))
        return endVideo();
    return MEDIA_OK;
}

int JoinClipReader::filterAudio(AVFrame *frame)
{
    int64_t ts = frame->best_effort_timestamp != AV_NOPTS_VALUE ? frame->best_effort_timestamp : frame->pts;
    if (ts == AV_NOPTS_VALUE || m_audioInputDone || frame->sample_rate <= 0)
        return MEDIA_OK;
    int64_t local = m_input->toFileTime(m_audioStream, ts) - m_clip->start;
    if (local >= av_rescale(m_samples, 1000000, m_format.sampleRate))
        return endAudio();
    AVRational timeBase = m_input->stream(m_audioStream)->time_base;
    frame->pts = av_rescale_q(ts - m_input->fromFileTime(m_audioStream, m_clip->start), timeBase,
                              AVRational{1, frame->sample_rate});
    int r = m_audioGraph.push(frame);
    return r < 0 ? r : pullAudio();
}

int JoinClipReader::endVideo()
{
    if (m_videoInputDone)
        return MEDIA_OK;
    int r = m_videoGraph.push(nullptr);
    if (r >= 0)
        r = pullVideo();
    m_videoInputDone = true;
    return r;
}

int JoinClipReader::endAudio()
{
    if (m_audioInputDone)
        return MEDIA_OK;
    int r = m_audioGraph.push(nullptr);
    if (r >= 0)
        r = pullAudio();
    m_audioInputDone = true;
    return r;
}

int JoinClipReader::pullVideo()
{
    for (;;) {
        int err = m_videoGraph.pull(m_filtered.get());
        if (err == AVERROR(EAGAIN) || err == AVERROR_EOF)
            return MEDIA_OK;
        if (err < 0)
            return mediaError(err, "filtering the video");
        if (m_videoQueued < m_frames && m_skippedSlots < m_leadingSlots) {
            ++m_skippedSlots;
            ++m_videoQueued;
        } else if (m_videoQueued < m_frames) {
            FramePtr queued = makeFrame();
            if (!queued)
                return MEDIA_ERR_NO_MEMORY;
            av_frame_move_ref(queued.get(), m_filtered.get());
            m_videoQueue.push_back(std::move(queued));
            ++m_videoQueued;
        }
        av_frame_unref(m_filtered.get());
    }
}

int JoinClipReader::pullAudio()
{
    const int64_t tolerance = m_format.sampleRate / 1000; // a millisecond
    for (;;) {
        int err = m_audioGraph.pull(m_filtered.get());
        if (err == AVERROR(EAGAIN) || err == AVERROR_EOF)
            return MEDIA_OK;
        if (err < 0)
            return mediaError(err, "filtering the audio");
        // Sound that starts late, or pauses, is given silence in the gap so it stays on time.
        int64_t gap = m_filtered->pts != AV_NOPTS_VALUE ? m_filtered->pts - m_audioQueued : 0;
        while (gap > tolerance && m_audioQueued < m_samples) {
            FramePtr silence = makeFrame();
            int length = int(std::min<int64_t>(gap, kSilenceChunk));
            int r = silence ? makeSilence(silence.get(), length) : MEDIA_ERR_NO_MEMORY;
            if (r < 0)
                return r;
            m_audioQueue.push_back(std::move(silence));
            m_audioQueued += length;
            gap -= length;
        }
        if (m_audioQueued < m_samples) {
            FramePtr queued = makeFrame();
            if (!queued)
                return MEDIA_ERR_NO_MEMORY;
            av_frame_move_ref(queued.get(), m_filtered.get());
            m_audioQueued += queued->nb_samples;
            m_audioQueue.push_back(std::move(queued));
        }
        av_frame_unref(m_filtered.get());
    }
}

int JoinClipReader::readVideo(AVFrame *frame)
{
    if (m_videoRead >= m_frames)
        return AVERROR_EOF;
    while (m_videoQueue.empty() && !m_videoInputDone) {
        int r = pump();
        if (r < 0)
            return r;
    }
    m_videoRead = std::max(m_videoRead, m_skippedSlots);
    if (m_videoRead >= m_frames || (m_videoQueue.empty() && m_videoStream >= 0 && m_edges.mayEndEarly))
        return AVERROR_EOF;
    int r = MEDIA_OK;
    if (!m_videoQueue.empty()) {
        av_frame_move_ref(frame, m_videoQueue.front().get());
        m_videoQueue.pop_front();
        av_frame_unref(m_lastVideo.get());
        if (av_frame_ref(m_lastVideo.get(), frame) < 0)
            return MEDIA_ERR_NO_MEMORY;
    } else if (m_lastVideo->buf[0]) {
        r = av_frame_ref(frame, m_lastVideo.get()) < 0 ? MEDIA_ERR_NO_MEMORY : MEDIA_OK;
    } else {
        r = makeBlack(frame);
    }
    if (r < 0)
        return r;
    frame->pts = m_videoRead++;
    return 0;
}

int JoinClipReader::readAudio(AVFrame *frame, int64_t limit)
{
    if (m_audioRead >= m_samples || limit <= 0)
        return AVERROR_EOF;
    while (m_audioQueue.empty() && !m_audioInputDone) {
        int r = pump();
        if (r < 0)
            return r;
    }
    if (m_audioQueue.empty() && m_audioStream >= 0 && m_edges.mayEndEarly)
        return AVERROR_EOF;
    int64_t left = std::min(limit, m_samples - m_audioRead);
    if (!m_audioQueue.empty()) {
        av_frame_move_ref(frame, m_audioQueue.front().get());
        m_audioQueue.pop_front();
    } else {
        int r = makeSilence(frame, int(std::min<int64_t>(left, kSilenceChunk)));
        if (r < 0)
            return r;
    }
    if (frame->nb_samples > left) {
        // Keep the rest for the next call: a seam or a transition may fall inside a frame.
        int rest = frame->nb_samples - int(left);
        FramePtr tail = makeFrame();
        if (!tail || makeSilence(tail.get(), rest) < 0)
            return MEDIA_ERR_NO_MEMORY;
        av_samples_copy(tail->extended_data, frame->extended_data, 0, int(left), rest,
                        frame->ch_layout.nb_channels, AVSampleFormat(frame->format));
        m_audioQueue.push_front(std::move(tail));
        frame->nb_samples = int(left); // the buffer stays; only the count shrinks
    }
    frame->pts = m_audioRead;
    m_audioRead += frame->nb_samples;
    return 0;
}

int JoinClipReader::makeBlack(AVFrame *frame)
{
    frame->format = m_format.pixelFormat;
    frame->width = m_format.width;
    frame->height = m_format.height;
    if (av_frame_get_buffer(frame, 0) < 0)
        return MEDIA_ERR_NO_MEMORY;
    ptrdiff_t linesizes[4] = {frame->linesize[0], frame->linesize[1], frame->linesize[2], frame->linesize[3]};
    const AVPixFmtDescriptor *desc = av_pix_fmt_desc_get(AVPixelFormat(m_format.pixelFormat));
    bool full = desc && std::string(desc->name).rfind("yuvj", 0) == 0;
    int err =
        av_image_fill_black(frame->data, linesizes, AVPixelFormat(m_format.pixelFormat),
                            full ? AVCOL_RANGE_JPEG : AVCOL_RANGE_MPEG, m_format.width, m_format.height);
    return err < 0 ? mediaError(err, "drawing a black picture") : MEDIA_OK;
}

int JoinClipReader::makeSilence(AVFrame *frame, int samples)
{
    frame->format = m_format.sampleFormat;
    frame->sample_rate = m_format.sampleRate;
    frame->nb_samples = samples;
    av_channel_layout_copy(&frame->ch_layout, &m_format.layout);
    if (av_frame_get_buffer(frame, 0) < 0)
        return MEDIA_ERR_NO_MEMORY;
    av_samples_set_silence(frame->extended_data, 0, samples, frame->ch_layout.nb_channels,
                           AVSampleFormat(m_format.sampleFormat));
    return MEDIA_OK;
}

} // namespace engine
