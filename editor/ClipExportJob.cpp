#include "editor/ClipExportJob.h"

#include "services/LanguageService.h"
#include "toolkit/EditorOutputSettings.h"
#include "toolkit/OutputNaming.h"
#include "editor/RenderCallbacks.h"
#include "editor/WatermarkWalk.h"
#include "model/EngineRecords.h"
#include "model/FileData.h"
#include "model/MusicInfo.h"
#include "model/MusicRanges.h"
#include "model/SimpleData.h"
#include "model/SubtitleParam.h"
#include "platform/Log.h"
#include "platform/NumberScan.h"
#include "platform/UserDefaults.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace {

using Title = EditorOutputSettings::Title;

bool hasValue(const QString &title)
{
    return !title.trimmed().isEmpty();
}

int storedNumber(const char *key)
{
    return platform::scanInt(platform::UserDefaults::standard().string(QLatin1String(key)));
}

int64_t usFromSeconds(double seconds)
{
    return static_cast<int64_t>(seconds * 1000000.0);
}

bool quarterTurn(int degrees)
{
    const int a = ((degrees % 360) + 360) % 360;
    return a == 90 || a == 270;
}

// Hands the walk's records to the job.
class JobSink : public WatermarkWalk::Sink
{
public:
    JobSink(MEDIA_HANDLE h, const EngineApi &api) : m_h(h), m_api(api) {}
    void addImage(const IMAGE_WATERMARK_PARAM &r) override
    {
        platform::log("suc:%d", m_api.convertAddImageWatermask(m_h, r));
    }
    void addVideo(const VIDEO_WATERMARK_PARAM &r) override
    {
        platform::log("suc:%d", m_api.convertAddVideoWatermark(m_h, r));
    }
    void addText(const TEXT_WATERMARK_PARAM &r) override { m_api.convertAddTextWatermask(m_h, r); }
    void saveFailed(const QString &path) override
    {
        platform::logWarning("cannot write the text watermark picture %@", path);
        failureKey = VW_KEY("WatermarkSaveFailedString");
    }
    void pathTooLong(const QString &path) override
    {
        WatermarkWalk::Sink::pathTooLong(path);
        failureKey = VW_KEY("WatermarkPathTooLongMessage");
    }
    // Set when a watermark cannot go into the file: the export must not end without it.
    const char *failureKey = nullptr;

private:
    MEDIA_HANDLE m_h;
    const EngineApi &m_api;
};

} // namespace

OutputChoice ClipExportJob::storedChoice()
{
    OutputChoice choice;
    for (int i = 0; i < EditorOutputSettings::TitleCount; ++i)
        choice.titles[i] = platform::UserDefaults::standard().string(EditorOutputSettings::keyForTitle(
            static_cast<Title>(i), EditorOutputSettings::KeyFamily::Editor));
    choice.customWidth = storedNumber("resolutionSelectCustom-Width");
    choice.customHeight = storedNumber("resolutionSelectCustom-Height");
    choice.customBitrate = storedNumber("bitSelectCustom-Value");
    return choice;
}

ClipExportJob::ClipExportJob(ExportSources sources, Part part) : m_sources(std::move(sources)), m_part(part)
{
    if (m_sources.waterFolder.isEmpty())
        m_sources.waterFolder = WatermarkWalk::defaultWaterFolder();
    if (!m_sources.outputChoice)
        m_sources.outputChoice = storedChoice();
}

QString ClipExportJob::baseName() const
{
    return QFileInfo(m_sources.clip->name()).completeBaseName();
}

QString ClipExportJob::extension() const
{
    const auto &target = m_sources.clip->targetData();
    return target ? target->extension() : QString();
}

QString ClipExportJob::outputPath() const
{
    return OutputNaming::availablePath(m_sources.outputFolder, baseName(), extension());
}

