// The C entry points of join jobs: each looks its handle up in the job table and forwards to the job.
// An unknown handle gets the call's failure value and nothing else happens.
#include "engine/JobTable.h"
#include "engine/JoinJob.h"
#include "media/MediaJoin.h"

#include <new>

using engine::JobTable;
using engine::JoinJob;

namespace {

std::shared_ptr<JoinJob> job(MEDIA_HANDLE h)
{
    return JobTable::instance().find<JoinJob>(h);
}

template <class Call> int withJob(MEDIA_HANDLE h, Call call)
{
    auto j = job(h);
    return j ? call(*j) : MEDIA_ERR_HANDLE;
}

} // namespace

extern "C" {

MEDIA_HANDLE apiMediaJoinCreate(void)
{
    try {
        return JobTable::instance().add(std::make_shared<JoinJob>());
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}

int apiMediaJoinSetOutputPath(MEDIA_HANDLE h, const char *path)
{
    return withJob(h, [&](JoinJob &j) { return path ? j.output().setOutputPath(path) : MEDIA_ERR_ARGUMENT; });
}

int apiMediaJoinAddMediaClip(MEDIA_HANDLE h, const char *path, uint64_t start, uint64_t end)
{
    auto j = job(h);
    return j && path && *path ? j->addClip(path, start, end) : 0;
}

int apiMediaJoinSetAudioVolumn(MEDIA_HANDLE h, int clip, double volume)
{
    return withJob(h, [&](JoinJob &j) { return j.setVolume(clip, volume); });
}

int apiMediaJoinSetTransition(MEDIA_HANDLE h, int clip, int code, int64_t length)
{
    return withJob(h, [&](JoinJob &j) { return j.setTransition(clip, code, length); });
}

int apiMediaJoinSetVideoCodec(MEDIA_HANDLE h, const char *name)
{
    return withJob(h, [&](JoinJob &j) { return j.output().setVideoCodec(name); });
}

int apiMediaJoinSetAudioCodec(MEDIA_HANDLE h, const char *name)
{
    return withJob(h, [&](JoinJob &j) { return j.output().setAudioCodec(name); });
}

int apiMediaJoinSetVideoBitrate(MEDIA_HANDLE h, int kbps)
{
    return withJob(h, [&](JoinJob &j) { return j.output().setVideoBitrate(kbps); });
}

int apiMediaJoinSetAudioBitrate(MEDIA_HANDLE h, int kbps)
{
    return withJob(h, [&](JoinJob &j) { return j.output().setAudioBitrate(kbps); });
}

int apiMediaJoinSetVideoFps(MEDIA_HANDLE h, double fps)
{
    return withJob(h, [&](JoinJob &j) { return j.output().setFps(fps); });
}

int apiMediaJoinSetVideoFrameSize(MEDIA_HANDLE h, int width, int height)
{
    return withJob(h, [&](JoinJob &j) { return j.output().setFrameSize(width, height); });
}

int apiMediaJoinSetAudioEncodeContext(MEDIA_HANDLE h, int channels, int sampleRate)
{
    return withJob(h, [&](JoinJob &j) { return j.output().setAudioEncodeContext(channels, sampleRate); });
}

int apiMediaJoinStart(MEDIA_HANDLE h)
{
    return withJob(h, [&](JoinJob &j) { return j.start(); });
}

double apiMediaJoinGetProgress(MEDIA_HANDLE h)
{
    auto j = job(h);
    return j ? j->progress() : 0.0;
}

int apiMediaJoinStop(MEDIA_HANDLE h)
{
    return withJob(h, [&](JoinJob &j) {
        j.stop();
        return int(MEDIA_OK);
    });
}

int apiMediaJoinClose(MEDIA_HANDLE h)
{
    auto j = JobTable::instance().remove<JoinJob>(h);
    if (!j)
        return MEDIA_ERR_HANDLE;
    j->stop(); // a Start still running on another thread returns; it holds the job until then
    return MEDIA_OK;
}

} // extern "C"
