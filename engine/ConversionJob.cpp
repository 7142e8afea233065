#include "engine/ConversionJob.h"

#include "engine/ConversionPipeline.h"
#include "engine/EngineLog.h"
#include "engine/InputFile.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <filesystem>

namespace engine {

namespace {

std::atomic<MEDIA_DRAW_TEXT_CALLBACK> g_drawText{nullptr};

// A record's text field as a string, never reading past the field.
template <size_t N> std::string field(const char (&text)[N])
{
    return std::string(text, strnlen(text, N));
}

// Appends a picture or video watermark, refusing a file that holds no picture that can be decoded.
template <class Watermark> int addPictureWatermark(const Watermark &watermark, std::vector<Watermark> &list)
{
    std::string path = field(watermark.path);
    InputFile file;
    int r = file.open(path);
    if (r < 0)
        return r;
    if (file.videoStream() < 0) {
        engineLog("%s holds no picture", path.c_str());
        return MEDIA_ERR_INPUT;
    }
    list.push_back(watermark);
    list.back().path[sizeof watermark.path - 1] = '\0';
    return MEDIA_OK;
}

} // namespace

void ConversionJob::setDrawTextCallback(MEDIA_DRAW_TEXT_CALLBACK callback)
{
    g_drawText.store(callback);
}

EditSettings ConversionJob::edits() const
{
    EditSettings edits = m_edits;
    edits.drawText = g_drawText.load();
    return edits;
}

int ConversionJob::setHFlip(int on)
{
    m_edits.hFlip = on != 0;
    return MEDIA_OK;
}

int ConversionJob::setVFlip(int on)
{
    m_edits.vFlip = on != 0;
    return MEDIA_OK;
}

int ConversionJob::setRotation(int degrees)
{
    if (degrees % 90 != 0) {
        engineLog("a rotation of %d degrees is not a quarter turn", degrees);
        return MEDIA_ERR_ARGUMENT;
    }
    m_edits.rotation = ((degrees % 360) + 360) % 360;
    return MEDIA_OK;
}

int ConversionJob::adjustColour(int brightness, int contrast, int saturation)
{
    if (std::abs(brightness) > 255 || std::abs(contrast) > 100 || std::abs(saturation) > 100)
        return MEDIA_ERR_ARGUMENT;
    m_edits.brightness = brightness;
    m_edits.contrast = contrast;
    m_edits.saturation = saturation;
    return MEDIA_OK;
}

int ConversionJob::addEffect(int id)
{
    if (id < EffectGray || id > EffectMosaic) {
        engineLog("unknown image effect %d ignored", id);
        return MEDIA_ERR_ARGUMENT;
    }
    auto &effects = m_edits.effects;
    auto at = std::lower_bound(effects.begin(), effects.end(), id);
    if (at == effects.end() || *at != id)
        effects.insert(at, id);
    return MEDIA_OK;
}

int ConversionJob::setCrop(const RECT &margins)
{
    if (margins.left < 0 || margins.top < 0 || margins.right < 0 || margins.bottom < 0)
        return MEDIA_ERR_ARGUMENT;
    // 4:2:0 pictures crop on even pixels.
    m_edits.crop = {margins.left & ~1, margins.top & ~1, margins.right & ~1, margins.bottom & ~1};
    return MEDIA_OK;
}

int ConversionJob::setSubtitle(const SUBTITLE_PARAM &subtitle)
{
    std::string path = field(subtitle.path);
    if (!path.empty() && !std::filesystem::is_regular_file(path)) {
        engineLog("no subtitle file at %s", path.c_str());
        return MEDIA_ERR_INPUT;
    }
    m_edits.subtitle = subtitle;
    // Terminate every text field inside its bounds, whatever the caller wrote.
    m_edits.subtitle.path[sizeof subtitle.path - 1] = '\0';
    m_edits.subtitle.szFontFile[sizeof subtitle.szFontFile - 1] = '\0';
    return MEDIA_OK;
}

int ConversionJob::addImageWatermark(const IMAGE_WATERMARK_PARAM &watermark)
{
    return addPictureWatermark(watermark, m_edits.imageWatermarks);
}

int ConversionJob::addVideoWatermark(const VIDEO_WATERMARK_PARAM &watermark)
{
    return addPictureWatermark(watermark, m_edits.videoWatermarks);
}

int ConversionJob::addTextWatermark(const TEXT_WATERMARK_PARAM &watermark)
{
    TEXT_WATERMARK_PARAM copy = watermark;
    copy.text[sizeof copy.text - 1] = '\0';
    copy.szFontFile[sizeof copy.szFontFile - 1] = '\0';
    copy.szFontName[sizeof copy.szFontName - 1] = '\0';
    m_edits.textWatermarks.push_back(copy);
    return MEDIA_OK;
}

int ConversionJob::addMusic(const std::string &path, int64_t sourceStart, int64_t sourceEnd,
                            int64_t timelineStart, int64_t timelineEnd, int64_t fadeIn, int64_t fadeOut,
                            double volume)
{
    if (sourceStart < 0 || sourceEnd < 0 || (sourceEnd != 0 && sourceEnd <= sourceStart) ||
        timelineStart < 0 || timelineEnd < 0 || (timelineEnd != 0 && timelineEnd <= timelineStart) ||
        fadeIn < 0 || fadeOut < 0 || !(volume >= 0) || volume > 10)
        return MEDIA_ERR_ARGUMENT;
    InputFile file;
    int r = file.open(path);
    if (r < 0)
        return r;
    if (file.audioStreams().empty()) {
        engineLog("%s holds no audio", path.c_str());
        return MEDIA_ERR_INPUT;
    }
    MusicTrack track;
    track.path = path;
    track.sourceStart = sourceStart;
    track.sourceEnd = sourceEnd;
    track.timelineStart = timelineStart;
    track.timelineEnd = timelineEnd;
    track.fadeIn = fadeIn;
    track.fadeOut = fadeOut;
    track.volume = volume;
    track.fileDuration = file.duration();
    track.sampleRate = file.stream(file.audioStreams().front())->codecpar->sample_rate;
    if (track.fileDuration > 0 && sourceStart >= track.fileDuration) {
        engineLog("the music range starts after the end of %s", path.c_str());
        return MEDIA_ERR_ARGUMENT;
    }
    m_edits.music.push_back(std::move(track));
    return MEDIA_OK;
}

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

void ConversionJob::reportProgress(int percent)
{
    percent = std::clamp(percent, 0, 100);
    int now = m_progress.load(std::memory_order_relaxed);
    while (percent > now && !m_progress.compare_exchange_weak(now, percent))
        ;
}

int ConversionJob::start()
{
    int result = runPipelineOnce(m_hasInput && !m_settings.outputPath.empty(),
                                 std::make_unique<ConversionPipeline>(*this));
    if (result > 0)
        m_progress.store(100);
    return result;
}

} // namespace engine
