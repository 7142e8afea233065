// The C entry points of libMediaCore: each looks its handle up in the job table and forwards to the
// object behind it. An unknown handle gets the call's failure value and nothing else happens.
#include "engine/ConversionJob.h"
#include "engine/EngineLog.h"
#include "engine/JobTable.h"
#include "engine/MediaProbe.h"
#include "engine/SubtitleCharset.h"
#include "engine/SubtitleCues.h"
#include "media/MediaEngine.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

using engine::ConversionJob;
using engine::JobTable;
using engine::MediaProbe;

namespace {

std::shared_ptr<ConversionJob> job(MEDIA_HANDLE h)
{
    return JobTable::instance().find<ConversionJob>(h);
}

std::shared_ptr<MediaProbe> probe(MEDIA_HANDLE h)
{
    return JobTable::instance().find<MediaProbe>(h);
}

// Runs `call` on the job of `h`, or answers MEDIA_ERR_HANDLE.
template <class Call> int withJob(MEDIA_HANDLE h, Call call)
{
    auto j = job(h);
    return j ? call(*j) : MEDIA_ERR_HANDLE;
}

// Lists the audio streams of a probed file (see apiMediaConvertGetAudioStreamInfo).
int describeAudioStreams(MediaProbe &probe, int *count, AUDIO_STREAM_INFO *infos)
{
    if (!count)
        return MEDIA_ERR_ARGUMENT;
    const std::vector<int> &streams = probe.input().audioStreams();
    if (!infos) {
        *count = int(streams.size());
        return MEDIA_OK;
    }
    int filled = std::max(0, std::min(*count, int(streams.size())));
    for (int i = 0; i < filled; ++i)
        probe.describeAudio(streams[i], &infos[i]);
    *count = filled;
    return MEDIA_OK;
}

} // namespace

