#include "engine/InputFile.h"

#include "engine/EngineLog.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace engine {

namespace {

bool usableVideo(const AVStream *s)
{
    const AVCodecParameters *p = s->codecpar;
    return p->codec_type == AVMEDIA_TYPE_VIDEO && !(s->disposition & AV_DISPOSITION_ATTACHED_PIC) &&
           p->width > 0 && p->height > 0 && avcodec_find_decoder(p->codec_id);
}

bool usableAudio(const AVStream *s)
{
    const AVCodecParameters *p = s->codecpar;
    return p->codec_type == AVMEDIA_TYPE_AUDIO && p->sample_rate > 0 && p->ch_layout.nb_channels > 0 &&
           avcodec_find_decoder(p->codec_id);
}

// Where a seek that missed its key frame looks next: this much before the time, doubled each time.
constexpr int64_t kStepBack = 1000000;
// Timestamps that differ by less than this are the same moment.
constexpr int64_t kSameTime = 1000;
// Data that ends this close to the file's promised end is whole: containers round their durations,
// and a last packet may not say how long it lasts.
constexpr int64_t kPromiseTolerance = 2000000;

constexpr int kReadBufferSize = 64 * 1024;

// Where one reader of the opened file stands.
struct ReadPosition
{
    int file = -1;
    int64_t offset = 0;
    const std::atomic<bool> *const *stop = nullptr; // the file's stop flag, as it is set now
};

int readFile(void *opaque, uint8_t *data, int size)
{
    auto *at = static_cast<ReadPosition *>(opaque);
    if (*at->stop && (*at->stop)->load(std::memory_order_relaxed))
        return AVERROR_EXIT;
    for (;;) {
        ssize_t n = pread(at->file, data, size_t(size), at->offset);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return AVERROR(errno);
        if (n == 0)
            return AVERROR_EOF;
        at->offset += n;
        return int(n);
    }
}

int64_t seekInFile(void *opaque, int64_t offset, int whence)
{
    auto *at = static_cast<ReadPosition *>(opaque);
    struct stat info;
    if (whence == AVSEEK_SIZE || (whence & ~AVSEEK_FORCE) == SEEK_END) {
        if (fstat(at->file, &info) != 0)
            return AVERROR(errno);
        if (whence == AVSEEK_SIZE)
            return int64_t(info.st_size);
    }
    int64_t to = 0;
    switch (whence & ~AVSEEK_FORCE) {
    case SEEK_SET: to = offset; break;
    case SEEK_CUR: to = at->offset + offset; break;
    case SEEK_END: to = int64_t(info.st_size) + offset; break;
    default: return AVERROR(EINVAL);
    }
    if (to < 0)
        return AVERROR(EINVAL);
    at->offset = to;
    return to;
}

} // namespace

void InputFile::ReaderDeleter::operator()(AVIOContext *io) const
{
    delete static_cast<ReadPosition *>(io->opaque);
    av_freep(&io->buffer);
    avio_context_free(&io);
}

InputFile::~InputFile()
{
    m_context.reset();
    m_reader.reset();
    if (m_file >= 0)
        close(m_file);
}

int InputFile::open(const std::string &path, const std::atomic<bool> *stop)
{
    m_path = path;
    m_stop = stop;
    struct stat info;
    // Looked at before it is opened: opening a FIFO would block, a device would never end.
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        engineLog("%s is not a regular file", path.c_str());
        return MEDIA_ERR_INPUT;
    }
    if (m_file >= 0)
        close(m_file);
    m_file = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (m_file < 0 || fstat(m_file, &info) != 0 || !S_ISREG(info.st_mode)) {
        engineLog("cannot open %s as a regular file", path.c_str());
        return MEDIA_ERR_INPUT;
    }
    int r = openStreams();
    if (r < 0)
        return r;
    for (unsigned i = 0; i < m_context->nb_streams; ++i) {
        const AVStream *s = m_context->streams[i];
        if (m_videoStream < 0 && usableVideo(s))
            m_videoStream = int(i);
        else if (usableAudio(s))
            m_audioStreams.push_back(int(i));
    }
    if (m_videoStream < 0 && m_audioStreams.empty()) {
        engineLog("%s holds no audio or video stream that can be decoded", path.c_str());
        return MEDIA_ERR_INPUT;
    }
    return MEDIA_OK;
}

