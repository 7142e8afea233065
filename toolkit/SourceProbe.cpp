#include "toolkit/SourceProbe.h"

#include "media/MediaEngine.h"
#include "model/AudioStreamInfo.h"
#include "model/EngineRecords.h"
#include "model/FileData.h"
#include "model/SimpleData.h"
#include "platform/Log.h"
#include "platform/NumberScan.h"
#include "platform/UserDefaults.h"

#include <QFileInfo>

#include <cmath>
#include <new>
#include <vector>

namespace {

using Title = EditorOutputSettings::Title;

// A title's leading number; an absent title, "Custom" or text without a number read as 0.
int intOf(const QString &title)
{
    return title.isNull() ? 0 : platform::scanInt(title);
}
double doubleOf(const QString &title)
{
    return title.isNull() ? 0 : platform::scanDouble(title);
}

} // namespace

SourceProbe::Titles SourceProbe::storedTitles()
{
    Titles titles;
    platform::UserDefaults &defaults = platform::UserDefaults::standard();
    for (int i = 0; i < EditorOutputSettings::TitleCount; ++i) {
        const QString key =
            EditorOutputSettings::keyForTitle(Title(i), EditorOutputSettings::KeyFamily::Editor);
        const QVariant value = defaults.value(key);
        titles[i] = value.isValid() ? value.toString() : QString();
        if (value.isValid() && titles[i].isNull())
            titles[i] = QLatin1String("");
    }
    return titles;
}

int SourceProbe::thumbnailWidth(int width, int height)
{
    if (width <= 0 || height <= 0)
        return 0;
    const float k = float(height) / float(thumbnailHeight);
    const double w = std::floor(double(float(width) / k));
    if (!(w >= 1))
        return 1;
    return w > maxThumbnailWidth ? maxThumbnailWidth : int(w);
}

QImage SourceProbe::imageFromBgra(const uchar *bgra, int width, int height)
{
    // Blue, green, red, alpha in memory is a little-endian 32-bit ARGB word.
    return QImage(bgra, width, height, width * 4, QImage::Format_ARGB32_Premultiplied).copy();
}

QList<std::shared_ptr<AudioStreamInfo>> SourceProbe::getAudioStreamInfomation(const QString &path)
{
    const QByteArray utf8 = path.toUtf8();
    MEDIA_HANDLE handle = MediaOpen(utf8.constData());
    if (!handle)
        return {};
    QList<std::shared_ptr<AudioStreamInfo>> list = audioStreamsOf(handle);
    MediaClose(handle);
    return list;
}

QList<std::shared_ptr<AudioStreamInfo>> SourceProbe::audioStreamsOf(MEDIA_HANDLE handle)
{
    QList<std::shared_ptr<AudioStreamInfo>> list;
    int count = 0;
    if (MediaGetAudioStreamInfo(handle, &count, nullptr) >= 0 && count > 0) {
        std::vector<AUDIO_STREAM_INFO> records(size_t(count), AUDIO_STREAM_INFO{});
        int filled = count;
        if (MediaGetAudioStreamInfo(handle, &filled, records.data()) >= 0) {
            // The engine says how many it filled; never read past that or past what was allocated.
            for (int i = 0; i < filled && i < count; ++i)
                list.append(EngineRecords::audioStreamInfo(records[size_t(i)]));
        }
    }
    return list;
}

