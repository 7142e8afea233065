#pragma once
// The media engine's conversion and join calls as one table of function pointers. Every export reaches
// the engine through EngineApi::current(), which holds the real C functions of libMediaCore unless a test
// has installed a recording fake with install() (tests/support/RecordingEngine.h). The table is read on the
// main thread when a job is set up; a job copies the pointers it needs, so a worker never reads the table
// itself.
#include "media/MediaEngine.h"
#include "media/MediaJoin.h"

struct EngineApi
{
    // Conversion jobs.
    MEDIA_HANDLE (*convertCreate)() = apiMediaConvertCreate;
    int (*convertSetInputMedia)(MEDIA_HANDLE, const char *) = apiMediaConvertSetInputMedia;
    int (*convertSetVcodec)(MEDIA_HANDLE, const char *) = apiMediaConvertSetVcodec;
    int (*convertSetVideoFrameSize)(MEDIA_HANDLE, int, int) = apiMediaConvertSetVideoFrameSize;
    int (*convertSetVideoBitrate)(MEDIA_HANDLE, int) = apiMediaConvertSetVideoBitrate;
    int (*convertSetVideoFps)(MEDIA_HANDLE, double) = apiMediaConvertSetVideoFps;
    int (*convertSetAcodec)(MEDIA_HANDLE, const char *) = apiMediaConvertSetAcodec;
    int (*convertSetAudioBitrate)(MEDIA_HANDLE, int) = apiMediaConvertSetAudioBitrate;
    int (*convertSetAudioEncodeContext)(MEDIA_HANDLE, int, int) = apiMediaConvertSetAudioEncodeContext;
    int (*convertSetAudioIndex)(MEDIA_HANDLE, int) = apiMediaConvertSetAudioIndex;
    int (*convertSetMaineAudioVolume)(MEDIA_HANDLE, double) = apiMediaConvertSetMaineAudioVolume;
    int (*convertSetSubtitle)(MEDIA_HANDLE, SUBTITLE_PARAM) = apiMediaConvertSetSubtitle;
    int (*convertAddImageEffect)(MEDIA_HANDLE, int) = apiMediaConvertAddImageEffect;
    int (*convertAdjustBCS)(MEDIA_HANDLE, int, int, int) = apiMediaConvertAdjustBCS;
    int (*convertSetCutTime)(MEDIA_HANDLE, int64_t, int64_t) = apiMediaConvertSetCutTime;
    int (*convertSetLimitFileSize)(MEDIA_HANDLE, int64_t) = apiMediaConvertSetLimitFileSize;
    int (*convertSetCropSize)(MEDIA_HANDLE, RECT) = apiMediaConvertSetCropSize;
    int (*convertHFlipStatus)(MEDIA_HANDLE, int) = apiMediaConvertHFlipStatus;
    int (*convertVFlipStatus)(MEDIA_HANDLE, int) = apiMediaConvertVFlipStatus;
    int (*convertSetRotateAngle)(MEDIA_HANDLE, int) = apiMediaConvertSetRotateAngle;
    void (*convertSetDrawTextCallback)(MEDIA_DRAW_TEXT_CALLBACK) = apiMediaConvertSetDrawTextCallback;
    int (*convertAddImageWatermask)(MEDIA_HANDLE, IMAGE_WATERMARK_PARAM) = apiMediaConvertAddImageWatermask;
    int (*convertAddVideoWatermark)(MEDIA_HANDLE, VIDEO_WATERMARK_PARAM) = apiMediaConvertAddVideoWatermark;
    int (*convertAddTextWatermask)(MEDIA_HANDLE, TEXT_WATERMARK_PARAM) = apiMediaConvertAddTextWatermask;
    int (*convertAddDubbingMusic)(MEDIA_HANDLE, const char *, int64_t, int64_t, int64_t, int64_t, int, int,
                                  double) = apiMediaConvertAddDubbingMusic;
    int (*convertDisableMainAudio)(MEDIA_HANDLE) = apiMediaConvertDisableMainAudio;
    int (*convertSetOutputPath)(MEDIA_HANDLE, const char *) = apiMediaConvertSetOutputPath;
    int (*convertStart)(MEDIA_HANDLE) = apiMediaConvertStart;
    int (*convertGetProgress)(MEDIA_HANDLE) = apiMediaConvertGetProgress;
    int64_t (*convertGetEndTime)(MEDIA_HANDLE) = apiMediaConvertGetEndTime;
    int (*convertStop)(MEDIA_HANDLE) = apiMediaConvertStop;
    int (*convertClose)(MEDIA_HANDLE) = apiMediaConvertClose;

    // Join jobs.
    MEDIA_HANDLE (*joinCreate)() = apiMediaJoinCreate;
    int (*joinSetOutputPath)(MEDIA_HANDLE, const char *) = apiMediaJoinSetOutputPath;
    int (*joinAddMediaClip)(MEDIA_HANDLE, const char *, uint64_t, uint64_t) = apiMediaJoinAddMediaClip;
    int (*joinSetAudioCodec)(MEDIA_HANDLE, const char *) = apiMediaJoinSetAudioCodec;
    int (*joinSetVideoCodec)(MEDIA_HANDLE, const char *) = apiMediaJoinSetVideoCodec;
    int (*joinSetAudioVolumn)(MEDIA_HANDLE, int, double) = apiMediaJoinSetAudioVolumn;
    int (*joinSetTransition)(MEDIA_HANDLE, int, int, int64_t) = apiMediaJoinSetTransition;
    int (*joinSetVideoBitrate)(MEDIA_HANDLE, int) = apiMediaJoinSetVideoBitrate;
    int (*joinSetAudioBitrate)(MEDIA_HANDLE, int) = apiMediaJoinSetAudioBitrate;
    int (*joinSetVideoFps)(MEDIA_HANDLE, double) = apiMediaJoinSetVideoFps;
    int (*joinSetVideoFrameSize)(MEDIA_HANDLE, int, int) = apiMediaJoinSetVideoFrameSize;
    int (*joinSetAudioEncodeContext)(MEDIA_HANDLE, int, int) = apiMediaJoinSetAudioEncodeContext;
    int (*joinStart)(MEDIA_HANDLE) = apiMediaJoinStart;
    double (*joinGetProgress)(MEDIA_HANDLE) = apiMediaJoinGetProgress;
    int (*joinStop)(MEDIA_HANDLE) = apiMediaJoinStop;
    int (*joinClose)(MEDIA_HANDLE) = apiMediaJoinClose;

    // The machine: cores running nothing now (whether a second job may run beside the first).
    int (*idleCores)() = apiMediaIdleCores;

    // The table in use (main thread).
    static const EngineApi &current();
    // Replaces the table in use and returns the one it replaces (tests put it back afterwards).
    static EngineApi install(const EngineApi &api);
};