int InputFile::openStreams()
{
    auto *buffer = static_cast<unsigned char *>(av_malloc(kReadBufferSize));
    auto *position = buffer ? new (std::nothrow) ReadPosition{m_file, 0, &m_stop} : nullptr;
    ReaderPtr reader(position ? avio_alloc_context(buffer, kReadBufferSize, 0, position, readFile, nullptr,
                                                   seekInFile)
                              : nullptr);
    if (!reader) {
        delete position;
        av_free(buffer);
        return MEDIA_ERR_NO_MEMORY;
    }
    AVFormatContext *raw = avformat_alloc_context();
    if (!raw)
        return MEDIA_ERR_NO_MEMORY;
    raw->interrupt_callback = interruptOn(m_stop);
    raw->pb = reader.get();
    // The path still names the format where its contents leave it open (the extension).
    int err = avformat_open_input(&raw, m_path.c_str(), nullptr, nullptr);
    if (err < 0) // avformat_open_input frees the context on failure
        return mediaError(err, ("opening " + m_path).c_str(), MEDIA_ERR_INPUT);
    InputFormatPtr context(raw);
    err = avformat_find_stream_info(raw, nullptr);
    if (err < 0)
        return mediaError(err, ("reading the streams of " + m_path).c_str(), MEDIA_ERR_INPUT);
    if (m_context && m_context->nb_streams != raw->nb_streams) {
        engineLog("%s changed while it was read", m_path.c_str());
        return MEDIA_ERR_INPUT;
    }
    m_context = std::move(context);
    m_reader = std::move(reader); // after the context that read through the old one is gone
    m_pending.clear();
    m_reached = INT64_MIN;
    m_atStart = true;
    return MEDIA_OK;
}

void InputFile::setStopFlag(const std::atomic<bool> *stop)
{
    m_stop = stop;
    m_context->interrupt_callback = interruptOn(stop);
}

int64_t InputFile::startTime() const
{
    return m_context->start_time == AV_NOPTS_VALUE ? 0 : m_context->start_time;
}

int64_t InputFile::duration() const
{
    const int64_t header = m_context->duration;
    if (header > 0 && startTime() > 0 &&
        m_context->duration_estimation_method == AVFMT_DURATION_FROM_STREAM) {
        // mp4 and Matroska keep the end of the file in their header, counted from the timestamp 0 rather
        // than from the first one: a file whose timestamps begin at 10 s says it lasts 10 s longer than
        // it does. FFmpeg's own reckoning from the streams' lengths already counts from the start.
        // Matroska streams often carry no length of their own: then only the header can be corrected.
        const int64_t streamsEnd = usedStreamsEnd();
        if (streamsEnd != INT64_MIN && std::llabs(streamsEnd - header) <= kSameTime)
            return header;
        return std::max<int64_t>(header - startTime(), 1);
    }
    if (header > 0)
        return header;
    int64_t longest = 0;
    for (unsigned i = 0; i < m_context->nb_streams; ++i) {
        const AVStream *s = m_context->streams[i];
        if (s->duration > 0)
            longest = std::max(longest, av_rescale_q(s->duration, s->time_base, AV_TIME_BASE_Q));
    }
    return longest;
}

int64_t InputFile::usedStreamsEnd() const
{
    int64_t end = INT64_MIN;
    auto reach = [&](int index) {
        const AVStream *s = stream(index);
        if (s->start_time != AV_NOPTS_VALUE && s->duration > 0)
            end = std::max(end, toFileTime(index, s->start_time + s->duration));
    };
    if (m_videoStream >= 0)
        reach(m_videoStream);
    for (int index : m_audioStreams)
        reach(index);
    return end;
}

AVRational InputFile::frameRate(int streamIndex) const
{
    return usableFrameRate(av_guess_frame_rate(m_context.get(), stream(streamIndex), nullptr));
}

int InputFile::rotation(int streamIndex) const
{
    const auto *matrix = reinterpret_cast<const int32_t *>(
        av_stream_get_side_data(stream(streamIndex), AV_PKT_DATA_DISPLAYMATRIX, nullptr));
    if (!matrix)
        return 0;
    double theta = -av_display_rotation_get(matrix);
    if (std::isnan(theta))
        return 0;
    int quarter = int(std::lround(theta / 90.0));
    return ((quarter % 4) + 4) % 4 * 90;
}

int64_t InputFile::toFileTime(int streamIndex, int64_t ts) const
{
    return av_rescale_q(ts, stream(streamIndex)->time_base, AV_TIME_BASE_Q) - startTime();
}

int64_t InputFile::fromFileTime(int streamIndex, int64_t us) const
{
    return av_rescale_q(us + startTime(), AV_TIME_BASE_Q, stream(streamIndex)->time_base);
}

