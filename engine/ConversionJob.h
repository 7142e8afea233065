#pragma once
// One conversion job: one input, one output, the settings the setters gave, and Start, which runs the
// whole demux -> decode -> filter -> encode -> mux pipeline on the caller's thread. Progress and Stop
// touch only atomics, so the main thread may call them while Start runs.
#include "engine/EditSettings.h"
#include "engine/JobTable.h"
#include "engine/MediaProbe.h"

#include <atomic>
#include <memory>
#include <string>

namespace engine {

class ConversionJob : public EngineObject
{
public:
    // The settings; every 0 means "as the source".
    struct Settings
    {
        std::string videoCodec; // empty = keep the source's codec; "copy" = stream copy
        std::string audioCodec;
        int width = 0;
        int height = 0;
        double fps = 0;
        int videoKbps = 0;
        int audioKbps = 0;
        int channels = 0;
        int sampleRate = 0;
        int audioIndex = -1; // file stream index; -1 = the first audio stream
        double volume = 1.0;
        bool mainAudio = true;
        int64_t cutStart = 0;  // microseconds
        int64_t cutEnd = 0;    // 0 = to the end
        int64_t sizeLimit = 0; // bytes; 0 = none
        std::string outputPath;
    };

    // Opens and probes the input (refusing what MediaProbe refuses).
    int setInput(const std::string &path);
    bool hasInput() const { return m_hasInput; }
    MediaProbe &probe() { return m_probe; }

    int setVideoCodec(const char *name);
    int setAudioCodec(const char *name);
    int setFrameSize(int width, int height);
    int setFps(double fps);
    int setVideoBitrate(int kbps);
    int setAudioBitrate(int kbps);
    int setAudioEncodeContext(int channels, int sampleRate);
    int setAudioIndex(int index);
    int setMainAudioVolume(double volume);
    int disableMainAudio();
    int setCutTime(int64_t start, int64_t end);
    int setSizeLimit(int64_t bytes);
    int setOutputPath(const std::string &path);
    const Settings &settings() const { return m_settings; }

    // Edits (see MediaEngine.h for what each accepts).
    int setHFlip(int on);
    int setVFlip(int on);
    int setRotation(int degrees);
    int adjustColour(int brightness, int contrast, int saturation);
    int addEffect(int id);
    int setCrop(const RECT &margins);
    int setSubtitle(const SUBTITLE_PARAM &subtitle);
    int addImageWatermark(const IMAGE_WATERMARK_PARAM &watermark);
    int addVideoWatermark(const VIDEO_WATERMARK_PARAM &watermark);
    int addTextWatermark(const TEXT_WATERMARK_PARAM &watermark);
    int addMusic(const std::string &path, int64_t sourceStart, int64_t sourceEnd, int64_t timelineStart,
                 int64_t timelineEnd, int64_t fadeIn, int64_t fadeOut, double volume);
    // The edits, with the process-wide text callback as it is now.
    EditSettings edits() const;

    // The text callback of every job in the process (nullptr = none).
    static void setDrawTextCallback(MEDIA_DRAW_TEXT_CALLBACK callback);

    // Runs the job once (see MediaEngine.h for the results).
    int start();
    // Whole percent, monotonic, 100 only after success.
    int progress() const { return m_progress.load(std::memory_order_relaxed); }
    // Makes start() return MEDIA_ERR_STOPPED promptly; wakes blocked I/O.
    void stop() { m_stop.store(true); }
    // Raises the progress (never lowers it).
    void reportProgress(int percent);
    const std::atomic<bool> &stopFlag() const { return m_stop; }

private:
    MediaProbe m_probe;
    bool m_hasInput = false;
    bool m_started = false;
    Settings m_settings;
    EditSettings m_edits;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_progress{0};
};

} // namespace engine
