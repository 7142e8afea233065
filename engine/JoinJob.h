#pragma once
// One join job: the clips in order with their ranges, volumes and transitions, the output settings, and
// Start, which runs JoinPipeline on the caller's thread. Progress and Stop touch only atomics, so the
// main thread may call them while Start runs.
#include "engine/EngineJob.h"
#include "engine/InputFile.h"
#include "engine/OutputSettings.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace engine {

class JoinJob : public EngineJob
{
public:
    JoinJob() : EngineJob("join") {}

    struct Clip
    {
        std::string path;
        int64_t start = 0;        // microseconds on the file's timeline
        int64_t end = 0;          // 0 = to the end of the file
        int64_t fileDuration = 0; // microseconds, where its pictures (else the file) end; 0 = unknown
        int64_t fileEnd = 0;      // where the file ends, sound that runs past the pictures included
        bool hasVideo = false;
        bool hasAudio = false;
        double volume = 1.0; // factor of the sound
        int transition = 0;           // MediaJoinTransition into the next clip
        int64_t transitionLength = 0; // microseconds
        // The file, opened and probed when the clip was added.
        std::shared_ptr<InputFile> input;
        // The length the range covers up to the end of the pictures (microseconds; 0 when the file's
        // duration is unknown): a clip followed by another adds no held picture for sound past them.
        int64_t length() const
        {
            return (end > 0 && (fileDuration <= 0 || end < fileDuration) ? end : fileDuration) - start;
        }
        // The length as the last clip of a join, which ends with the file's sound past its pictures.
        int64_t lengthAsLast() const { return (end > 0 ? end : std::max(fileDuration, fileEnd)) - start; }
    };

    // Every 0 or empty value means "as the first clip that has the stream"; a "copy" codec is a stream
    // copy where it is exact.
    using Settings = OutputSettings;

    // Probes the file and appends the clip; returns its id (> 0), or 0 when refused.
    int addClip(const std::string &path, uint64_t start, uint64_t end);
    int setVolume(int clip, double volume);
    int setTransition(int clip, int code, int64_t length);
    // The codecs, size, rate, bit rates, sound format and output path, with their setters' checks.
    OutputSettings &output() { return m_settings; }
    const Settings &settings() const { return m_settings; }
    const std::vector<Clip> &clips() const { return m_clips; }

    // Runs the job once (see MediaJoin.h for the results).
    int start();
    double progress() const { return m_progress.load(std::memory_order_relaxed); }
    // Raises the progress (never lowers it), held below 100 until the job has succeeded.
    void reportProgress(double percent);

private:
    Clip *clip(int id);

    Settings m_settings;
    std::vector<Clip> m_clips;
    std::atomic<double> m_progress{0.0};
};

} // namespace engine
