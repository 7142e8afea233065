#include "engine/OutputSettings.h"

#include "engine/Encoder.h"
#include "engine/EngineLog.h"
#include "engine/OutputFile.h"
#include "media/MediaEngine.h"

#include <algorithm>
#include <cctype>

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

int OutputSettings::setVideoCodec(const char *name)
{
    return checkedCodec(name, videoCodec);
}

int OutputSettings::setAudioCodec(const char *name)
{
    return checkedCodec(name, audioCodec);
}

int OutputSettings::setFrameSize(int w, int h)
{
    if (w < 0 || h < 0 || (w == 0) != (h == 0) || w == 1 || h == 1)
        return MEDIA_ERR_ARGUMENT;
    width = w & ~1;
    height = h & ~1;
    return MEDIA_OK;
}

int OutputSettings::setFps(double value)
{
    if (!(value >= 0) || value > 1000)
        return MEDIA_ERR_ARGUMENT;
    fps = value;
    return MEDIA_OK;
}

int OutputSettings::setVideoBitrate(int kbps)
{
    if (kbps < 0)
        return MEDIA_ERR_ARGUMENT;
    videoKbps = kbps;
    return MEDIA_OK;
}

int OutputSettings::setAudioBitrate(int kbps)
{
    if (kbps < 0)
        return MEDIA_ERR_ARGUMENT;
    audioKbps = kbps;
    return MEDIA_OK;
}

int OutputSettings::setAudioEncodeContext(int count, int rate)
{
    if (count < 0 || count > 8 || rate < 0 || rate > 384000)
        return MEDIA_ERR_ARGUMENT;
    channels = count;
    sampleRate = rate;
    return MEDIA_OK;
}

int OutputSettings::setOutputPath(const std::string &path)
{
    int result = OutputFile::checkPath(path);
    if (result < 0)
        return result;
    outputPath = path;
    return MEDIA_OK;
}

} // namespace engine
