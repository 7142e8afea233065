#pragma once
// The one translation of a job's picture and sound settings into libavfilter graphs, shared by the
// conversion job, the snapshot and the preview player, so the preview shows what the export writes.
//
// Video, in this order: the stored display rotation (so the picture is upright), then the output frame
// size (or a letterboxed fit into a box), the frame rate and the pixel format. Later edits slot in
// after the stored rotation in the order mirror, user rotation, colour and effects, watermarks and
// subtitles, crop; their coordinates are in the pixels of the upright, uncropped picture.
// Audio: volume, trim to the output range, then resampling to the encoder's format.
#include "engine/FilterGraph.h"

#include <string>

namespace engine {

// What the decoder hands to the video graph.
struct VideoSource
{
    int width = 0;
    int height = 0;
    int format = AV_PIX_FMT_NONE; // AVPixelFormat
    AVRational timeBase{1, 25};
    AVRational sampleAspectRatio{0, 1};
    AVRational frameRate{0, 1};
    int storedRotation = 0; // clockwise degrees that make the picture upright
};

// What the video graph should make of it.
struct VideoSettings
{
    int width = 0;  // output frame size; 0, 0 = the upright picture's
    int height = 0;
    int fitWidth = 0; // > 0: scale to fit this box keeping the aspect ratio, with black bars
    int fitHeight = 0;
    AVRational frameRate{0, 1}; // 0 = keep the source's timing
    int format = AV_PIX_FMT_NONE; // output pixel format; NONE = any
};

struct AudioSource
{
    int sampleRate = 0;
    int format = AV_SAMPLE_FMT_NONE; // AVSampleFormat
    AVChannelLayout layout{};
};

struct AudioSettings
{
    double volume = 1.0;
    bool trimStart = true; // drop samples before pts 0
    int64_t trimEnd = 0;   // > 0: drop samples from this many microseconds on
    int sampleRate = 0;    // output; 0 = the source's
    int format = AV_SAMPLE_FMT_NONE;
    AVChannelLayout layout{}; // nb_channels 0 = the source's
};

class FilterGraphBuilder
{
public:
    // The filter chains, as libavfilter text (empty = pass through).
    static std::string videoChain(const VideoSource &source, const VideoSettings &settings);
    static std::string audioChain(const AudioSource &source, const AudioSettings &settings);

    // Builds and configures the graphs. The audio graph's input time base is 1/sample rate.
    static int buildVideo(const VideoSource &source, const VideoSettings &settings, FilterGraph &graph);
    static int buildAudio(const AudioSource &source, const AudioSettings &settings, FilterGraph &graph);

    // The upright picture size (width and height exchanged for a quarter turn).
    static void uprightSize(const VideoSource &source, int &width, int &height);
};

} // namespace engine
