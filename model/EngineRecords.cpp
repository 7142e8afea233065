#include "model/EngineRecords.h"

#include "model/AudioStreamInfo.h"
#include "model/FileData.h"
#include "model/HelpClass.h"
#include "model/SubtitleParam.h"
#include "model/WaterParam.h"

#include <QByteArray>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

bool EngineRecords::copyText(char *dest, std::size_t size, const QString &text)
{
    if (size == 0)
        return text.isEmpty();
    const QByteArray utf8 = text.toUtf8();
    std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(utf8.size()), size - 1);
    const bool fits = n == static_cast<std::size_t>(utf8.size());
    // Back off over continuation bytes so that a cut never splits a character.
    if (!fits) {
        while (n > 0 && (static_cast<unsigned char>(utf8[static_cast<qsizetype>(n)]) & 0xC0) == 0x80)
            --n;
    }
    std::memcpy(dest, utf8.constData(), n);
    std::memset(dest + n, 0, size - n);
    return fits;
}

bool EngineRecords::copyPath(char *dest, std::size_t size, const QString &path)
{
    if (copyText(dest, size, path))
        return true;
    std::memset(dest, 0, size);
    return false;
}

QString EngineRecords::textOf(const char *field, std::size_t size)
{
    return QString::fromUtf8(field, static_cast<qsizetype>(strnlen(field, size)));
}

int EngineRecords::truncToInt(double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (v <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(v);
}

int EngineRecords::evenMargin(double pixels)
{
    return truncToInt(pixels - std::fmod(pixels, 2.0));
}

RECT EngineRecords::cropMargins(const platform::Rect &clip, double width, double height)
{
    return RECT{evenMargin(clip.minX()), evenMargin(height - clip.maxY()), evenMargin(width - clip.maxX()),
                evenMargin(clip.minY())};
}

RECT EngineRecords::pictureWatermarkRect(const platform::Rect &f, double width, double height)
{
    return RECT{truncToInt(f.minX() * width), truncToInt((1 - (f.minY() + f.height())) * height),
                truncToInt((f.minX() + f.width()) * width), truncToInt((1 - f.minY()) * height)};
}

RECT EngineRecords::textWatermarkRect(const platform::Rect &f, double width, double height)
{
    const int top = truncToInt(f.minY() * height);
    return RECT{truncToInt(f.minX() * width), top, truncToInt((f.minX() + f.width()) * width),
                truncToInt(top + f.height() * height)};
}

int64_t EngineRecords::microseconds(float seconds)
{
    const double us = static_cast<double>(seconds) * 1000000.0;
    if (std::isnan(us))
        return 0;
    if (us >= 9.2e18 || us <= -9.2e18)
        return us > 0 ? std::numeric_limits<int64_t>::max() : std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(us);
}

bool EngineRecords::fillImageWatermark(IMAGE_WATERMARK_PARAM &out, const WaterParam &water, double width,
                                       double height, int64_t startTime, int64_t endTime)
{
    std::memset(&out, 0, sizeof out);
    const bool fits = copyPath(out.path, water.waterImagePath());
    out.rect = pictureWatermarkRect(water.waterPercentClipRect(), width, height);
    out.transparence = truncToInt(water.waterAlph());
    out.start_time = startTime;
    out.end_time = endTime;
    return fits;
}

bool EngineRecords::fillVideoWatermark(VIDEO_WATERMARK_PARAM &out, const WaterParam &water, double width,
                                       double height)
{
    std::memset(&out, 0, sizeof out);
    const bool fits = copyPath(out.path, water.waterImagePath());
    out.rect = pictureWatermarkRect(water.waterPercentClipRect(), width, height);
    out.start_time = microseconds(water.startTime());
    out.end_time = microseconds(water.startTime() + water.duration());
    out.file_start_time = microseconds(water.fileStartTime());
    out.file_end_time = microseconds(water.fileEndTime());
    out.transparence = truncToInt(water.waterAlph());
    return fits;
}

void EngineRecords::fillTextWatermark(TEXT_WATERMARK_PARAM &out, const WaterParam &water, double width,
                                      double height, int fontSize, int64_t startTime, int64_t endTime)
{
    std::memset(&out, 0, sizeof out);
    copyText(out.text, water.waterText());
    out.rect = textWatermarkRect(water.waterPercentClipRect(), width, height);
    copyText(out.szFontName, water.waterFontName());
    out.fontsize = fontSize;
    out.fontclr = HelpClass::retDwordColorVolue(water.waterFontColor());
    out.transparence = truncToInt(water.waterAlph());
    out.start_time = startTime;
    out.end_time = endTime;
}

bool EngineRecords::fillSubtitle(SUBTITLE_PARAM &out, const SubtitleParam &subtitle)
{
    std::memset(&out, 0, sizeof out);
    const bool pathFits = copyPath(out.path, subtitle.subtitlePath());
    out.position = subtitle.positon();
    const bool fontFits = copyPath(out.szFontFile, subtitle.fontPath());
    out.fontsize = subtitle.fontSize();
    out.shadow = subtitle.shadow();
    out.fontclr = HelpClass::retDwordColorVolue(subtitle.fontColor());
    out.shadowclr = out.fontclr;
    return pathFits && fontFits;
}

void EngineRecords::applyVideoStream(FileData &data, const VIDEO_STREAM_INFO &video)
{
    if (video.exist == 0)
        return;
    data.setAngle(video.rotate);
    data.setWidth(video.width);
    data.setHeight(video.height);
    data.setAspect(video.aspect_ratio);
    data.setBitrate(video.bitrate / 1000);
    data.setFps(std::isfinite(video.fps) ? std::trunc(video.fps) : 0.0);
    data.setExist(video.exist);
    data.setIndex(video.index);
    data.setMetadata_vcodec(textOf(video.codec));
    data.setMetadata_vcodecTag(textOf(video.codec_tag));
    data.setMetadata_lang(textOf(video.lang));
    data.setMetadata_title(textOf(video.title));
    data.setMetadata_apsect(textOf(video.aspect));
}

void EngineRecords::applyAudioStream(FileData &data, const AUDIO_STREAM_INFO &audio)
{
    if (audio.exist <= 0)
        return;
    data.setA_fmt(audio.fmt);
    data.setA_bitrate(audio.bitrate / 1000);
    data.setA_exist(audio.exist);
    data.setA_samplerate(audio.samplerate);
    data.setA_index(audio.index);
    data.setA_channel(audio.channels);
    data.setA_codec(textOf(audio.codec));
    data.setA_title(textOf(audio.title));
    data.setA_lang(textOf(audio.lang));
    data.setA_apsect(textOf(audio.aspect));
}

std::shared_ptr<AudioStreamInfo> EngineRecords::audioStreamInfo(const AUDIO_STREAM_INFO &audio)
{
    auto info = std::make_shared<AudioStreamInfo>();
    info->setExist(audio.exist);
    info->setIndex(audio.index);
    info->setCodec(textOf(audio.codec));
    info->setSample(audio.samplerate);
    info->setChannel(audio.channels);
    info->setBitrate(audio.bitrate);
    info->setFmt(audio.fmt);
    info->setLang(textOf(audio.lang));
    info->setTitle(textOf(audio.title));
    info->setPsect(textOf(audio.aspect));
    return info;
}
