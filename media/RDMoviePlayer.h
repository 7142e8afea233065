#pragma once
// The preview player (libMediaPlayer): plays one media file in a view, with sound, and shows the same
// picture and sound edits the export applies (they go through the engine's one filter-graph builder).
//
// Threads: every method is called on the main thread. Decoding and filtering run on a thread of the
// player's own; pictures and the end-of-play callback reach the caller on the main thread. The draw-text
// and load-image callbacks are called on the player's thread.
// Units: times are CMTime on the file's own timeline (a file whose timestamps begin at 10 s starts at 0);
// sizes and positions are pixels of the upright picture; record times are microseconds.
// Sound goes to the default audio device; without one the player keeps time with a silent clock, so
// playback, timing and the end callback work the same.
// Edits are applied at once to a playing picture; while paused they show after Refresh().
#include "media/MediaEngine.h"
#include "media/MediaRecords.h"
#include "platform/CMTime.h"
#include "platform/Geometry.h"

#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace engine {
struct EditSettings;
}
namespace player {
class PlayerCore;
class PlayerView;
struct Picture;
} // namespace player

class RDMoviePlayer
{
public:
    // The text renderer (see MEDIA_DRAW_TEXT_CALLBACK in MediaEngine.h): draws one text watermark into a
    // cleared, picture-sized buffer of 4-byte pixels, blue, green, red, alpha (premultiplied), top row
    // first. Called on the player's thread.
    using DrawTextCallback = MEDIA_DRAW_TEXT_CALLBACK;
    // The picture loader: with `buffer` null, stores the picture's size in *width and *height (each when
    // given) and returns 1; otherwise writes width x height x 4 bytes into a buffer of `size` bytes and
    // returns 1: pixels blue, green, red, alpha (premultiplied), top row first, as the text renderer
    // draws them. Returns 0 on failure. When one is set, the player reads the picture watermarks through
    // it, on the player's thread, each time it rebuilds its picture graph; without one, or when it
    // fails, it decodes the files itself as the export does.
    using LoadImageCallback = int (*)(const char *path, int *width, int *height, int size, uint8_t *buffer);

    // Opens `path` synchronously; the duration is known when this returns. `frame` is the host view's
    // bounds (the player's view takes them). Returns null when the file cannot be opened or holds no
    // decodable audio or video (a corrupt file is refused, with a log line). After opening, the view
    // shows the first frame once it is decoded; the player is paused.
    static std::unique_ptr<RDMoviePlayer> initWithString(const std::string &path,
                                                         const platform::Rect &frame);
    ~RDMoviePlayer();
    RDMoviePlayer(const RDMoviePlayer &) = delete;
    RDMoviePlayer &operator=(const RDMoviePlayer &) = delete;

    // The picture, a widget the caller adds to its host view. It is deleted with the player (unless Qt
    // deleted it first, with its host); after closePlayer() it keeps showing the last picture.
    QWidget *view() const;
    // The view's frame in its parent's bottom-left coordinates (normally the host's bounds).
    void setFrame(const platform::Rect &frame);

    // Starts or resumes playback from the current position (from the start after the end was reached).
    void play();
    // Holds the picture and the sound where they are.
    void pause();
    // Ends playback and goes back to the start (the first frame is shown).
    void stop();
    // Ends playback for good: joins the player's thread and releases the file, the decoders and the
    // sound device. Every later call is a harmless no-op; duration() keeps its value.
    void closePlayer();
    // 1 while playing, else 0.
    int playerStatus() const;
    // Called on the main thread, once each time playback reaches the end (the player is then paused at
    // the end). Not called for stop(), pause() or closePlayer().
    void setPlayerDidEndBlock(std::function<void()> block);

    // Shows the frame that is on screen at `time` (the last frame starting at or before it; the first
    // frame for a time before it), clamped to [0, duration]. Playback, if running, continues from there.
    // currentTime() reports the asked time at once; the picture follows from the player's thread.
    void seekTime(platform::CMTime time);
    // The position (microseconds timescale): the playing clock while playing, else the last position
    // sought or reached.
    platform::CMTime currentTime() const;
    // The file's duration (microseconds timescale); 0 when unknown.
    platform::CMTime duration() const;

    // Sound. Volume of the whole preview: a factor 0..2, 0 mutes.
    void SetVolume(double volume);
    // Level of the file's own audio, 0..2 (the editor's effect volume times its original-audio level).
    void SetMainAudioVolume(double volume);
    // true silences the file's own audio (added music still plays).
    void DisableMainAudio(bool disable);
    // The file's audio stream to play, by its stream index in the file; an index that names no audio
    // stream is ignored.
    void SetAudioIndex(int index);

