#pragma once
// One conversion job: one input, one output, the settings the setters gave, and Start, which runs the
// whole demux -> decode -> filter -> encode -> mux pipeline on the caller's thread. Progress and Stop
// touch only atomics, so the main thread may call them while Start runs.
#include "engine/EditSettings.h"
#include "engine/EngineJob.h"
#include "engine/MediaProbe.h"
#include "engine/OutputSettings.h"

#include <atomic>
#include <memory>
#include <string>

namespace engine {

class ConversionJob : public EngineJob
{
public:
    ConversionJob() : EngineJob("conversion") {}

    // The settings; every 0 means "as the source" (an empty codec keeps the source's).
    struct Settings : OutputSettings
    {
        int audioIndex = -1; // file stream index; -1 = the first audio stream
        double volume = 1.0;
        bool mainAudio = true;
        int64_t cutStart = 0;  // microseconds
        int64_t cutEnd = 0;    // 0 = to the end
        int64_t sizeLimit = 0; // bytes; 0 = none
    };

    // Opens and probes the input (refusing what MediaProbe refuses).
    int setInput(const std::string &path);
    bool hasInput() const { return m_hasInput; }
    MediaProbe &probe() { return m_probe; }

    // The codecs, size, rate, bit rates, sound format and output path, with their setters' checks.
    OutputSettings &output() { return m_settings; }
    int setAudioIndex(int index);
    int setMainAudioVolume(double volume);
    int disableMainAudio();
    int setCutTime(int64_t start, int64_t end);
    int setSizeLimit(int64_t bytes);
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
    // Raises the progress (never lowers it).
    void reportProgress(int percent);
    // Input time (microseconds) up to which the last successful run wrote the input; 0 before one.
    int64_t endTime() const { return m_endTime.load(std::memory_order_relaxed); }
    void setEndTime(int64_t microseconds) { m_endTime.store(microseconds, std::memory_order_relaxed); }

private:
    MediaProbe m_probe;
    bool m_hasInput = false;
    Settings m_settings;
    EditSettings m_edits;
    std::atomic<int> m_progress{0};
    std::atomic<int64_t> m_endTime{0};
};

} // namespace engine
