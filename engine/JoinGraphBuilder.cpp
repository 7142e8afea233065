#include "engine/JoinGraphBuilder.h"

#include "media/MediaJoin.h"

#include <cmath>
#include <cstdio>

namespace engine {

namespace {

std::string rational(AVRational r)
{
    return std::to_string(r.num) + "/" + std::to_string(r.den);
}

std::string audioFormat(const JoinFormat &format)
{
    return FilterGraphBuilder::audioFormatFilter(format.sampleRate, format.sampleFormat, format.layout);
}

const char *xfadeName(int code)
{
    switch (code) {
    case MEDIA_TRANSITION_SLIDE_LEFT:
        return "slideleft";
    case MEDIA_TRANSITION_SLIDE_DOWN:
        return "slidedown";
    default:
        return "fade";
    }
}

} // namespace

std::string JoinGraphBuilder::clipVideoChain(const VideoSource &source, const JoinFormat &format)
{
    // The rate first: pictures before the range start are dropped before they are scaled.
    std::string chain = "fps=" + rational(format.frameRate) + ":start_time=0";
    VideoSettings settings;
    settings.fitWidth = format.width;
    settings.fitHeight = format.height;
    settings.format = format.pixelFormat;
    std::string rest = FilterGraphBuilder::videoChain(source, settings);
    if (!rest.empty())
        chain += "," + rest;
    return chain;
}

std::string JoinGraphBuilder::clipAudioChain(double volume, const JoinFormat &format)
{
    std::string chain;
    if (std::fabs(volume - 1.0) > 1e-6) {
        char text[64];
        snprintf(text, sizeof text, "volume=%.6f,", std::max(0.0, volume));
        chain += text;
    }
    // Samples before the range start (pts below 0) go; the resampler keeps the timing exact.
    chain += "atrim=start=0,aresample=" + std::to_string(format.sampleRate) + "," + audioFormat(format);
    return chain;
}

int JoinGraphBuilder::buildClipVideo(const VideoSource &source, const JoinFormat &format, FilterGraph &graph)
{
    if (source.width <= 0 || source.height <= 0 || source.format == AV_PIX_FMT_NONE)
        return MEDIA_ERR_INPUT;
    return graph.create(true, FilterGraphBuilder::videoSourceArgs(source), clipVideoChain(source, format));
}

int JoinGraphBuilder::buildClipAudio(const AudioSource &source, double volume, const JoinFormat &format,
                                     FilterGraph &graph)
{
    if (source.sampleRate <= 0 || source.format == AV_SAMPLE_FMT_NONE || source.layout.nb_channels <= 0)
        return MEDIA_ERR_INPUT;
    return graph.create(false, FilterGraphBuilder::audioSourceArgs(source), clipAudioChain(volume, format));
}

std::string JoinGraphBuilder::transitionChain(bool video, int code, int64_t units, const JoinFormat &format)
{
    if (video) {
        char seconds[64];
        snprintf(seconds, sizeof seconds, "%.6f",
                 double(units) * format.frameRate.den / format.frameRate.num);
        return std::string("[a][b]xfade=transition=") + xfadeName(code) + ":duration=" + seconds +
               ":offset=0,format=" + av_get_pix_fmt_name(AVPixelFormat(format.pixelFormat)) + "[out]";
    }
    return "[a][b]acrossfade=nb_samples=" + std::to_string(units) + ":curve1=tri:curve2=tri," +
           audioFormat(format) + "[out]";
}

std::string JoinGraphBuilder::videoSourceArgs(const JoinFormat &format)
{
    VideoSource source;
    source.width = format.width;
    source.height = format.height;
    source.format = format.pixelFormat;
    source.timeBase = av_inv_q(format.frameRate);
    source.sampleAspectRatio = {1, 1};
    source.frameRate = format.frameRate;
    return FilterGraphBuilder::videoSourceArgs(source);
}

std::string JoinGraphBuilder::audioSourceArgs(const JoinFormat &format)
{
    AudioSource source;
    source.sampleRate = format.sampleRate;
    source.format = format.sampleFormat;
    source.layout = format.layout; // native order: nothing to copy or free
    return FilterGraphBuilder::audioSourceArgs(source);
}

} // namespace engine
