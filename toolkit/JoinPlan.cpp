#include "toolkit/JoinPlan.h"

#include "model/FileData.h"
#include "model/SimpleData.h"
#include "platform/Format.h"
#include "platform/Log.h"
#include "platform/NumberScan.h"
#include "platform/UserDefaults.h"

#include <algorithm>
#include <cmath>

namespace {

using Title = EditorOutputSettings::Title;

const QString kCustom = QStringLiteral("Custom");

bool isSet(const QString &title)
{
    return !title.isEmpty() && title != QLatin1String(" ");
}

int storedNumber(const char *key)
{
    return platform::scanInt(platform::UserDefaults::standard().string(QString::fromLatin1(key)));
}

// "1280x720" -> 1280, 720 (a title without an x gives its number twice).
void splitSize(const QString &title, int &width, int &height)
{
    const QStringList pieces = title.split(u'x');
    width = platform::scanInt(pieces.first());
    height = platform::scanInt(pieces.last());
}

void customSize(int &width, int &height)
{
    if (const int w = storedNumber("resolutionSelectCustom-Width"); w > 0)
        width = w;
    if (const int h = storedNumber("resolutionSelectCustom-Height"); h > 0)
        height = h;
}

uint64_t micros(double seconds)
{
    return seconds > 0 ? static_cast<uint64_t>(std::min(seconds * 1e6, 9.0e18)) : 0;
}

struct Span
{
    uint64_t start, stop; // stop is never 0 here: the end is written out
};

// What is left of a clip, as spans on its own timeline.
QList<Span> spansOf(const SimpleData &clip)
{
    const uint64_t end = micros(clip.sourceData() ? clip.sourceData()->duration() : 0);
    const uint64_t start = static_cast<uint64_t>(std::max<qint64>(clip.cutTimeRange_start(), 0));
    uint64_t stop = static_cast<uint64_t>(std::max<qint64>(clip.cutTimeRange_stop(), 0));
    if (stop == 0 || (end > 0 && stop > end))
        stop = end;
    QList<Span> spans;
    if (!clip.isTrimFanxuan()) {
        // Without a known length a kept range with no stop is the whole file.
        if (stop == 0 && start == 0)
            spans.append({0, 0});
        else if (stop > start)
            spans.append({start, stop});
        return spans;
    }
    if (start > 0)
        spans.append({0, std::min(start, end > 0 ? end : start)});
    if (stop < end)
        spans.append({stop, end});
    return spans;
}

double lengthSeconds(const QList<Span> &spans, const SimpleData &clip)
{
    double sum = 0;
    for (const Span &s : spans)
        sum +=
            s.stop == 0 ? (clip.sourceData() ? clip.sourceData()->duration() : 0) : (s.stop - s.start) / 1e6;
    return sum;
}

} // namespace

JoinPlan::Settings JoinPlan::settingsFromTitles(const SourceProbe::Titles &titles,
                                                const SimpleData *reference)
{
    Settings s;
    const auto title = [&](Title t) { return titles[t]; };
    if (isSet(title(Title::VideoCodec)))
        s.videoCodec = title(Title::VideoCodec).trimmed();
    if (isSet(title(Title::AudioCodec)))
        s.audioCodec = title(Title::AudioCodec).trimmed();

    const QString size = title(Title::FrameSize);
    const FileData *target = reference ? reference->targetData().get() : nullptr;
    if (reference) {
        if (reference->keepAspectratio() || !isSet(size) || size == kCustom) {
            s.width = target ? target->width() : 0;
            s.height = target ? target->height() : 0;
            if (!reference->keepAspectratio() && size == kCustom)
                customSize(s.width, s.height);
        } else {
            splitSize(size, s.width, s.height);
        }
        if (const int angle = reference->convertRateAngle(); std::abs(angle) == 90 || std::abs(angle) == 270)
            std::swap(s.width, s.height);
    } else if (size == kCustom) {
        customSize(s.width, s.height);
    } else if (isSet(size)) {
        splitSize(size, s.width, s.height);
    }

    const QString bitrate = title(Title::VideoBitRate);
    if (!isSet(bitrate) || bitrate == kCustom) {
        s.videoBitrate = target ? target->bitrate() : 0;
        if (bitrate == kCustom && storedNumber("bitSelectCustom-Value") > 0)
            s.videoBitrate = storedNumber("bitSelectCustom-Value");
    } else {
        s.videoBitrate = platform::scanInt(bitrate);
    }
    if (isSet(title(Title::FrameRate)))
        s.fps = platform::scanDouble(title(Title::FrameRate));
    if (isSet(title(Title::AudioBitRate)))
        s.audioBitrate = platform::scanInt(title(Title::AudioBitRate));
    // "2(Stereo)" reads as its leading number.
    if (isSet(title(Title::Channels)))
        s.channels = platform::scanInt(title(Title::Channels));
    if (isSet(title(Title::SampleRate)))
        s.sampleRate = platform::scanInt(title(Title::SampleRate));

    platform::log("编码格式:%@", s.videoCodec);
    platform::log("视频码分辨率:%@", title(Title::FrameSize));
    platform::log("视频码率:%@", title(Title::VideoBitRate));
    platform::log("视频帧率:%@", title(Title::FrameRate));
    platform::log("音频编码格式:%@", s.audioCodec);
    platform::log("音频码率:%@", title(Title::AudioBitRate));
    platform::log("音频声道数:%@", title(Title::Channels));
    platform::log("音频采样率:%@", title(Title::SampleRate));
    return s;
}

