#include "engine/FilterGraphBuilder.h"

#include "engine/EngineLog.h"
#include "engine/FilterText.h"
#include "engine/StillImage.h"
#include "engine/SubtitleFilter.h"
#include "engine/TextWatermarkImage.h"
#include "media/MediaEngine.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace engine {

namespace {

void append(std::string &chain, const std::string &filter)
{
    if (filter.empty())
        return;
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

std::string size(int width, int height)
{
    return std::to_string(width) + ":" + std::to_string(height);
}

std::string turn(int degrees)
{
    switch (degrees) {
    case 90:
        return "transpose=clock";
    case 180:
        return "hflip,vflip";
    case 270:
        return "transpose=cclock";
    default:
        return {};
    }
}

bool quarter(int degrees)
{
    return degrees == 90 || degrees == 270;
}

// A watermark's alpha from its transparence (0 = opaque, 100 = invisible).
double opacity(int transparence)
{
    return std::clamp(1.0 - transparence / 100.0, 0.0, 1.0);
}

// overlay's `enable` for a span of the file timeline, in the graph's time (pts 0 = `offset`).
std::string span(int64_t start, int64_t end, int64_t offset)
{
    std::string from = FilterText::seconds(start - offset);
    std::string expr = end <= 0 ? "gte(t," + from + ")"
                                : "between(t," + from + "," + FilterText::seconds(end - offset) + ")";
    return "enable=" + FilterText::value(expr);
}

std::string effect(int id, int width, int height)
{
    const char *sepia = "colorchannelmixer=rr=0.393:rg=0.769:rb=0.189:gr=0.349:gg=0.686:gb=0.168:"
                        "br=0.272:bg=0.534:bb=0.131";
    int shorter = std::min(width, height);
    switch (id) {
    case EffectGray:
        return "hue=s=0";
    case EffectSepia:
        return sepia;
    case EffectNegative:
        return "negate";
    case EffectBlur:
        return "boxblur=luma_radius=" + std::to_string(std::max(2, shorter / 90)) + ":luma_power=2";
    case EffectSharpen:
        return "unsharp=luma_msize_x=5:luma_msize_y=5:luma_amount=1.5";
    case EffectEmboss: // relief on a mid-grey plane: flat areas turn grey, edges light on one side
        return "convolution=0m=-2 -1 0 -1 0 1 0 1 2:0rdiv=1:0bias=128,hue=s=0";
    case EffectEdge:
        return "edgedetect=low=0.05:high=0.15:planes=0x1,hue=s=0";
    case EffectVignette:
        return "vignette";
    case EffectOldFilm:
        return std::string(sepia) + ",noise=alls=18:allf=t,vignette";
    case EffectMosaic: {
        int block = std::max(8, shorter / 30);
        return "scale=" + size(std::max(1, width / block), std::max(1, height / block)) +
               ":flags=area,scale=" + size(width, height) + ":flags=neighbor";
    }
    default:
        return {};
    }
}

// Mirror, rotation, colour and effects: the single-input part before the watermarks.
std::string pictureEdits(const EditSettings &e, int width, int height)
{
    std::string chain;
    if (e.hFlip)
        append(chain, "hflip");
    if (e.vFlip)
        append(chain, "vflip");
    append(chain, turn(e.rotation));
    if (e.brightness != 0 || e.contrast != 0 || e.saturation != 0)
        append(chain, "eq=brightness=" + FilterText::number(e.brightness / 255.0) +
                          ":contrast=" + FilterText::number(1.0 + e.contrast / 100.0) +
                          ":saturation=" + FilterText::number(1.0 + e.saturation / 100.0));
    std::vector<int> effects = e.effects;
    std::sort(effects.begin(), effects.end());
    effects.erase(std::unique(effects.begin(), effects.end()), effects.end());
    for (int id : effects)
        append(chain, effect(id, width, height));
    return chain;
}

std::string fieldText(const char *field, size_t capacity)
{
    return std::string(field, strnlen(field, capacity));
}

// The main line of filters with secondary inputs overlaid on it, as graph text: a plain chain while
// nothing is overlaid, else labelled pieces from [in] to [out].
class OverlayGraph
{
public:
    explicit OverlayGraph(std::string chain) : m_pending(std::move(chain)) {}

    void add(const std::string &filter) { append(m_pending, filter); }

    // Overlays the chain `source` (a source filter and what follows it) at x, y.
    void overlay(const std::string &source, int x, int y, const std::string &options)
    {
        std::string main = flush();
        std::string secondary = "s" + std::to_string(m_next++);
        std::string result = "m" + std::to_string(m_next++);
        m_text += source + "[" + secondary + "];[" + main + "][" + secondary +
                  "]overlay=x=" + std::to_string(x) + ":y=" + std::to_string(y) + ":format=auto:" + options +
                  "[" + result + "];";
        m_label = result;
    }

    std::string finish()
    {
        if (m_text.empty())
            return m_pending;
        return m_text + "[" + m_label + "]" + (m_pending.empty() ? "null" : m_pending) + "[out]";
    }

private:
    // Ends the main line's pending filters under a new label.
    std::string flush()
    {
        if (m_pending.empty())
            return m_label;
        std::string label = "m" + std::to_string(m_next++);
        m_text += "[" + m_label + "]" + m_pending + "[" + label + "];";
        m_pending.clear();
        m_label = label;
        return label;
    }

    std::string m_text;    // finished pieces
    std::string m_pending; // filters after m_label not yet written
    std::string m_label = "in";
    int m_next = 0;
};

} // namespace

void FilterGraphBuilder::uprightSize(const VideoSource &source, int &width, int &height)
{
    bool turned = quarter(source.storedRotation);
    width = turned ? source.height : source.width;
    height = turned ? source.width : source.height;
}

void FilterGraphBuilder::editedSize(const VideoSource &source, const EditSettings *edits, int &width,
                                    int &height)
{
    uprightSize(source, width, height);
    if (edits && quarter(edits->rotation))
        std::swap(width, height);
}

bool FilterGraphBuilder::mixesMusic(const AudioSettings &settings)
{
    return settings.edits && !settings.edits->music.empty();
}

std::string FilterGraphBuilder::videoChain(const VideoSource &source, const VideoSettings &settings,
                                           std::vector<FramePtr> *stills)
{
    static const EditSettings none;
    const EditSettings &e = settings.edits ? *settings.edits : none;
    int w = 0, h = 0;
    editedSize(source, &e, w, h);

    std::string pre = turn(source.storedRotation);
    append(pre, pictureEdits(e, w, h));
    // The frame rate is set before anything is overlaid: an overlay ends its output at its last
    // picture's start, not its end, and a rate set after it would drop that picture.
    if (settings.frameRate.num > 0 && settings.frameRate.den > 0)
        append(pre, "fps=" + std::to_string(settings.frameRate.num) + "/" + std::to_string(settings.frameRate.den));
    OverlayGraph graph(pre);

    // Timed edits read the file timeline; the graph's pts 0 is the cut start.
    const int64_t offset = settings.timelineOffset;
    for (const IMAGE_WATERMARK_PARAM &wm : e.imageWatermarks) {
        int ww = wm.rect.right - wm.rect.left, wh = wm.rect.bottom - wm.rect.top;
        if (ww <= 0 || wh <= 0)
            continue;
        std::string path = fieldText(wm.path, sizeof wm.path);
        FramePtr still = stills && e.loadImage ? StillImage::load(path, e.loadImage) : nullptr;
        std::string src =
            still ? StillImage::sourceText(*still) : "movie=filename=" + FilterText::value(path);
        src += ",scale=" + size(ww, wh) + ",format=rgba";
        if (still)
            stills->push_back(std::move(still));
        if (wm.transparence > 0)
            src += ",colorchannelmixer=aa=" + FilterText::number(opacity(wm.transparence));
        graph.overlay(src, wm.rect.left, wm.rect.top,
                      "eof_action=repeat:" + span(wm.start_time, wm.end_time, offset));
    }
    for (const VIDEO_WATERMARK_PARAM &wm : e.videoWatermarks) {
        int ww = wm.rect.right - wm.rect.left, wh = wm.rect.bottom - wm.rect.top;
        if (ww <= 0 || wh <= 0)
            continue;
        std::string trim = "trim=start=" + FilterText::seconds(wm.file_start_time);
        if (wm.file_end_time > wm.file_start_time)
            trim += ":end=" + FilterText::seconds(wm.file_end_time);
        // Its part starts playing at start_time on the main timeline.
        std::string src = "movie=filename=" + FilterText::value(fieldText(wm.path, sizeof wm.path)) +
                          ":seek_point=" + FilterText::seconds(wm.file_start_time) + "," + trim +
                          ",setpts=PTS-STARTPTS+" + FilterText::seconds(wm.start_time - offset) +
                          "/TB,scale=" + size(ww, wh);
        if (wm.transparence > 0)
            src += ",format=rgba,colorchannelmixer=aa=" + FilterText::number(opacity(wm.transparence));
        graph.overlay(src, wm.rect.left, wm.rect.top,
                      "eof_action=pass:" + span(wm.start_time, wm.end_time, offset));
    }
    if (stills && !e.textWatermarks.empty() && !e.drawText)
        engineLog("no text callback registered; %zu text watermark(s) skipped", e.textWatermarks.size());
    for (const TEXT_WATERMARK_PARAM &wm : e.textWatermarks) {
        if (!stills || !e.drawText)
            break;
        int x = 0, y = 0;
        FramePtr still = TextWatermarkImage::render(wm, e.drawText, w, h, x, y);
        if (!still)
            continue;
        std::string src = StillImage::sourceText(*still);
        stills->push_back(std::move(still));
        // The callback draws the text opaque; its transparency is applied here, once, as for pictures.
        if (wm.transparence > 0)
            src += ",format=rgba,colorchannelmixer=aa=" + FilterText::number(opacity(wm.transparence));
        graph.overlay(src, x, y, "eof_action=repeat:" + span(wm.start_time, wm.end_time, offset));
    }
    std::string subtitle = SubtitleFilter::text(e.subtitle, w, h);
    if (!subtitle.empty()) {
        // libass reads the frame's time as the file's.
        if (offset != 0)
            graph.add("setpts=PTS+" + FilterText::seconds(offset) + "/TB," + subtitle + ",setpts=PTS-" +
                      FilterText::seconds(offset) + "/TB");
        else
            graph.add(subtitle);
    }

    const RECT &c = e.crop;
    int left = std::max(0, c.left) & ~1, top = std::max(0, c.top) & ~1;
    int right = std::max(0, c.right) & ~1, bottom = std::max(0, c.bottom) & ~1;
    if (left || top || right || bottom) {
        w -= left + right;
        h -= top + bottom;
        graph.add("crop=" + size(w, h) + ":" + std::to_string(left) + ":" + std::to_string(top) + ":exact=1");
    }

    // An output size of another shape than the picture gets the picture fitted inside with black bars,
    // whether a join or a conversion asked for it: a picture is never stretched.
    const bool fit = settings.fitWidth > 0 && settings.fitHeight > 0;
    const int boxW = fit ? settings.fitWidth : settings.width;
    const int boxH = fit ? settings.fitHeight : settings.height;
    if (boxW > 0 && boxH > 0) {
        double sar = source.sampleAspectRatio.num > 0 ? av_q2d(source.sampleAspectRatio) : 1.0;
        if (quarter(source.storedRotation) != quarter(e.rotation))
            sar = 1.0 / sar;
        double shown = w * sar / std::max(h, 1); // displayed aspect ratio
        int fitW = boxW;
        int fitH = int(std::lround(fitW / shown));
        if (fitH > boxH) {
            fitH = boxH;
            fitW = std::max(1, int(std::lround(fitH * shown)));
        }
        fitW = std::min(std::max(fitW, 1), boxW);
        fitH = std::max(fitH, 1);
        graph.add("scale=" + size(fitW, fitH) + ",setsar=1");
        graph.add("pad=" + size(boxW, boxH) + ":(ow-iw)/2:(oh-ih)/2:color=black");
    }

    if (settings.format != AV_PIX_FMT_NONE)
        graph.add(std::string("format=") + av_get_pix_fmt_name(AVPixelFormat(settings.format)));
    return graph.finish();
}

std::string FilterGraphBuilder::audioChain(const AudioSource &source, const AudioSettings &settings)
{
    std::string main;
    if (std::fabs(settings.volume - 1.0) > 1e-6)
        append(main, "volume=" + FilterText::number(std::max(0.0, settings.volume)));
    std::string tail;
    if (settings.trimStart || settings.trimEnd > 0) {
        std::string trim = "atrim=start=0";
        if (settings.trimEnd > 0)
            trim += ":end=" + std::to_string(settings.trimEnd) + "us";
        append(tail, trim);
    }
    int rate = settings.sampleRate > 0 ? settings.sampleRate : source.sampleRate;
    int format = settings.format != AV_SAMPLE_FMT_NONE ? settings.format : source.format;
    const AVChannelLayout &layout = settings.layout.nb_channels > 0 ? settings.layout : source.layout;
    append(tail, audioFormatFilter(rate, format, layout));
    if (!mixesMusic(settings)) {
        append(main, tail);
        return main;
    }

    // The first input of the mix sets the length: the main audio, or silence as long as the output.
    const int64_t offset = settings.timelineOffset;
    std::string text, inputs;
    if (settings.mainAudio) {
        text = "[in]" + (main.empty() ? std::string("anull") : main) + "[main];";
    } else {
        text = "[in]anullsink;anullsrc=r=" + std::to_string(rate) + ":cl=" + layoutName(layout) +
               ",atrim=duration=" + FilterText::seconds(std::max<int64_t>(settings.outputDuration, 1)) +
               "[main];";
    }
    inputs = "[main]";
    int count = 1;
    for (const MusicTrack &m : settings.edits->music) {
        int64_t sourceEnd =
            m.sourceEnd > m.sourceStart && (m.fileDuration <= 0 || m.sourceEnd < m.fileDuration)
                ? m.sourceEnd
                : m.fileDuration;
        int64_t used = sourceEnd - m.sourceStart;
        int64_t timelineEnd =
            m.timelineEnd > m.timelineStart ? m.timelineEnd : offset + settings.outputDuration;
        int64_t length = timelineEnd - m.timelineStart;
        if (used <= 0 || length <= 0 || m.sampleRate <= 0)
            continue;
        std::string chain = "amovie=filename=" + FilterText::value(m.path) +
                            ",atrim=start=" + FilterText::seconds(m.sourceStart) +
                            ":end=" + FilterText::seconds(sourceEnd) + ",asetpts=PTS-STARTPTS";
        if (used < length) // repeat the used part to fill the span
            chain += ",aloop=loop=-1:size=" + std::to_string(av_rescale(used, m.sampleRate, 1000000));
        chain += ",atrim=duration=" + FilterText::seconds(length);
        if (m.fadeIn > 0)
            chain += ",afade=t=in:st=0:d=" + FilterText::seconds(std::min(m.fadeIn, length));
        if (m.fadeOut > 0) {
            int64_t fade = std::min(m.fadeOut, length);
            chain +=
                ",afade=t=out:st=" + FilterText::seconds(length - fade) + ":d=" + FilterText::seconds(fade);
        }
        if (std::fabs(m.volume - 1.0) > 1e-6)
            chain += ",volume=" + FilterText::number(std::max(0.0, m.volume));
        // Onto the output's timeline: delayed by silence, or its beginning cut when the output starts
        // inside its span.
        if (m.timelineStart >= offset)
            chain += ",adelay=delays=" +
                     std::to_string(av_rescale(m.timelineStart - offset, m.sampleRate, 1000000)) + "S:all=1";
        else
            chain +=
                ",atrim=start=" + FilterText::seconds(offset - m.timelineStart) + ",asetpts=PTS-STARTPTS";
        std::string label = "mu" + std::to_string(count);
        text += chain + "[" + label + "];";
        inputs += "[" + label + "]";
        ++count;
    }
    text += inputs + "amix=inputs=" + std::to_string(count) +
            ":duration=first:dropout_transition=0:normalize=0," + tail + "[out]";
    return text;
}

VideoSource FilterGraphBuilder::videoSource(const InputFile &input, int index, const AVCodecContext *decoder)
{
    const AVStream *in = input.stream(index);
    VideoSource source;
    source.width = decoder->width;
    source.height = decoder->height;
    source.format = decoder->pix_fmt != AV_PIX_FMT_NONE ? decoder->pix_fmt : in->codecpar->format;
    source.timeBase = in->time_base;
    source.sampleAspectRatio = decoder->sample_aspect_ratio;
    source.frameRate = input.frameRate(index);
    source.storedRotation = input.rotation(index);
    return source;
}

void FilterGraphBuilder::audioSource(const AVCodecContext *decoder, AudioSource &source)
{
    source.sampleRate = decoder->sample_rate;
    source.format = decoder->sample_fmt;
    if (decoder->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_default(&source.layout, decoder->ch_layout.nb_channels);
    else
        av_channel_layout_copy(&source.layout, &decoder->ch_layout);
}

std::string FilterGraphBuilder::videoSourceArgs(const VideoSource &source)
{
    AVRational sar = source.sampleAspectRatio.num > 0 ? source.sampleAspectRatio : AVRational{1, 1};
    std::string args = "video_size=" + std::to_string(source.width) + "x" + std::to_string(source.height) +
                       ":pix_fmt=" + std::to_string(source.format) +
                       ":time_base=" + std::to_string(source.timeBase.num) + "/" +
                       std::to_string(source.timeBase.den) + ":pixel_aspect=" + std::to_string(sar.num) +
                       "/" + std::to_string(sar.den);
    if (source.frameRate.num > 0 && source.frameRate.den > 0)
        args += ":frame_rate=" + std::to_string(source.frameRate.num) + "/" +
                std::to_string(source.frameRate.den);
    return args;
}

std::string FilterGraphBuilder::audioSourceArgs(const AudioSource &source)
{
    return "time_base=1/" + std::to_string(source.sampleRate) +
           ":sample_rate=" + std::to_string(source.sampleRate) +
           ":sample_fmt=" + av_get_sample_fmt_name(AVSampleFormat(source.format)) +
           ":channel_layout=" + layoutName(source.layout);
}

std::string FilterGraphBuilder::audioFormatFilter(int sampleRate, int format, const AVChannelLayout &layout)
{
    return std::string("aformat=sample_fmts=") + av_get_sample_fmt_name(AVSampleFormat(format)) +
           ":sample_rates=" + std::to_string(sampleRate) + ":channel_layouts=" + layoutName(layout);
}

int FilterGraphBuilder::buildVideo(const VideoSource &source, const VideoSettings &settings,
                                   FilterGraph &graph)
{
    if (source.width <= 0 || source.height <= 0 || source.format == AV_PIX_FMT_NONE)
        return MEDIA_ERR_INPUT;
    if (settings.edits) {
        int w = 0, h = 0;
        editedSize(source, settings.edits, w, h);
        const RECT &c = settings.edits->crop;
        if (w - (std::max(0, c.left) & ~1) - (std::max(0, c.right) & ~1) < 2 ||
            h - (std::max(0, c.top) & ~1) - (std::max(0, c.bottom) & ~1) < 2) {
            engineLog("the crop margins %d, %d, %d, %d leave nothing of a %dx%d picture", c.left, c.top,
                      c.right, c.bottom, w, h);
            return MEDIA_ERR_ARGUMENT;
        }
    }
    std::vector<FramePtr> stills;
    std::string chain = videoChain(source, settings, &stills);
    int r = graph.create(true, videoSourceArgs(source), chain);
    if (r < 0)
        return settings.edits && settings.edits->changesPicture() ? MEDIA_ERR_INPUT : r;
    return graph.feedStills(stills);
}

int FilterGraphBuilder::buildAudio(const AudioSource &source, const AudioSettings &settings,
                                   FilterGraph &graph)
{
    if (source.sampleRate <= 0 || source.format == AV_SAMPLE_FMT_NONE || source.layout.nb_channels <= 0)
        return MEDIA_ERR_INPUT;
    int r = graph.create(false, audioSourceArgs(source), audioChain(source, settings));
    if (r < 0)
        return mixesMusic(settings) ? MEDIA_ERR_INPUT : r;
    if (!settings.mainAudio && (r = graph.push(nullptr)) < 0)
        return r;
    return MEDIA_OK;
}

} // namespace engine
