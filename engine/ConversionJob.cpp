#include "engine/ConversionJob.h"

#include "engine/ConversionPipeline.h"
#include "engine/EngineLog.h"
#include "engine/Encoder.h"
#include "engine/OutputFile.h"

#include <algorithm>
#include <cctype>
#include <cmath>

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

} // namespace

int ConversionJob::setInput(const std::string &path)
{
    if (m_hasInput) {
        engineLog("the job already has its input");
        return MEDIA_ERR_ARGUMENT;
    }
    int result = m_probe.open(path);
    if (result < 0)
        return result;
    m_hasInput = true;
    return MEDIA_OK;
}

int ConversionJob::setVideoCodec(const char *name) { return checkedCodec(name, m_settings.videoCodec); }
int ConversionJob::setAudioCodec(const char *name) { return checkedCodec(name, m_settings.audioCodec); }

int ConversionJob::setFrameSize(int width, int height)
{
    if (width < 0 || height < 0 || (width == 0) != (height == 0) || width == 1 || height == 1)
        return MEDIA_ERR_ARGUMENT;
    // 4:2:0 pictures need even sizes.
    m_settings.width = width & ~1;
    m_settings.height = height & ~1;
    return MEDIA_OK;
}

int ConversionJob::setFps(double fps)
{
    if (!(fps >= 0) || fps > 1000)
        return MEDIA_ERR_ARGUMENT;
    m_settings.fps = fps;
    return MEDIA_OK;
}

int ConversionJob::setVideoBitrate(int kbps)
{
    if (kbps < 0)
        return MEDIA_ERR_ARGUMENT;
    m_settings.videoKbps = kbps;
    return MEDIA_OK;
}

int ConversionJob::setAudioBitrate(int kbps)
{
    if (kbps < 0)
        return MEDIA_ERR_ARGUMENT;
    m_settings.audioKbps = kbps;
    return MEDIA_OK;
}

int ConversionJob::setAudioEncodeContext(int channels, int sampleRate)
{
    if (channels < 0 || channels > 8 || sampleRate < 0 || sampleRate > 384000)
        return MEDIA_ERR_ARGUMENT;
    m_settings.channels = channels;
    m_settings.sampleRate = sampleRate;
    return MEDIA_OK;
}

int ConversionJob::setAudioIndex(int index)
{
    const auto &audio = m_probe.input().audioStreams();
    if (!m_hasInput || std::find(audio.begin(), audio.end(), index) == audio.end())
        return MEDIA_ERR_ARGUMENT;
    m_settings.audioIndex = index;
    return MEDIA_OK;
}

int ConversionJob::setMainAudioVolume(double volume)
{
    if (!(volume >= 0) || volume > 10)
        return MEDIA_ERR_ARGUMENT;
    m_settings.volume = volume;
    return MEDIA_OK;
}

int ConversionJob::disableMainAudio()
{
    m_settings.mainAudio = false;
    return MEDIA_OK;
}

int ConversionJob::setCutTime(int64_t start, int64_t end)
{
    if (start < 0 || end < 0 || (end != 0 && end <= start))
        return MEDIA_ERR_ARGUMENT;
    m_settings.cutStart = start;
    m_settings.cutEnd = end;
    return MEDIA_OK;
}

int ConversionJob::setSizeLimit(int64_t bytes)
{
    if (bytes < 0)
        return MEDIA_ERR_ARGUMENT;
    m_settings.sizeLimit = bytes;
    return MEDIA_OK;
}

int ConversionJob::setOutputPath(const std::string &path)
{
    int result = OutputFile::checkPath(path);
    if (result < 0)
        return result;
    m_settings.outputPath = path;
    return MEDIA_OK;
}

void ConversionJob::reportProgress(int percent)
{
    percent = std::clamp(percent, 0, 100);
    int now = m_progress.load(std::memory_order_relaxed);
    while (percent > now && !m_progress.compare_exchange_weak(now, percent))
        ;
}

int ConversionJob::start()
{
    if (m_started) {
        engineLog("a conversion job runs only once");
        return MEDIA_ERR_ARGUMENT;
    }
    m_started = true;
    if (!m_hasInput || m_settings.outputPath.empty()) {
        engineLog("the job needs an input and an output path before it starts");
        return MEDIA_ERR_ARGUMENT;
    }
    int result = m_stop ? MEDIA_ERR_STOPPED : ConversionPipeline(*this).run();
    if (m_stop && result < 0)
        result = MEDIA_ERR_STOPPED;
    if (result > 0) {
        m_progress.store(100);
        return MEDIA_OK;
    }
    if (result == MEDIA_ERR_STOPPED)
        engineLog("conversion to %s stopped", m_settings.outputPath.c_str());
    return result;
}

} // namespace engine
