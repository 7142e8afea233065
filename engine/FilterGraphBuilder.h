#pragma once
// The one translation of a job's picture and sound settings into libavfilter graphs, shared by the
// conversion job, the snapshot and the preview player, so the preview shows what the export writes.
//
// Video, in this order: the stored display rotation (so the picture is upright), mirror, the user's
// rotation (clockwise), brightness / contrast / saturation, image effects (ascending id), the frame
// rate, watermarks and the subtitle, crop, then the output frame size (or a letterboxed fit into a box)
// and the pixel format. (The rate goes before the overlays, which would lose the last picture to it;
// the filters after it work picture by picture, on the times the output shows.) Watermark rectangles,
// the subtitle position and the crop margins are pixels of the rotated, uncropped picture; watermark and
// subtitle times are on the main file's timeline, so the graph is told which file time its pts 0 stands
// for (timelineOffset).
// Audio: volume of the main audio, music tracks mixed in (placed, repeated or cut, faded), trim to the
// output range, then resampling to the encoder's format.
#include "engine/EditSettings.h"
#include "engine/FilterGraph.h"
#include "engine/InputFile.h"

#include <string>
#include <vector>

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
    int width = 0; // output frame size (picture fitted inside, black bars); 0, 0 = the upright picture's
    int height = 0;
    int fitWidth = 0; // > 0: scale to fit this box keeping the aspect ratio, with black bars
    int fitHeight = 0;
    AVRational frameRate{0, 1};          // 0 = keep the source's timing
    int format = AV_PIX_FMT_NONE;        // output pixel format; NONE = any
    const EditSettings *edits = nullptr; // none = no edits
    int64_t timelineOffset = 0;          // file time (microseconds) of the graph's pts 0
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
    AVChannelLayout layout{};            // nb_channels 0 = the source's
    const EditSettings *edits = nullptr; // its music tracks are mixed in
    bool mainAudio = true;      // false: the source feeds nothing (it is closed at once) and the music
                                // plays over silence
    int64_t timelineOffset = 0; // file time (microseconds) of the graph's pts 0
    int64_t outputDuration = 0; // microseconds of output planned; the length of that silence
};

class FilterGraphBuilder
{
public:
    // What the opened `decoder` of stream `index` of `input` hands to a video graph.
    static VideoSource videoSource(const InputFile &input, int index, const AVCodecContext *decoder);
    // What an opened audio `decoder` hands to an audio graph; the caller uninits source.layout.
    static void audioSource(const AVCodecContext *decoder, AudioSource &source);
    // The buffer / abuffer source arguments for frames like `source`.
    static std::string videoSourceArgs(const VideoSource &source);
    static std::string audioSourceArgs(const AudioSource &source);
    // The aformat filter that converts sound to this rate, sample format and layout.
    static std::string audioFormatFilter(int sampleRate, int format, const AVChannelLayout &layout);

    // The filter chains, as libavfilter text (empty = pass through). The text watermarks are drawn by
    // the edits' text callback into `stills`, one still picture per buffer source of the graph text
    // (without `stills` they are left out); so are the picture watermarks when the edits have a picture
    // loader (without `stills`, or when the loader fails, the graph decodes the files itself).
    static std::string videoChain(const VideoSource &source, const VideoSettings &settings,
                                  std::vector<FramePtr> *stills = nullptr);
    static std::string audioChain(const AudioSource &source, const AudioSettings &settings);

    // Builds and configures the graphs. The audio graph's input time base is 1/sample rate.
    // MEDIA_ERR_ARGUMENT when the crop leaves no picture; MEDIA_ERR_INPUT when a watermark, subtitle
    // or music file cannot be read.
    static int buildVideo(const VideoSource &source, const VideoSettings &settings, FilterGraph &graph);
    static int buildAudio(const AudioSource &source, const AudioSettings &settings, FilterGraph &graph);

    // The upright picture size (width and height exchanged for a quarter turn).
    static void uprightSize(const VideoSource &source, int &width, int &height);
    // The size watermarks and the subtitle are placed on: upright, mirrored and turned by the user's
    // rotation, not cropped.
    static void editedSize(const VideoSource &source, const EditSettings *edits, int &width, int &height);
    // Whether the audio graph mixes music in (and so must be pulled even without main audio).
    static bool mixesMusic(const AudioSettings &settings);
};

} // namespace engine