JoinPlan::Settings JoinPlan::streamCopy()
{
    Settings s;
    s.videoCodec = s.audioCodec = QStringLiteral("copy");
    return s;
}

double JoinPlan::transitionSeconds(double first, double next)
{
    const double shorter = std::min(first, next);
    const double length = shorter < 6.0 ? shorter / 3 : 3.0;
    return length > 0.5 ? length : 0;
}

QList<JoinPlan::Piece> JoinPlan::piecesFor(const QList<std::shared_ptr<SimpleData>> &clips,
                                           QStringList *skipped)
{
    QList<QList<Span>> spans;
    for (const auto &clip : clips)
        spans.append(spansOf(*clip));

    QList<Piece> pieces;
    for (qsizetype i = 0; i < clips.size(); ++i) {
        const SimpleData &clip = *clips[i];
        if (spans[i].isEmpty()) {
            if (skipped)
                skipped->append(clip.name());
            continue;
        }
        for (const Span &span : spans[i])
            pieces.append({clip.path(), span.start, span.stop, clip.volume(), 0, 0});

        // The transition leads into the next clip that has anything left.
        qsizetype next = i + 1;
        while (next < clips.size() && spans[next].isEmpty())
            ++next;
        if (next >= clips.size() || clip.transitionEffect() <= 0)
            continue;
        double seconds = 1.0;
        if (!clip.isTrimFanxuan())
            seconds =
                transitionSeconds(lengthSeconds(spans[i], clip), lengthSeconds(spans[next], *clips[next]));
        if (seconds > 0) {
            pieces.last().transition = clip.transitionEffect();
            pieces.last().transitionLength = static_cast<int64_t>(seconds * 1e6);
        }
    }
    return pieces;
}

ChainedExportJob::SetUp JoinPlan::configure(MEDIA_HANDLE handle, const Settings &settings,
                                            const QString &outputPath, const QList<Piece> &pieces)
{
    const EngineApi &api = EngineApi::current();
    const auto failed = [](int code) {
        platform::log("error:%d", code);
        return ChainedExportJob::SetUp{code, QString()};
    };
    int r = api.joinSetAudioBitrate(handle, settings.audioBitrate);
    if (r > 0 && !settings.audioCodec.isEmpty())
        r = api.joinSetAudioCodec(handle, settings.audioCodec.toUtf8().constData());
    if (r > 0 && (settings.channels != 0 || settings.sampleRate != 0))
        r = api.joinSetAudioEncodeContext(handle, settings.channels, settings.sampleRate);
    if (r > 0 && !settings.videoCodec.isEmpty())
        r = api.joinSetVideoCodec(handle, settings.videoCodec.toUtf8().constData());
    if (r > 0 && settings.width > 0 && settings.height > 0)
        r = api.joinSetVideoFrameSize(handle, settings.width, settings.height);
    if (r > 0 && settings.fps > 0)
        r = api.joinSetVideoFps(handle, settings.fps);
    if (r > 0 && settings.videoBitrate > 0)
        r = api.joinSetVideoBitrate(handle, settings.videoBitrate);
    if (r > 0)
        r = api.joinSetOutputPath(handle, outputPath.toUtf8().constData());
    if (r <= 0)
        return failed(r);

    for (const Piece &piece : pieces) {
        platform::log("开始时间:%u 结束时间:%u 持续时间:%f", piece.start, piece.stop,
                      double(piece.stop) - double(piece.start));
        const int clip =
            api.joinAddMediaClip(handle, piece.path.toUtf8().constData(), piece.start, piece.stop);
        if (clip <= 0)
            return failed(clip < 0 ? clip : int(MEDIA_ERR_INPUT));
        if (piece.transition > 0) {
            if (const int t = api.joinSetTransition(handle, clip, piece.transition, piece.transitionLength);
                t <= 0)
                platform::log("转场添加失败:%d", t);
        }
        if (const int v = api.joinSetAudioVolumn(handle, clip, piece.volume); v <= 0)
            return failed(v);
    }
    return {};
}