    // Picture edits, applied in the export's order (mirror, rotation, colour and effects, watermarks and
    // subtitles, crop). Brightness, contrast and saturation: 0 leaves each unchanged.
    void SetBCS(int brightness, int contrast, int saturation);
    // Clockwise quarter turns in degrees: 0, 90, 180, 270 (others are rounded to the nearest quarter).
    void SetRotateAngle(int degrees);
    // Mirror across the source frame's vertical (H) or horizontal (V) axis: 0 or 1.
    void SetHFlip(int on);
    void SetVFlip(int on);
    void AddImageEffect(int effectId);
    // Margins cut from the edited picture's left, top, right and bottom edges, in its pixels (each made
    // even), as the export crops it; all 0 shows the whole picture.
    void SetCrop(RECT margins);
    void ClearImageEffect();

    // Watermarks, placed in pixels of the turned, uncropped picture, shown during their times. Text
    // watermarks are drawn by the draw-text callback (left out while none is set); picture and video
    // files are read as the export reads them. Each call answers whether the watermark was taken: a
    // picture or video path that names no readable file (and, for a picture, that the loader cannot
    // read either) is refused (false) and the other edits still show; a file that is readable but no picture leaves the picture unedited, with a log line.
    bool AddTextWatermask(TEXT_WATERMARK_PARAM param);
    bool AddImageWatermask(IMAGE_WATERMARK_PARAM param);
    bool AddVideoWatermask(VIDEO_WATERMARK_PARAM param);
    void ClearWatermask();

    // The subtitle file burnt in; an empty path removes it. The updates restyle the subtitle shown.
    void SetSubtitle(SUBTITLE_PARAM param);
    void UpdateSubtitleFontFile(const std::string &path);
    // Pixels from the bottom edge up to the baseline; -1 = the default placement.
    void UpdateSubtitlePos(int position);
    // Colours as in SUBTITLE_PARAM.fontclr; shadow 1 draws a shadow.
    void UpdateSubtitleFontClr(uint32_t color, int shadow, uint32_t shadowColor);

    // Lays the part [start, end) of the music file `path` under the video at [timelineStart, timelineEnd),
    // fading in over `fadeIn` and out over `fadeOut`, at `factor` times its level (ends of 0 = to the
    // end). A file without decodable audio is not added (log line). Music plays over the file's own
    // audio stream, or over silence when the file has none.
    void AddDubbingMusic(const std::string &path, platform::CMTime start, platform::CMTime end,
                         platform::CMTime timelineStart, platform::CMTime timelineEnd,
                         platform::CMTime fadeIn, platform::CMTime fadeOut, double factor);
    void ClearDubbingMusic();

    void SetDrawTextCallback(DrawTextCallback callback);
    void SetLoadImageCallback(LoadImageCallback callback);

    // Redraws the current frame with the current edits (needed only while paused).
    void Refresh();

    // Copies the current frame, with the edits, into `buff`: *w x *h are the wanted size in (the buffer
    // holds *w x *h x 4 bytes), the delivered size out. The frame keeps its aspect ratio and is shrunk
    // only to fit the wanted size. Pixels are blue, green, red, alpha (premultiplied, opaque), top row
    // first, rows of *w x 4 bytes. Waits for a pending seek or refresh to be drawn first. Returns false,
    // with *w and *h set to 0 and the buffer untouched, when there is no frame or a size is below 1.
    bool Snapshot(int *w, int *h, uint8_t *buff);
    // Waits until every seek and refresh asked so far is drawn; false after `timeoutMs`. Snapshot waits
    // a bounded while itself, then takes what is shown: a caller that must have the new picture waits
    // here first.
    bool waitUntilDrawn(int timeoutMs);

private:
    RDMoviePlayer();
    void changePicture(const std::function<void(engine::EditSettings &)> &change);
    void showPicture(std::shared_ptr<const player::Picture> picture);
    void playerDidEnd();

    std::unique_ptr<player::PlayerCore> m_core;
    QPointer<player::PlayerView> m_view;
    std::function<void()> m_endBlock;
    // Cleared when the player goes away, so hand-offs still queued for the main thread do nothing.
    std::shared_ptr<RDMoviePlayer *> m_self;
    int64_t m_duration = 0;
    double m_mainVolume = 1.0;
    bool m_mainDisabled = false;
};
