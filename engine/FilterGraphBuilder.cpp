#include "engine/FilterGraphBuilder.h"

#include "media/MediaEngine.h"

#include <cmath>

namespace engine {

namespace {

void append(std::string &chain, const std::string &filter)
{
    if (!chain.empty())
        chain += ',';
    chain += filter;
}

std::string layoutName(const AVChannelLayout &layout)
{
    char text[128] = {};
    av_channel_layout_describe(&layout, text, sizeof text);
    return text;
}

} // namespace

void FilterGraphBuilder::uprightSize(const VideoSource &source, int &width, int &height)
{
    bool quarter = source.storedRotation == 90 || source.storedRotation == 270;
    width = quarter ? source.height : source.width;
    height = quarter ? source.width : source.height;
}

std::string FilterGraphBuilder::videoChain(const VideoSource &source, const VideoSettings &settings)
{
    std::string chain;
    switch (source.storedRotation) {
    case 90:
        append(chain, "transpose=clock");
        break;
    case 180:
        append(chain, "hflip,vflip");
        break;
    case 270:
        append(chain, "transpose=cclock");
        break;
    default:
        break;
    }

    if (settings.fitWidth > 0 && settings.fitHeight > 0) {
        int w = 0, h = 0;
        uprightSize(source, w, h);
        double sar = source.sampleAspectRatio.num > 0 ? av_q2d(source.sampleAspectRatio) : 1.0;
        if (source.storedRotation == 90 || source.storedRotation == 270)
            sar = 1.0 / sar;
        double shown = w * sar / h; // displayed aspect ratio
        int fitW = settings.fitWidth;
        int fitH = int(std::lround(fitW / shown));
        if (fitH > settings.fitHeight) {
            fitH = settings.fitHeight;
            fitW = std::max(1, int(std::lround(fitH * shown)));
        }
        fitW = std::min(std::max(fitW, 1), settings.fitWidth);
        fitH = std::max(fitH, 1);
        append(chain, "scale=" + std::to_string(fitW) + ":" + std::to_string(fitH) + ",setsar=1");
        append(chain, "pad=" + std::to_string(settings.fitWidth) + ":" + std::to_string(settings.fitHeight) +
                          ":(ow-iw)/2:(oh-ih)/2:color=black");
    } else if (settings.width > 0 && settings.height > 0) {
        append(chain, "scale=" + std::to_string(settings.width) + ":" + std::to_string(settings.height) +
                          ",setsar=1");
    }

    if (settings.frameRate.num > 0 && settings.frameRate.den > 0)
        append(chain, "fps=" + std::to_string(settings.frameRate.num) + "/" +
                          std::to_string(settings.frameRate.den));
    if (settings.format != AV_PIX_FMT_NONE)
        append(chain, std::string("format=") + av_get_pix_fmt_name(AVPixelFormat(settings.format)));
    return chain;
}

std::string FilterGraphBuilder::audioChain(const AudioSource &source, const AudioSettings &settings)
{
    std::string chain;
    if (std::fabs(settings.volume - 1.0) > 1e-6) {
        char text[64];
        snprintf(text, sizeof text, "volume=%.6f", std::max(0.0, settings.volume));
        append(chain, text);
    }
    if (settings.trimStart || settings.trimEnd > 0) {
        std::string trim = "atrim=start=0";
        if (settings.trimEnd > 0)
            trim += ":end=" + std::to_string(settings.trimEnd) + "us";
        append(chain, trim);
    }
    int rate = settings.sampleRate > 0 ? settings.sampleRate : source.sampleRate;
    int format = settings.format != AV_SAMPLE_FMT_NONE ? settings.format : source.format;
    const AVChannelLayout &layout = settings.layout.nb_channels > 0 ? settings.layout : source.layout;
    append(chain, std::string("aformat=sample_fmts=") + av_get_sample_fmt_name(AVSampleFormat(format)) +
                      ":sample_rates=" + std::to_string(rate) + ":channel_layouts=" + layoutName(layout));
    return chain;
}

int FilterGraphBuilder::buildVideo(const VideoSource &source, const VideoSettings &settings,
                                   FilterGraph &graph)
{
    if (source.width <= 0 || source.height <= 0 || source.format == AV_PIX_FMT_NONE)
        return MEDIA_ERR_INPUT;
    AVRational sar = source.sampleAspectRatio.num > 0 ? source.sampleAspectRatio : AVRational{1, 1};
    std::string args = "video_size=" + std::to_string(source.width) + "x" + std::to_string(source.height) +
                       ":pix_fmt=" + std::to_string(source.format) + ":time_base=" +
                       std::to_string(source.timeBase.num) + "/" + std::to_string(source.timeBase.den) +
                       ":pixel_aspect=" + std::to_string(sar.num) + "/" + std::to_string(sar.den);
    if (source.frameRate.num > 0 && source.frameRate.den > 0)
        args += ":frame_rate=" + std::to_string(source.frameRate.num) + "/" +
                std::to_string(source.frameRate.den);
    return graph.create(true, args, videoChain(source, settings));
}

int FilterGraphBuilder::buildAudio(const AudioSource &source, const AudioSettings &settings,
                                   FilterGraph &graph)
{
    if (source.sampleRate <= 0 || source.format == AV_SAMPLE_FMT_NONE || source.layout.nb_channels <= 0)
        return MEDIA_ERR_INPUT;
    std::string args = "time_base=1/" + std::to_string(source.sampleRate) +
                       ":sample_rate=" + std::to_string(source.sampleRate) +
                       ":sample_fmt=" + av_get_sample_fmt_name(AVSampleFormat(source.format)) +
                       ":channel_layout=" + layoutName(source.layout);
    return graph.create(false, args, audioChain(source, settings));
}

} // namespace engine