std::shared_ptr<SimpleData> SourceProbe::probe(const QString &path, const std::optional<Titles> &titles)
{
    platform::log("fileName:%@", path);
    const QByteArray utf8 = path.toUtf8();
    MEDIA_HANDLE handle = MediaOpen(utf8.constData());
    if (!handle)
        return nullptr;
    AUDIO_STREAM_INFO audio{};
    VIDEO_STREAM_INFO video{};
    const bool described = MediaGetInfo(handle, &audio, &video) >= 0;
    const bool videoOk = video.exist == 0 || (video.width > 0 && video.height > 0);
    const bool audioOk = audio.exist == 0 || (audio.channels > 0 && audio.samplerate > 0);
    // A file with nothing to show or play (only subtitles or data, say) is refused.
    const bool hasStream = video.exist != 0 || audio.exist != 0;
    if (!described || !videoOk || !audioOk || !hasStream) {
        MediaClose(handle);
        return nullptr;
    }

    auto data = std::make_shared<SimpleData>();
    data->setAudioStreamInfos(audioStreamsOf(handle)); // the file is probed once
    FileData &source = *data->sourceData();
    FileData &target = *data->targetData();
    const QFileInfo info(path);
    const float seconds = float(double(MediaGetDuration(handle)) / 1000000.0);
    source.setDuration(seconds);
    target.setDuration(seconds);
    source.setFileSize(float(double(info.size()) / 1000000.0));
    EngineRecords::applyAudioStream(source, audio);
    data->setPath(path);
    data->setName(info.fileName());
    source.setExtension(info.suffix());
    if (!titles) {
        // The target starts as the source; a chosen output format changes it later.
        target.setFileSize(source.fileSize());
        target.setExtension(source.extension());
        EngineRecords::applyAudioStream(target, audio);
    }

    bool thumbnailMade = true;
    QImage thumbnail;
    if (video.exist != 0) {
        EngineRecords::applyVideoStream(source, video);
        if (!titles)
            EngineRecords::applyVideoStream(target, video);
        const int w = thumbnailWidth(source.width(), source.height());
        std::vector<uchar> buffer;
        try {
            buffer.resize(size_t(w) * thumbnailHeight * 4);
        } catch (const std::bad_alloc &) {
            thumbnailMade = false;
        }
        if (thumbnailMade) {
            MediaSnapshot(handle, 0, w, thumbnailHeight, buffer.data(), 0);
            thumbnail = imageFromBgra(buffer.data(), w, thumbnailHeight);
        }
    }
    MediaClose(handle);
    if (!thumbnail.isNull())
        data->setThumbImage(thumbnail);
    if (!thumbnailMade || !titles)
        return data;

    fillTarget(*data, *titles);
    return data;
}

SourceProbe::Batch SourceProbe::probeAll(const QStringList &paths, const std::optional<Titles> &titles)
{
    Batch batch;
    for (const QString &path : paths) {
        if (auto record = probe(path, titles))
            batch.accepted.append(record);
        else
            batch.refused.append(path);
    }
    return batch;
}

void SourceProbe::fillTarget(SimpleData &data, const Titles &titles)
{
    const FileData &source = *data.sourceData();
    FileData &target = *data.targetData();
    if (source.exist() != 0) {
        target.setDuration(source.duration());
        const QStringList size = titles[Title::FrameSize].split(u'x');
        const int width = intOf(size.first());
        const int height = intOf(size.last());
        target.setWidth(width != 0 ? width : source.width());
        target.setHeight(height != 0 ? height : source.height());
        const int bitrate = intOf(titles[Title::VideoBitRate]);
        target.setBitrate(bitrate != 0 ? bitrate : source.bitrate());
        const double audioRate = doubleOf(titles[Title::AudioBitRate]);
        target.setA_bitrate(int(audioRate) != 0 ? int(audioRate) : source.a_bitrate());
        const double fps = doubleOf(titles[Title::FrameRate]);
        target.setFps(fps != 0 ? fps : source.fps());
        const double audioKbit = audioRate != 0 ? audioRate : double(source.a_bitrate());
        target.setFileSize(float(std::trunc(double(source.duration()) * (target.bitrate() + audioKbit) / 8)));
    } else {
        target.setFileSize(0);
    }
    target.setMetadata_vcodec(titles[Title::VideoCodec]);
    target.setExtension(titles[Title::ExtName].isNull() ? source.extension() : titles[Title::ExtName]);
}

QStringList SourceProbe::allowedFileTypes()
{
    return {QStringLiteral("mov"),
            "qt",
            "mp4",
            "m4v",
            "flv",
            "ts",
            "m2ts",
            "mts",
            "mkv",
            "mka",
            "mpg",
            "mpeg",
            "mpa",
            "m2v",
            "mpv",
            "dat",
            "avi",
            "divx",
            "3gp",
            "3g2",
            "vob",
            "mxf",
            "tp",
            "trp",
            "nut",
            "h261",
            "h264",
            "mod",
            "tod",
            "wmv",
            "mp3",
            "mp2",
            "m4a",
            "m4r",
            "flac",
            "wav",
            "wma",
            "ogg",
            "aac",
            "ac3",
            // What the shipped profiles write beyond the list above: the tools take their own output.
            "webm",
            "opus"};
}