void ClipExportJob::applyTitles(MEDIA_HANDLE h, const EngineApi &api) const
{
    const OutputChoice &choice = *m_sources.outputChoice;
    const auto &t = choice.titles;
    const SimpleData &clip = *m_sources.clip;

    if (hasValue(t[Title::VideoCodec]))
        api.convertSetVcodec(h, t[Title::VideoCodec].trimmed().toUtf8().constData());

    // With keep-aspect on, the source's proportions stay: no forced frame size.
    if (!clip.keepAspectratio() && hasValue(t[Title::FrameSize])) {
        int width = 0;
        int height = 0;
        if (t[Title::FrameSize].trimmed() == QLatin1String("Custom")) {
            width = clip.targetData() ? clip.targetData()->width() : 0;
            height = clip.targetData() ? clip.targetData()->height() : 0;
            if (choice.customWidth > 0)
                width = choice.customWidth;
            if (choice.customHeight > 0)
                height = choice.customHeight;
        } else {
            const QStringList pieces = t[Title::FrameSize].split(u'x');
            width = platform::scanInt(pieces.first());
            height = platform::scanInt(pieces.last());
        }
        const int angle = clip.convertRateAngle() + (clip.sourceData() ? clip.sourceData()->angle() : 0);
        if (quarterTurn(angle))
            std::swap(width, height);
        if (width > 0 && height > 0)
            api.convertSetVideoFrameSize(h, width, height);
    }

    if (hasValue(t[Title::VideoBitRate])) {
        const int kbps = t[Title::VideoBitRate].trimmed() == QLatin1String("Custom")
                             ? choice.customBitrate
                             : platform::scanInt(t[Title::VideoBitRate]);
        api.convertSetVideoBitrate(h, kbps);
    }
    if (hasValue(t[Title::FrameRate]))
        api.convertSetVideoFps(h, platform::scanDouble(t[Title::FrameRate]));
    if (hasValue(t[Title::AudioCodec]))
        api.convertSetAcodec(h, t[Title::AudioCodec].trimmed().toUtf8().constData());
    if (hasValue(t[Title::AudioBitRate]))
        api.convertSetAudioBitrate(h, platform::scanInt(t[Title::AudioBitRate]));

    const int channels = hasValue(t[Title::Channels]) ? platform::scanInt(t[Title::Channels]) : 0;
    const int rate = hasValue(t[Title::SampleRate]) ? platform::scanInt(t[Title::SampleRate]) : 0;
    if (channels != 0 || rate != 0)
        api.convertSetAudioEncodeContext(h, channels, rate);
}

void ClipExportJob::applyEdits(MEDIA_HANDLE h, const EngineApi &api) const
{
    const SimpleData &clip = *m_sources.clip;

    // An item index past a non-empty stream list leaves the engine's default stream.
    const auto streams = clip.audioStreamInfos();
    const int item = m_sources.audioItemIndex;
    if (streams.isEmpty())
        api.convertSetAudioIndex(h, item);
    else if (item >= 0 && item < streams.size() && streams[item])
        api.convertSetAudioIndex(h, streams[item]->index());
    api.convertSetMaineAudioVolume(h, m_sources.mainAudioVolume);

    if (const auto &sub = clip.subtitleParam(); sub && !sub->subtitlePath().isEmpty()) {
        // A subtitle never coloured by the user shows white in the preview, so it exports white too.
        const auto copy = sub->copy();
        if (!copy->fontColor().isValid())
            copy->setFontColor(Qt::white);
        SUBTITLE_PARAM record;
        if (EngineRecords::fillSubtitle(record, *copy))
            api.convertSetSubtitle(h, record);
        else
            platform::logWarning("subtitle path too long: %@", sub->subtitlePath());
    }

    for (int effect : clip.effectTypes())
        api.convertAddImageEffect(h, effect);
    api.convertAdjustBCS(h, clip.brightness(), clip.contrast(), clip.saturation());

    const int64_t start = clip.cutTimeRange_start();
    const int64_t stop = clip.cutTimeRange_stop();
    if (stop != 0) {
        switch (m_part) {
        case Part::Whole:
            api.convertSetCutTime(h, start, stop);
            break;
        case Part::Before:
            api.convertSetCutTime(h, 0, start);
            break;
        case Part::Behind: {
            const float seconds = clip.sourceData() && clip.sourceData()->duration() > 0
                                      ? clip.sourceData()->duration()
                                      : (clip.targetData() ? clip.targetData()->duration() : 0.0f);
            api.convertSetCutTime(h, stop, usFromSeconds(seconds));
            break;
        }
        }
    }
    const platform::Rect crop = clip.clipRect();
    if (crop.origin.x != 0 || crop.origin.y != 0 || crop.size.width != 0 || crop.size.height != 0)
        api.convertSetCropSize(h, clip.convertCropSize());
    api.convertHFlipStatus(h, clip.hFlip());
    api.convertVFlipStatus(h, clip.vFlip());
    api.convertSetRotateAngle(h,
                              clip.convertRateAngle() + (clip.sourceData() ? clip.sourceData()->angle() : 0));
}

