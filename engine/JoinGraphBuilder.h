#pragma once
// The filter graphs of join jobs, on top of FilterGraphBuilder's picture chain: every clip is brought to
// one output format (frame size with black bars, never stretched; frame rate; pixel format; sample rate,
// sample format and channel layout), and a transition blends the end of one such clip with the start of
// the next (libavfilter's xfade and acrossfade, so the two overlap by the transition's length).
#include "engine/FilterGraph.h"
#include "engine/FilterGraphBuilder.h"

#include <string>

namespace engine {

// The picture and sound every clip is brought to. Video frames count in 1 / frameRate, audio in
// 1 / sampleRate.
struct JoinFormat
{
    bool video = false;
    int width = 0;
    int height = 0;
    int pixelFormat = AV_PIX_FMT_NONE; // AVPixelFormat
    AVRational frameRate{25, 1};
    bool audio = false;
    int sampleRate = 0;
    int sampleFormat = AV_SAMPLE_FMT_NONE; // AVSampleFormat
    AVChannelLayout layout{};              // always a native-order layout, so copying the struct is safe
};

class JoinGraphBuilder
{
public:
    // A clip's picture: constant frame rate from time 0 (the frame shown at a time is the last one that
    // started at or before it), upright, fitted into the output size, in the output pixel format.
    static std::string clipVideoChain(const VideoSource &source, const JoinFormat &format);
    // A clip's sound from time 0 on: volume factor, then resampled to the output's rate and layout.
    static std::string clipAudioChain(double volume, const JoinFormat &format);
    static int buildClipVideo(const VideoSource &source, const JoinFormat &format, FilterGraph &graph);
    static int buildClipAudio(const AudioSource &source, double volume, const JoinFormat &format,
                              FilterGraph &graph);

    // The two-input chain "[a][b]...[out]" of a transition `code` (MediaJoinTransition) lasting `units`
    // frames (video) or samples (audio) of the output format; the result stays in that format.
    static std::string transitionChain(bool video, int code, int64_t units, const JoinFormat &format);

    // buffer / abuffer arguments for frames already in the output format.
    static std::string videoSourceArgs(const JoinFormat &format);
    static std::string audioSourceArgs(const JoinFormat &format);
};

} // namespace engine