extern "C" {

MEDIA_HANDLE MediaOpen(const char *path)
{
    if (!path || !*path)
        return nullptr;
    auto p = std::make_shared<MediaProbe>();
    if (p->open(path) < 0)
        return nullptr;
    return JobTable::instance().add(p);
}

int MediaGetInfo(MEDIA_HANDLE h, AUDIO_STREAM_INFO *audio, VIDEO_STREAM_INFO *video)
{
    auto p = probe(h);
    if (!p)
        return MEDIA_ERR_HANDLE;
    engine::InputFile &in = p->input();
    if (audio && !in.audioStreams().empty())
        p->describeAudio(in.audioStreams().front(), audio);
    if (video && in.videoStream() >= 0)
        p->describeVideo(in.videoStream(), video);
    return MEDIA_OK;
}

int MediaGetAudioStreamInfo(MEDIA_HANDLE h, int *count, AUDIO_STREAM_INFO *infos)
{
    auto p = probe(h);
    return p ? describeAudioStreams(*p, count, infos) : MEDIA_ERR_HANDLE;
}

int64_t MediaGetDuration(MEDIA_HANDLE h)
{
    auto p = probe(h);
    return p ? p->duration() : 0;
}

int MediaSnapshot(MEDIA_HANDLE h, int64_t time, int width, int height, uint8_t *buffer, int flags)
{
    (void)flags;
    auto p = probe(h);
    return p ? p->snapshot(time, width, height, buffer) : MEDIA_ERR_HANDLE;
}

int MediaClose(MEDIA_HANDLE h)
{
    return JobTable::instance().remove<MediaProbe>(h) ? MEDIA_OK : MEDIA_ERR_HANDLE;
}

int MediaGetSubtitleText(const char *path, char *charset, int charsetSize, char *text, int *size)
{
    if (!path || !*path || !size)
        return MEDIA_ERR_ARGUMENT;
    engine::SubtitleCharset::Text read;
    if (int r = engine::SubtitleCharset::readFile(path, read); r < 0)
        return r;
    if (charset && charsetSize > 0)
        snprintf(charset, size_t(charsetSize), "%s", read.charset.c_str());
    if (!text) {
        *size = int(read.utf8.size());
        return MEDIA_OK;
    }
    const int copied = std::max(0, std::min(*size, int(read.utf8.size())));
    memcpy(text, read.utf8.data(), size_t(copied));
    *size = copied;
    return MEDIA_OK;
}

int MediaCheckSubtitleCues(const char *path)
{
    return path && *path ? engine::SubtitleCues::check(path) : MEDIA_ERR_ARGUMENT;
}

MEDIA_HANDLE apiMediaConvertCreate(void)
{
    try {
        return JobTable::instance().add(std::make_shared<ConversionJob>());
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}

int apiMediaConvertSetInputMedia(MEDIA_HANDLE h, const char *path)
{
    return withJob(h,
                   [&](ConversionJob &j) { return path && *path ? j.setInput(path) : MEDIA_ERR_ARGUMENT; });
}

int64_t apiMediaConvertGetDuration(MEDIA_HANDLE h)
{
    auto j = job(h);
    return j && j->hasInput() ? j->probe().duration() : 0;
}

int apiMediaConvertGetAudioStreamInfo(MEDIA_HANDLE h, int *count, AUDIO_STREAM_INFO *infos)
{
    return withJob(h, [&](ConversionJob &j) {
        return j.hasInput() ? describeAudioStreams(j.probe(), count, infos) : int(MEDIA_ERR_ARGUMENT);
    });
}

int apiMediaConvertGetVideoStreamInfo(MEDIA_HANDLE h, int *count, VIDEO_STREAM_INFO *infos)
{
    return withJob(h, [&](ConversionJob &j) {
        if (!j.hasInput() || !count)
            return int(MEDIA_ERR_ARGUMENT);
        int video = j.probe().input().videoStream();
        int available = video >= 0 ? 1 : 0;
        if (!infos) {
            *count = available;
            return int(MEDIA_OK);
        }
        int filled = std::max(0, std::min(*count, available));
        if (filled)
            j.probe().describeVideo(video, &infos[0]);
        *count = filled;
        return int(MEDIA_OK);
    });
}

int apiMediaConvertSetVcodec(MEDIA_HANDLE h, const char *name)
{
    return withJob(h, [&](ConversionJob &j) { return j.output().setVideoCodec(name); });
}

int apiMediaConvertSetAcodec(MEDIA_HANDLE h, const char *name)
{
    return withJob(h, [&](ConversionJob &j) { return j.output().setAudioCodec(name); });
}

int apiMediaConvertSetVideoFrameSize(MEDIA_HANDLE h, int width, int height)
{
    return withJob(h, [&](ConversionJob &j) { return j.output().setFrameSize(width, height); });
}

int apiMediaConvertSetVideoFps(MEDIA_HANDLE h, double fps)
{
    return withJob(h, [&](ConversionJob &j) { return j.output().setFps(fps); });
}

int apiMediaConvertSetVideoBitrate(MEDIA_HANDLE h, int kbps)
{
    return withJob(h, [&](ConversionJob &j) { return j.output().setVideoBitrate(kbps); });
}

int apiMediaConvertSetAudioBitrate(MEDIA_HANDLE h, int kbps)
{
    return withJob(h, [&](ConversionJob &j) { return j.output().setAudioBitrate(kbps); });
}

int apiMediaConvertSetAudioEncodeContext(MEDIA_HANDLE h, int channels, int sampleRate)
{
    return withJob(h,
                   [&](ConversionJob &j) { return j.output().setAudioEncodeContext(channels, sampleRate); });
}

int apiMediaConvertSetAudioIndex(MEDIA_HANDLE h, int index)
{
    return withJob(h, [&](ConversionJob &j) { return j.setAudioIndex(index); });
}

int apiMediaConvertSetMaineAudioVolume(MEDIA_HANDLE h, double volume)
{
    return withJob(h, [&](ConversionJob &j) { return j.setMainAudioVolume(volume); });
}

int apiMediaConvertDisableMainAudio(MEDIA_HANDLE h)
{
    return withJob(h, [&](ConversionJob &j) { return j.disableMainAudio(); });
}

void apiMediaConvertSetDrawTextCallback(MEDIA_DRAW_TEXT_CALLBACK callback)
{
    ConversionJob::setDrawTextCallback(callback);
}

int apiMediaConvertHFlipStatus(MEDIA_HANDLE h, int on)
{
    return withJob(h, [&](ConversionJob &j) { return j.setHFlip(on); });
}

int apiMediaConvertVFlipStatus(MEDIA_HANDLE h, int on)
{
    return withJob(h, [&](ConversionJob &j) { return j.setVFlip(on); });
}

int apiMediaConvertSetRotateAngle(MEDIA_HANDLE h, int degrees)
{
    return withJob(h, [&](ConversionJob &j) { return j.setRotation(degrees); });
}

int apiMediaConvertAdjustBCS(MEDIA_HANDLE h, int brightness, int contrast, int saturation)
{
    return withJob(h, [&](ConversionJob &j) { return j.adjustColour(brightness, contrast, saturation); });
}

int apiMediaConvertAddImageEffect(MEDIA_HANDLE h, int effectId)
{
    return withJob(h, [&](ConversionJob &j) { return j.addEffect(effectId); });
}

int apiMediaConvertSetCropSize(MEDIA_HANDLE h, RECT margins)
{
    return withJob(h, [&](ConversionJob &j) { return j.setCrop(margins); });
}

int apiMediaConvertSetSubtitle(MEDIA_HANDLE h, SUBTITLE_PARAM subtitle)
{
    return withJob(h, [&](ConversionJob &j) { return j.setSubtitle(subtitle); });
}

int apiMediaConvertAddImageWatermask(MEDIA_HANDLE h, IMAGE_WATERMARK_PARAM watermark)
{
    return withJob(h, [&](ConversionJob &j) { return j.addImageWatermark(watermark); });
}

int apiMediaConvertAddVideoWatermark(MEDIA_HANDLE h, VIDEO_WATERMARK_PARAM watermark)
{
    return withJob(h, [&](ConversionJob &j) { return j.addVideoWatermark(watermark); });
}

int apiMediaConvertAddTextWatermask(MEDIA_HANDLE h, TEXT_WATERMARK_PARAM watermark)
{
    return withJob(h, [&](ConversionJob &j) { return j.addTextWatermark(watermark); });
}

int apiMediaConvertAddDubbingMusic(MEDIA_HANDLE h, const char *path, int64_t sourceStart, int64_t sourceEnd,
                                   int64_t timelineStart, int64_t timelineEnd, int fadeIn, int fadeOut,
                                   double volume)
{
    return withJob(h, [&](ConversionJob &j) {
        if (!path || !*path)
            return int(MEDIA_ERR_ARGUMENT);
        return j.addMusic(path, sourceStart, sourceEnd, timelineStart, timelineEnd, fadeIn, fadeOut, volume);
    });
}

int apiMediaConvertSetCutTime(MEDIA_HANDLE h, int64_t start, int64_t end)
{
    return withJob(h, [&](ConversionJob &j) { return j.setCutTime(start, end); });
}

int apiMediaConvertSetLimitFileSize(MEDIA_HANDLE h, int64_t bytes)
{
    return withJob(h, [&](ConversionJob &j) { return j.setSizeLimit(bytes); });
}

int apiMediaConvertSetOutputPath(MEDIA_HANDLE h, const char *path)
{
    return withJob(
        h, [&](ConversionJob &j) { return path ? j.output().setOutputPath(path) : MEDIA_ERR_ARGUMENT; });
}

int apiMediaConvertStart(MEDIA_HANDLE h)
{
    return withJob(h, [&](ConversionJob &j) { return j.start(); });
}

int apiMediaConvertGetProgress(MEDIA_HANDLE h)
{
    auto j = job(h);
    return j ? j->progress() : 0;
}

int64_t apiMediaConvertGetEndTime(MEDIA_HANDLE h)
{
    auto j = job(h);
    return j ? j->endTime() : 0;
}

int apiMediaConvertStop(MEDIA_HANDLE h)
{
    return withJob(h, [&](ConversionJob &j) {
        j.stop();
        return int(MEDIA_OK);
    });
}

int apiMediaConvertClose(MEDIA_HANDLE h)
{
    auto j = JobTable::instance().remove<ConversionJob>(h);
    if (!j)
        return MEDIA_ERR_HANDLE;
    j->stop(); // a Start still running on another thread returns; it holds the job until then
    return MEDIA_OK;
}

} // extern "C"
