#include "engine/JoinJob.h"

#include "engine/EngineLog.h"
#include "engine/InputFile.h"
#include "engine/JoinPipeline.h"
#include "media/MediaJoin.h"

#include <algorithm>
#include <cstdio>

namespace engine {

namespace {

// Timestamps that differ by less than this are the same moment.
constexpr int64_t kSameTime = 1000;

// Where the file's pictures end (microseconds on its timeline), else where the file ends: a clip of a
// whole file lasts as long as its pictures, so sound running past the last one adds no held picture.
int64_t contentEnd(const InputFile &input)
{
    int index = input.videoStream();
    if (index < 0)
        return input.duration();
    const AVStream *s = input.stream(index);
    int64_t start = s->start_time != AV_NOPTS_VALUE ? s->start_time : 0;
    if (s->duration > 0 && s->duration != AV_NOPTS_VALUE)
        return input.toFileTime(index, start + s->duration);
    // Matroska keeps a stream's length in its DURATION tag ("HH:MM:SS.fraction").
    if (const AVDictionaryEntry *tag = av_dict_get(s->metadata, "DURATION", nullptr, 0)) {
        unsigned hours = 0, minutes = 0;
        double seconds = 0;
        if (sscanf(tag->value, "%u:%u:%lf", &hours, &minutes, &seconds) == 3 && seconds >= 0) {
            int64_t length = int64_t(((hours * 60.0 + minutes) * 60.0 + seconds) * 1e6 + 0.5);
            // Written as where the stream ends, counted from the timestamp 0 (as the file's own length is)
            // where read from the stream's start it would run past the file's end.
            int64_t end = input.toFileTime(index, start) + length;
            if (end > input.duration() + kSameTime)
                end = input.toFileTime(index, 0) + length;
            if (length > 0)
                return end;
        }
    }
    return input.duration();
}

} // namespace

JoinJob::Clip *JoinJob::clip(int id)
{
    return id >= 1 && size_t(id) <= m_clips.size() ? &m_clips[size_t(id) - 1] : nullptr;
}

int JoinJob::addClip(const std::string &path, uint64_t start, uint64_t end)
{
    if (start > uint64_t(INT64_MAX) || end > uint64_t(INT64_MAX) || (end != 0 && end <= start)) {
        engineLog("refusing the empty or invalid range %llu..%llu of %s", (unsigned long long)start,
                  (unsigned long long)end, path.c_str());
        return 0;
    }
    auto opened = std::make_shared<InputFile>();
    if (opened->open(path) < 0)
        return 0;
    const InputFile &input = *opened;
    Clip c;
    c.path = path;
    c.input = opened;
    c.fileDuration = contentEnd(input);
    c.hasVideo = input.videoStream() >= 0;
    c.hasAudio = !input.audioStreams().empty();
    c.fileEnd = c.hasAudio ? std::max(input.duration(), c.fileDuration) : c.fileDuration;
    c.start = int64_t(start);
    c.end = c.fileEnd > 0 && int64_t(end) >= c.fileEnd ? 0 : int64_t(end);
    // A range after the pictures but within the sound is the sound's (as the last clip).
    if (c.fileEnd > 0 && c.start >= c.fileEnd) {
        engineLog("the clip starts at %lld us, after the end of %s", (long long)c.start, path.c_str());
        return 0;
    }
    m_clips.push_back(c);
    return int(m_clips.size());
}

int JoinJob::setVolume(int id, double volume)
{
    Clip *c = clip(id);
    // The negated test also refuses NaN.
    if (!c || !(volume >= 0 && volume <= 10))
        return MEDIA_ERR_ARGUMENT;
    c->volume = volume;
    return MEDIA_OK;
}

int JoinJob::setTransition(int id, int code, int64_t length)
{
    Clip *c = clip(id);
    if (!c || code < MEDIA_TRANSITION_NONE || code > MEDIA_TRANSITION_FADE || length < 0)
        return MEDIA_ERR_ARGUMENT;
    c->transition = length > 0 ? code : MEDIA_TRANSITION_NONE;
    c->transitionLength = c->transition != MEDIA_TRANSITION_NONE ? length : 0;
    return MEDIA_OK;
}

void JoinJob::reportProgress(double percent)
{
    percent = std::clamp(percent, 0.0, 99.9);
    double now = m_progress.load(std::memory_order_relaxed);
    while (percent > now && !m_progress.compare_exchange_weak(now, percent))
        ;
}

int JoinJob::start()
{
    int result = runPipelineOnce(!m_clips.empty() && !m_settings.outputPath.empty(),
                                 std::make_unique<JoinPipeline>(*this));
    if (result > 0)
        m_progress.store(100.0);
    return result;
}

} // namespace engine
