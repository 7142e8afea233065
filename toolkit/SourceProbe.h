#pragma once
// The one probe of every tool window: turns one media file into a clip record. The engine's probe fills
// a fresh SimpleData with the source description (duration seconds, size MB, bit rates kbit/s as
// FileData keeps them, whole fps), the target description from the nine output titles, the list of
// audio streams and, for a file with pictures, a thumbnail 180 pixels high with the picture's own shape
// (a list row scales it into its cell keeping that shape). An audio-only file gets no thumbnail: each
// window shows its own audio icon.
//
// A file is refused (null) when the engine cannot open or describe it, when it has neither a video nor
// an audio stream, or when a stream it reports has no size (video) or no channels or rate (audio).
// probeAll() keeps the refused paths, so a window can name them in one alert. The probe handle is
// closed on every path. Sizes read from the file are bounded before any buffer is made from them. Any
// thread (no widgets).
#include "media/MediaEngine.h"
#include "toolkit/EditorOutputSettings.h"

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <memory>
#include <optional>

class AudioStreamInfo;
class SimpleData;

class SourceProbe
{
public:
    // The nine output titles indexed by EditorOutputSettings::Title; a null string = absent.
    using Titles = std::array<QString, EditorOutputSettings::TitleCount>;

    // The editor's titles as stored in the user defaults ("vcodec_SelectTitle", ...).
    static Titles storedTitles();

    // The one list of file types every tool window's open panel and add accept (lower case, without
    // dots, matched ignoring case): the classic media types plus every extension a shipped profile
    // writes, so a tool always takes the files the application itself wrote.
    static QStringList allowedFileTypes();

    // The record for `path`, or null when the file is refused. The target description is filled from
    // `titles` (fillTarget()), or without titles is the same as the source's.
    static std::shared_ptr<SimpleData> probe(const QString &path, const std::optional<Titles> &titles);

    // Several files in order: the records of the accepted ones and the paths of the refused ones.
    struct Batch
    {
        QList<std::shared_ptr<SimpleData>> accepted;
        QStringList refused;
    };
    static Batch probeAll(const QStringList &paths, const std::optional<Titles> &titles);

    // The target description from the titles: each size, rate and fps from its title or, when the title
    // reads 0 (absent, "Custom", no leading number), the source's; the size estimate in kilobytes; the
    // codec title and the extension title (the source's extension when absent). Without video only the
    // estimate (0), the codec and the extension are set.
    static void fillTarget(SimpleData &data, const Titles &titles);

    // One entry per audio stream, in the engine's order; empty when there is none or the engine fails.
    static QList<std::shared_ptr<AudioStreamInfo>> getAudioStreamInfomation(const QString &path);
    // The same for a file the engine has opened for probing.
    static QList<std::shared_ptr<AudioStreamInfo>> audioStreamsOf(MEDIA_HANDLE handle);

    // The width of a thumbnail 180 high for a width x height picture (1920 x 1080 gives 320), held to
    // 1 .. maxThumbnailWidth; 0 when either size is not above 0.
    static int thumbnailWidth(int width, int height);
    static constexpr int thumbnailHeight = 180;
    static constexpr int maxThumbnailWidth = 4096;

    // A copy of a BGRA buffer (4-byte pixels blue, green, red, alpha premultiplied, rows width x 4
    // bytes) as an image.
    static QImage imageFromBgra(const uchar *bgra, int width, int height);
};