ChainedExportJob::SetUp ClipExportJob::configure(MEDIA_HANDLE h, const QString &outputPath,
                                                 const char *musicFailureKey) const
{
    const EngineApi &api = EngineApi::current();
    if (!m_sources.clip)
        return {MEDIA_ERR_ARGUMENT, {}};
    if (const int r = api.convertSetInputMedia(h, m_sources.clip->path().toUtf8().constData()); r <= 0)
        return {r, {}};
    // A subtitle file gone since it was chosen fails the export rather than exporting without it.
    if (const auto &sub = m_sources.clip->subtitleParam();
        sub && !sub->subtitlePath().isEmpty() && !QFileInfo(sub->subtitlePath()).isReadable())
        return {MEDIA_ERR_INPUT, LanguageService::localizedStringForKey("SubtitleMissingMessage")};
    // Nor without a subtitle whose path the engine's record cannot hold.
    if (const auto &sub = m_sources.clip->subtitleParam(); sub && !sub->subtitlePath().isEmpty()) {
        SUBTITLE_PARAM record;
        if (!EngineRecords::fillSubtitle(record, *sub))
            return {MEDIA_ERR_ARGUMENT, LanguageService::localizedStringForKey("SubtitlePathTooLongMessage")};
    }
    applyTitles(h, api);
    applyEdits(h, api);

    // The text renderer goes in before any text watermark can need it.
    api.convertSetDrawTextCallback(&RenderCallbacks::drawTextWatermarkCallback);
    JobSink sink(h, api);
    WatermarkWalk::walk(m_sources.waterMarkList, m_sources.videoSize, m_sources.watermarkViewWidth,
                        m_sources.waterFolder, sink);
    // Without a watermark the file would not be what the preview shows.
    if (sink.failureKey)
        return {MEDIA_ERR_OUTPUT, LanguageService::localizedStringForKey(QString::fromUtf8(sink.failureKey))};

    if (addDubbingMusic(h) <= 0)
        return {MEDIA_ERR_INPUT, LanguageService::localizedStringForKey(QString::fromUtf8(musicFailureKey))};

    platform::log("outputFileurl:%@", outputPath);
    if (!m_sources.outputFolder.isEmpty())
        QDir().mkpath(m_sources.outputFolder);
    if (const int r = api.convertSetOutputPath(h, outputPath.toUtf8().constData()); r <= 0)
        return {r, {}};
    return {};
}

int ClipExportJob::addDubbingMusic(MEDIA_HANDLE h) const
{
    const EngineApi &api = EngineApi::current();
    int result = 1;
    for (const auto &track : m_sources.musicSelecteds) {
        if (!track)
            continue;
        const MusicRanges::Ranges r = MusicRanges::forTrack(*track, MusicRanges::Form::Export);
        result = api.convertAddDubbingMusic(h, track->path().toUtf8().constData(), usFromSeconds(r.sourceStart),
                                            usFromSeconds(r.sourceEnd), usFromSeconds(r.timelineStart),
                                            usFromSeconds(r.timelineEnd), r.fadeIn ? 1000000 : 0,
                                            r.fadeOut ? 1000000 : 0, r.volume);
        if (result < 0)
            break;
    }
    if (m_sources.removeOriginalAudio)
        api.convertDisableMainAudio(h);
    return result;
}

ChainedExportJob::Step ClipExportJob::step(const QString &outputPath, platform::Timer::Mode mode,
                                           std::function<void(double)> progress,
                                           const char *musicFailureKey) const
{
    ChainedExportJob::Step s;
    s.kind = ChainedExportJob::Kind::Convert;
    s.pollMode = mode;
    const ClipExportJob job = *this;
    s.configure = [job, outputPath, musicFailureKey](MEDIA_HANDLE h) {
        return job.configure(h, outputPath, musicFailureKey);
    };
    s.progress = std::move(progress);
    if (m_sources.clip) {
        s.inputs << m_sources.clip->path();
        // A subtitle file that is not text fails the job with the same code: it is named too.
        if (const auto &sub = m_sources.clip->subtitleParam(); sub && !sub->subtitlePath().isEmpty())
            s.inputs << sub->subtitlePath();
    }
    return s;
}
