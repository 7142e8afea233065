#include "engine/JoinJob.h"

#include "engine/Encoder.h"
#include "engine/EngineLog.h"
#include "engine/InputFile.h"
#include "engine/JoinPipeline.h"
#include "engine/OutputFile.h"
#include "media/MediaJoin.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace engine {

namespace {

std::string trimmed(const char *text)
{
    std::string s = text ? text : "";
    auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
    s.erase(s.begin(), std::find_if_not(s.begin(), s.end(), blank));
    s.erase(std::find_if_not(s.rbegin(), s.rend(), blank).base(), s.end());
    return s;
}

int checkedCodec(const char *name, std::string &setting)
{
    std::string codec = trimmed(name);
    if (!codec.empty() && codec != "copy" && !Encoder::find(codec)) {
        engineLog("no usable encoder named %s", codec.c_str());
        return MEDIA_ERR_ENCODER;
    }
    setting = codec;
    return MEDIA_OK;
}

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
            if (length > 0)
                return input.toFileTime(index, start) + length;
        }
    }
    return input.duration();
}

} // namespace

JoinJob::Clip *JoinJob::clip(int id)
{
    return id >= 1 && size_t(id) <= m_clips.size() ? &m_clips[size_t(id) - 1] : nullptr;
}

int JoinJob::setOutputPath(const std::string &path)
{
    int result = OutputFile::checkPath(path);
    if (result < 0)
        return result;
    m_settings.outputPath = path;
    return MEDIA_OK;
}

int JoinJob::addClip(const std::string &path, uint64_t start, uint64_t end)
{
    if (start > uint64_t(INT64_MAX) || end > uint64_t(INT64_MAX) || (end != 0 && end <= start)) {
        engineLog("refusing the empty or invalid range %llu..%llu of %s", (unsigned long long)start,
                  (unsigned long long)end, path.c_str());
        return 0;
    }
    InputFile input;
    if (input.open(path) < 0)
        return 0;
    Clip c;
    c.path = path;
    c.fileDuration = contentEnd(input);
    c.start = int64_t(start);
    c.end = c.fileDuration > 0 && int64_t(end) >= c.fileDuration ? 0 : int64_t(end);
    c.hasVideo = input.videoStream() >= 0;
    c.hasAudio = !input.audioStreams().empty();
    if (c.fileDuration > 0 && c.start >= c.fileDuration) {
        engineLog("the clip starts at %lld us, after the end of %s", (long long)c.start, path.c_str());
        return 0;
    }
    m_clips.push_back(c);
    return int(m_clips.size());
}

int JoinJob::setVolume(int id, int volume)
{
    Clip *c = clip(id);
    if (!c || volume < 0 || volume > 10)
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

int JoinJob::setVideoCodec(const char *name)
{
    return checkedCodec(name, m_settings.videoCodec);
}
int JoinJob::setAudioCodec(const char *name)
{
    return checkedCodec(name, m_settings.audioCodec);
}

int JoinJob::setVideoBitrate(int kbps)
{
    if (kbps < 0)
        return MEDIA_ERR_ARGUMENT;
    m_settings.videoKbps = kbps;
    return MEDIA_OK;
}

int JoinJob::setAudioBitrate(int kbps)
{
    if (kbps < 0)
        return MEDIA_ERR_ARGUMENT;
    m_settings.audioKbps = kbps;
    return MEDIA_OK;
}

int JoinJob::setFps(double fps)
{
    if (!(fps >= 0) || fps > 1000)
        return MEDIA_ERR_ARGUMENT;
    m_settings.fps = fps;
    return MEDIA_OK;
}

int JoinJob::setFrameSize(int width, int height)
{
    if (width < 0 || height < 0 || (width == 0) != (height == 0) || width == 1 || height == 1)
        return MEDIA_ERR_ARGUMENT;
    m_settings.width = width & ~1; // 4:2:0 pictures need even sizes
    m_settings.height = height & ~1;
    return MEDIA_OK;
}

int JoinJob::setAudioEncodeContext(int channels, int sampleRate)
{
    if (channels < 0 || channels > 8 || sampleRate < 0 || sampleRate > 384000)
        return MEDIA_ERR_ARGUMENT;
    m_settings.channels = channels;
    m_settings.sampleRate = sampleRate;
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
    if (m_started) {
        engineLog("a join job runs only once");
        return MEDIA_ERR_ARGUMENT;
    }
    m_started = true;
    if (m_clips.empty() || m_settings.outputPath.empty()) {
        engineLog("the join needs clips and an output path before it starts");
        return MEDIA_ERR_ARGUMENT;
    }
    int result = m_stop ? MEDIA_ERR_STOPPED : JoinPipeline(*this).run();
    if (m_stop && result < 0)
        result = MEDIA_ERR_STOPPED;
    if (result > 0) {
        m_progress.store(100.0);
        return MEDIA_OK;
    }
    if (result == MEDIA_ERR_STOPPED)
        engineLog("join into %s stopped", m_settings.outputPath.c_str());
    return result;
}

} // namespace engine
