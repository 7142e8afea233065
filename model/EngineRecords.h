#pragma once
// The one place where the model meets the media engine's fixed-layout records: it fills the records the
// application hands to the engine and the player, and reads the stream records the engine's probe fills.
//
// Every fill starts from a zero-filled record. Text goes in as NUL-terminated UTF-8 of at most size - 1
// bytes, never cut inside a character. A file path that does not fit is refused rather than cut (a cut
// path names another file): the fill then reports false and leaves that field empty, and the caller must
// not pass the record on. Plain texts (a watermark text, a font name) are cut when too long.
#include "media/MediaRecords.h"
#include "platform/Geometry.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <memory>

class AudioStreamInfo;
class FileData;
class SubtitleParam;
class WaterParam;

class EngineRecords
{
public:
    // Copies `text` as UTF-8 into dest[0..size) with a terminating NUL. When it needs more than size - 1
    // bytes, it is cut at the last character boundary at or before size - 1 bytes and false is returned.
    static bool copyText(char *dest, std::size_t size, const QString &text);
    template <std::size_t N> static bool copyText(char (&dest)[N], const QString &text)
    {
        return copyText(dest, N, text);
    }
    // As copyText, but a path that does not fit whole leaves dest empty and returns false.
    static bool copyPath(char *dest, std::size_t size, const QString &path);
    template <std::size_t N> static bool copyPath(char (&dest)[N], const QString &path)
    {
        return copyPath(dest, N, path);
    }
    // The UTF-8 text of a fixed-size field filled by the engine; stops at the first NUL or the field's end.
    static QString textOf(const char *field, std::size_t size);
    template <std::size_t N> static QString textOf(const char (&field)[N]) { return textOf(field, N); }

    // A crop margin made even by dropping its remainder modulo 2 (7 -> 6, 8 -> 8), truncated to int.
    static int evenMargin(double pixels);
    // The even margins cut at the left, top, right and bottom edges of a W x H picture to keep `clip`
    // (pixels, origin bottom-left).
    static RECT cropMargins(const platform::Rect &clip, double width, double height);

    // A watermark's fractional rectangle (0..1, origin bottom-left) in pixels of a W x H picture, each
    // product truncated. Picture and video watermarks count top/bottom from the top edge; text watermarks
    // count them from the bottom edge.
    static RECT pictureWatermarkRect(const platform::Rect &fraction, double width, double height);
    static RECT textWatermarkRect(const platform::Rect &fraction, double width, double height);

    // Seconds (float) to microseconds, computed in double precision and truncated.
    static int64_t microseconds(float seconds);

    // A picture watermark from `water` (its waterImagePath, rectangle, alpha) shown from `startTime` to
    // `endTime` (microseconds, as the caller decides). False when the path does not fit.
    static bool fillImageWatermark(IMAGE_WATERMARK_PARAM &out, const WaterParam &water, double width,
                                   double height, int64_t startTime, int64_t endTime);
    // A video watermark from `water`, with the watermark's own span on the clip's timeline
    // (startTime .. startTime + duration) and the used part of its file. False when the path does not fit.
    static bool fillVideoWatermark(VIDEO_WATERMARK_PARAM &out, const WaterParam &water, double width,
                                   double height);
    // A text watermark from `water` drawn at `fontSize` video pixels from `startTime` to `endTime`
    // (microseconds). The text and the font name are cut when too long.
    static void fillTextWatermark(TEXT_WATERMARK_PARAM &out, const WaterParam &water, double width,
                                  double height, int fontSize, int64_t startTime, int64_t endTime);
    // A subtitle from `subtitle`; the shadow colour is the text colour. False when the subtitle path or
    // the font path does not fit.
    static bool fillSubtitle(SUBTITLE_PARAM &out, const SubtitleParam &subtitle);

    // Copies a probed video stream into a media description (bit rate to kbit/s, fps without its
    // fraction). A record whose exist flag is 0 changes nothing.
    static void applyVideoStream(FileData &data, const VIDEO_STREAM_INFO &video);
    // Copies a probed audio stream into the a_ fields (bit rate to kbit/s). A record whose exist flag is
    // not above 0 changes nothing.
    static void applyAudioStream(FileData &data, const AUDIO_STREAM_INFO &audio);
    // One audio stream as the model keeps it: every field, the bit rate in bit/s as reported.
    static std::shared_ptr<AudioStreamInfo> audioStreamInfo(const AUDIO_STREAM_INFO &audio);

private:
    // Truncation toward zero that never overflows: NaN gives 0, values beyond int's range saturate.
    static int truncToInt(double v);
};