int64_t InputFile::keyFrameTimeFor(int64_t us)
{
    if (m_videoStream < 0 || seek(us) < 0)
        return INT64_MIN;
    PacketPtr packet = makePacket();
    if (!packet)
        return INT64_MIN;
    // The first video packet after a seek is the key frame it landed on; give up after a few hundred
    // packets of other streams.
    for (int guard = 0; guard < 500 && read(packet.get()) >= 0; ++guard) {
        bool found = packet->stream_index == m_videoStream && (packet->flags & AV_PKT_FLAG_KEY);
        int64_t pts = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
        av_packet_unref(packet.get());
        if (found)
            return pts == AV_NOPTS_VALUE ? INT64_MIN : toFileTime(m_videoStream, pts);
    }
    return INT64_MIN;
}

int InputFile::seek(int64_t us)
{
    m_reached = INT64_MIN;
    for (int64_t back = 0;; back = back ? back * 2 : kStepBack) {
        m_pending.clear();
        if (us - back <= 0)
            return rewind();
        int r = seekNear(us - back);
        if (r < 0 || m_videoStream < 0 || landedOnKeyFrameBefore(us))
            return r;
    }
}

int InputFile::rewind()
{
    return m_atStart ? MEDIA_OK : openStreams();
}

int InputFile::seekNear(int64_t us)
{
    m_atStart = false;
    int err = avformat_seek_file(m_context.get(), -1, INT64_MIN, us + startTime(), us + startTime(), 0);
    if (err < 0)
        return mediaError(err, "seeking the input", MEDIA_ERR_INPUT);
    return MEDIA_OK;
}

bool InputFile::landedOnKeyFrameBefore(int64_t us)
{
    for (int guard = 0; guard < 500; ++guard) {
        PacketPtr packet = makePacket();
        if (!packet || av_read_frame(m_context.get(), packet.get()) < 0)
            return true; // nothing better to find by stepping back
        m_pending.push_back(std::move(packet));
        const AVPacket *p = m_pending.back().get();
        if (p->stream_index != m_videoStream)
            continue;
        int64_t pts = p->pts != AV_NOPTS_VALUE ? p->pts : p->dts;
        return (p->flags & AV_PKT_FLAG_KEY) && pts != AV_NOPTS_VALUE &&
               toFileTime(m_videoStream, pts) <= us + kSameTime;
    }
    return true;
}

int InputFile::read(AVPacket *packet)
{
    m_atStart = false;
    int err = 0;
    if (!m_pending.empty()) {
        av_packet_move_ref(packet, m_pending.front().get());
        m_pending.pop_front();
    } else {
        err = av_read_frame(m_context.get(), packet);
    }
    // Every stream counts: a subtitle or data stream may be what makes the file as long as it says.
    const int64_t ts = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
    if (err == 0 && ts != AV_NOPTS_VALUE)
        m_reached = std::max(m_reached,
                             toFileTime(packet->stream_index, ts + std::max<int64_t>(packet->duration, 0)));
    return err;
}

bool InputFile::holdsIn(int streamIndex, int64_t start, int64_t end)
{
    if (seek(start) < 0)
        return false;
    PacketPtr packet = makePacket();
    if (!packet)
        return false;
    while (read(packet.get()) >= 0) {
        const AVPacket *p = packet.get();
        const int64_t pts = p->pts != AV_NOPTS_VALUE ? p->pts : p->dts;
        const int64_t dts = p->dts != AV_NOPTS_VALUE ? p->dts : p->pts;
        const bool ours = p->stream_index == streamIndex && pts != AV_NOPTS_VALUE;
        const int64_t from = ours ? toFileTime(streamIndex, pts) : 0;
        const int64_t to = ours ? toFileTime(streamIndex, pts + std::max<int64_t>(p->duration, 1)) : 0;
        // A picture belongs to the range it starts in, as a cut keeps it; sound to every range it plays in.
        const bool reaches =
            streamIndex == m_videoStream ? from >= start - kSameTime / 2 : to > start + kSameTime;
        // Packets come in decode order: once one decodes at the end, none after it plays before.
        const bool past = ours && end > 0 && toFileTime(streamIndex, dts) >= end;
        av_packet_unref(packet.get());
        if (ours && reaches && (end <= 0 || from < end - kSameTime))
            return true;
        if (past)
            return false;
    }
    return false;
}

bool InputFile::endedEarly(int64_t us) const
{
    const int64_t promised = duration();
    if (promised <= 0 || m_context->duration_estimation_method == AVFMT_DURATION_FROM_BITRATE)
        return false;
    const int64_t end = us > 0 ? std::min(us, promised) : promised;
    // Short of the promise by more than rounding, and short of the range.
    return m_reached == INT64_MIN ||
           (m_reached + kPromiseTolerance < promised && m_reached + kSameTime < end);
}

} // namespace engine
