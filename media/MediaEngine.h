#ifndef VW_MEDIA_MEDIAENGINE_H
#define VW_MEDIA_MEDIAENGINE_H
/*
 * The media engine (libMediaCore): probes, snapshots and converts media files through plain C calls.
 *
 * Conventions shared by every call:
 *  - Paths are UTF-8. Times are int64 microseconds on the file's own timeline: a stream whose
 *    timestamps begin at 10 s still starts at 0. Bit rates given to the engine are kbit/s, bit rates
 *    it reports are bit/s; sizes are pixels.
 *  - Handles are opaque. A probe handle (MediaOpen) and a conversion handle (apiMediaConvertCreate)
 *    share one type but not their calls. A 0, closed or foreign handle makes every call a harmless
 *    no-op that returns its failure value (0 for calls that return a handle, a duration or a
 *    percentage, MEDIA_ERR_HANDLE for the rest).
 *  - Pictures are upright: a stored display rotation is applied by the engine, so probes report the
 *    displayed width and height with a rotation of 0, and outputs carry no rotation flag.
 *  - Thread: every call may come from any thread, but one handle's calls other than
 *    apiMediaConvertGetProgress and apiMediaConvertStop must not overlap. Those two touch only
 *    atomics and may be called from the main thread while apiMediaConvertStart blocks on a worker.
 */
#include "media/MediaRecords.h"

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* One handle type for probe and conversion jobs. */
typedef void *MEDIA_HANDLE;

/*
 * Result codes. Users may see them in "error:%d", so the values are fixed. Setters and
 * apiMediaConvertStart succeed with a value above 0 (MEDIA_OK).
 */
enum MediaResult {
    MEDIA_OK = 1,
    MEDIA_ERR_GENERIC = -1,     /* any other failure */
    MEDIA_ERR_HANDLE = -2,      /* unknown, closed or 0 handle */
    MEDIA_ERR_INPUT = -3,       /* the input cannot be opened, read or decoded, or its data ends before
                                   the length it promises (a file cut off or damaged) */
    MEDIA_ERR_OUTPUT = -4,      /* the output cannot be written, or already exists */
    MEDIA_ERR_ENCODER = -5,     /* no encoder for the asked codec, or the container cannot hold it */
    MEDIA_ERR_ARGUMENT = -6,    /* invalid argument */
    MEDIA_ERR_STOPPED = -7,     /* apiMediaConvertStop ended the job */
    MEDIA_ERR_NO_MEMORY = -8,   /* out of memory */
    /* the input holds nothing in the asked range: no stream that was asked for has a picture or a
       sound there */
    MEDIA_ERR_NOTHING_IN_RANGE = -9
};

/* ---- Probe ---------------------------------------------------------------------------------- */

/*
 * Opens `path` for probing. Returns a handle, or 0 when the file is missing, unreadable, corrupt or
 * holds neither a decodable audio nor a decodable video stream, and at once for anything that is not a
 * regular file (or a link to one): a FIFO or a device is never opened. Close it with MediaClose.
 */
MEDIA_HANDLE MediaOpen(const char *path);

/*
 * Fills the first audio and the first video stream of the file (either pointer may be NULL). A kind
 * the file lacks is left with exist 0. Video: displayed width x height, rotate 0, fps, bit/s.
 * Returns MEDIA_OK, or below 0 on failure.
 */
int MediaGetInfo(MEDIA_HANDLE h, AUDIO_STREAM_INFO *audio, VIDEO_STREAM_INFO *video);

/*
 * Every audio stream of the file, in file order, as apiMediaConvertGetAudioStreamInfo lists them for a
 * conversion: with `infos` NULL, stores the count in `*count`; else fills up to `*count` zero-filled
 * records and stores how many it filled. Returns MEDIA_OK, or below 0 with `count` NULL.
 */
int MediaGetAudioStreamInfo(MEDIA_HANDLE h, int *count, AUDIO_STREAM_INFO *infos);

/* The file's duration in microseconds; 0 when unknown or on failure. */
int64_t MediaGetDuration(MEDIA_HANDLE h);

/*
 * Draws the picture shown at `time` (microseconds; 0 = the first frame) into `buffer`: width x height
 * 32-bit pixels, top row first, bytes blue, green, red, alpha, alpha premultiplied (all opaque). The
 * picture keeps its aspect ratio, centred inside the box, with black bars where it does not fill it.
 * `flags` is reserved (pass 0). Returns MEDIA_OK; on failure below 0, with the buffer left black.
 * Decodes synchronously on the caller's thread.
 */
int MediaSnapshot(MEDIA_HANDLE h, int64_t time, int width, int height, uint8_t *buffer, int flags);

/* Releases a probe handle. Returns MEDIA_OK, or MEDIA_ERR_HANDLE for an unknown handle. */
int MediaClose(MEDIA_HANDLE h);

/* ---- Subtitle files ------------------------------------------------------------------------ */

/*
 * Reads the subtitle file at `path` (srt, ass, ssa) as the engine burns it in: UTF-16 with its mark and
 * UTF-8 as they are; any other file in the character set its bytes show, else in the locale's (or
 * WINDOWS-1252 where the locale's is UTF-8 or ASCII). The whole file must convert to text without
 * control characters (tab, line feed, form feed and carriage return aside).
 * Stores the character set's name ("UTF-8", "UTF-16LE", "WINDOWS-1251"..., NUL-terminated and cut to
 * `charsetSize` bytes) in `charset` when it is not NULL. With `text` NULL, stores the size in bytes of the
 * text in UTF-8 (no mark, no NUL) in `*size`; else copies up to `*size` bytes of it into `text` and stores
 * how many it copied. Returns MEDIA_OK; MEDIA_ERR_INPUT when the file is missing, not a regular file,
 * unreadable or above 16 MiB; MEDIA_ERR_GENERIC when it is not text; MEDIA_ERR_ARGUMENT without a path or
 * `size`. Reads the file at each call, on the caller's thread.
 */
int MediaGetSubtitleText(const char *path, char *charset, int charsetSize, char *text, int *size);

/*
 * Whether the subtitle file at `path` holds a cue that a conversion burns in, read as the conversion
 * reads it: its format found from its text (srt, ass, ssa...), its cues decoded in the character set that
 * MediaGetSubtitleText names. Returns MEDIA_OK when it holds one; MEDIA_ERR_NOTHING_IN_RANGE when it is
 * text but no cue of it can be read; MEDIA_ERR_INPUT, MEDIA_ERR_GENERIC and MEDIA_ERR_ARGUMENT as
 * MediaGetSubtitleText. Reads the file at each call, on the caller's thread.
 */
int MediaCheckSubtitleCues(const char *path);

/* ---- Conversion job: one input, one output ------------------------------------------------- */

/* Makes a conversion job. Returns its handle, 0 on failure. */
MEDIA_HANDLE apiMediaConvertCreate(void);

/*
 * Sets the job's input file and probes it (Start reads the file opened here). Returns MEDIA_OK, or
 * MEDIA_ERR_INPUT when the file cannot be opened or holds no decodable stream (a corrupt file is
 * refused here), or is not a regular file. Call it before the other setters.
 */
int apiMediaConvertSetInputMedia(MEDIA_HANDLE h, const char *path);

/* The input's duration in microseconds; 0 without an input. */
int64_t apiMediaConvertGetDuration(MEDIA_HANDLE h);

/*
 * The input's audio (video) streams in file order. With `infos` NULL, stores the number of streams in
 * `*count` (0 included) and returns MEDIA_OK. With `infos`, fills up to `*count` records (the caller
 * zero-fills them), stores the number filled and returns MEDIA_OK. Below 0 without an input or with
 * `count` NULL. Video records follow MediaGetInfo's rules.
 */
int apiMediaConvertGetAudioStreamInfo(MEDIA_HANDLE h, int *count, AUDIO_STREAM_INFO *infos);
int apiMediaConvertGetVideoStreamInfo(MEDIA_HANDLE h, int *count, VIDEO_STREAM_INFO *infos);

/*
 * Codec of the output's video (audio) stream, by FFmpeg codec or encoder name ("h264", "libx264",
 * "aac", "mp3"...); "copy" copies the source stream. NULL, empty or blank = not set: the output keeps
 * the source's codec, copying the stream where that is exact and re-encoding it otherwise; an H.264
 * cut off its key frames (into mp4, mov or Matroska) re-encodes only the pictures from the cut start
 * to the next key frame and from the last key frame to the cut end, and copies the packets between.
 * Returns MEDIA_OK, or MEDIA_ERR_ENCODER when no usable (non-experimental) encoder has that name; the
 * setting is then left as it was.
 */
int apiMediaConvertSetVcodec(MEDIA_HANDLE h, const char *name);
int apiMediaConvertSetAcodec(MEDIA_HANDLE h, const char *name);

/* Output frame size in pixels (both even after rounding down); 0, 0 = the source's. A size of another
 * shape than the picture gets the picture fitted inside it with black bars, never stretched. */
int apiMediaConvertSetVideoFrameSize(MEDIA_HANDLE h, int width, int height);

/* Output frame rate in frames per second; 0 = the source's. */
int apiMediaConvertSetVideoFps(MEDIA_HANDLE h, double fps);

/* Output bit rates in kbit/s; 0 = the encoder's choice at a quality comparable to the source's. */
int apiMediaConvertSetVideoBitrate(MEDIA_HANDLE h, int kbps);
int apiMediaConvertSetAudioBitrate(MEDIA_HANDLE h, int kbps);

/* Output audio channel count and sample rate (Hz); 0 = the source's. */
int apiMediaConvertSetAudioEncodeContext(MEDIA_HANDLE h, int channels, int sampleRate);

/*
 * The source audio stream to use, by its file stream index (AUDIO_STREAM_INFO.index). An index that
 * names no audio stream keeps the default (the first audio stream) and returns MEDIA_ERR_ARGUMENT.
 */
int apiMediaConvertSetAudioIndex(MEDIA_HANDLE h, int index);

/* Volume factor of the source's own audio, 0..2 (1 = unchanged, 2 = twice as loud; the editor sends its
 * effect volume, 0..2, times the original-audio level, 0..1). Above 10 or NaN: MEDIA_ERR_ARGUMENT. */
int apiMediaConvertSetMaineAudioVolume(MEDIA_HANDLE h, double volume);

/* Leaves the source's own audio out of the output. */
int apiMediaConvertDisableMainAudio(MEDIA_HANDLE h);

/* ---- Conversion job: edits -------------------------------------------------------------------
 *
 * The picture edits apply in this order: mirror (in the axes of the upright source), rotation
 * (clockwise), brightness / contrast / saturation, image effects, watermarks and subtitle, crop, and
 * last the output frame size and rate. Watermark rectangles and the subtitle position are pixels of the
 * rotated, uncropped picture; their times are microseconds on the input's own timeline (the cut is
 * applied after them, so what shows at 12 s of the input shows at 2 s of an output cut from 10 s).
 * Each setter returns MEDIA_OK, or MEDIA_ERR_ARGUMENT (the setting is then left as it was).
 */

/*
 * Rasterises one text watermark into `buffer`: width x height pixels of 4 bytes, rows of width * 4
 * bytes, top row first, holding in memory order blue, green, red, alpha with alpha premultiplied. The
 * text is drawn opaque: the engine applies 1 - transparence / 100 to it, once. The engine hands a
 * cleared, picture-sized buffer; the callback draws `param.text` with its left end at rect.left and its
 * baseline rect.top pixels above the bottom row, and ignores the other fields of rect and the times.
 */
typedef void (*MEDIA_DRAW_TEXT_CALLBACK)(int width, int height, uint8_t *buffer, TEXT_WATERMARK_PARAM param);

/*
 * Registers the text callback for every conversion job of the process (NULL unregisters it). The
 * callback is called on the thread that runs apiMediaConvertStart, once per text watermark when the
 * job starts; it must touch nothing but the buffer and the record it is handed. A job that starts
 * with no callback registered skips its text watermarks with a log line.
 */
void apiMediaConvertSetDrawTextCallback(MEDIA_DRAW_TEXT_CALLBACK callback);

/* Mirrors the picture left-right (hFlip) or top-bottom (vFlip): 1 = on, 0 = off. */
int apiMediaConvertHFlipStatus(MEDIA_HANDLE h, int on);
int apiMediaConvertVFlipStatus(MEDIA_HANDLE h, int on);

/* Turns the picture clockwise by `degrees`, a multiple of 90 (taken modulo 360, negatives too). */
int apiMediaConvertSetRotateAngle(MEDIA_HANDLE h, int degrees);

/*
 * Colour: brightness -255..255 (added to every 8-bit level), contrast -100..100, saturation
 * -100..100 (-100 = grey); 0 leaves each unchanged. Out-of-range values are refused.
 */
int apiMediaConvertAdjustBCS(MEDIA_HANDLE h, int brightness, int contrast, int saturation);

/*
 * Adds an image effect by its id: 1 grey, 2 sepia, 3 negative, 4 blur, 5 sharpen, 6 emboss, 7 edges,
 * 8 vignette, 9 old film, 10 mosaic. Effects apply in ascending id order whatever the order of the
 * calls; adding one twice counts once. An unknown id is ignored (MEDIA_ERR_ARGUMENT).
 */
int apiMediaConvertAddImageEffect(MEDIA_HANDLE h, int effectId);

/*
 * Crops by margins in pixels of the rotated picture (an odd margin loses 1 to make it even). Margins
 * that leave less than 2 x 2 pixels make Start fail with MEDIA_ERR_ARGUMENT.
 */
int apiMediaConvertSetCropSize(MEDIA_HANDLE h, RECT margins);

/*
 * Burns in a subtitle file (srt, ass, ssa) with libass. For srt the font file, size (pixels), colour
 * and shadow come from the record (ass and ssa keep their own styles); `position` counts pixels from
 * the bottom edge up to the text, -1 = the default placement. An empty path removes the subtitle;
 * a file that does not exist is refused with MEDIA_ERR_INPUT. Start reads the file as
 * MediaGetSubtitleText does (the same 16 MiB limit) and fails with MEDIA_ERR_INPUT when it is not
 * text or holds no cue (as MediaCheckSubtitleCues says): a subtitle is never silently left out.
 */
int apiMediaConvertSetSubtitle(MEDIA_HANDLE h, SUBTITLE_PARAM subtitle);

/*
 * Watermarks, each shown inside its rectangle (top-left origin; text: see the callback) from
 * start_time to end_time (end 0 = to the end), with its transparence (0 = opaque, 100 = invisible).
 *  - picture: a PNG, JPEG, BMP, GIF or TIFF file scaled into the rectangle, its alpha respected;
 *  - video: file_start_time..file_end_time of a second file (end 0 = its end), scaled into the
 *    rectangle and playing from start_time; after its part ends it shows no more;
 *  - text: drawn by the registered text callback (which applies the transparence itself).
 * A file that cannot be opened is refused with MEDIA_ERR_INPUT.
 */
int apiMediaConvertAddImageWatermask(MEDIA_HANDLE h, IMAGE_WATERMARK_PARAM watermark);
int apiMediaConvertAddVideoWatermark(MEDIA_HANDLE h, VIDEO_WATERMARK_PARAM watermark);
int apiMediaConvertAddTextWatermask(MEDIA_HANDLE h, TEXT_WATERMARK_PARAM watermark);

/*
 * Lays a music file under the video: its part sourceStart..sourceEnd (end 0 = to its end) plays on
 * the timeline from timelineStart to timelineEnd (end 0 = to the end of the output), repeated to fill
 * a longer span and cut at a shorter one, with a fade-in and a fade-out of the given microseconds and
 * its level multiplied by `volume`. It is mixed with the input's own audio, or stands alone after
 * apiMediaConvertDisableMainAudio or when the input has none. Several tracks may be added.
 * MEDIA_ERR_INPUT when the file holds no audio that can be decoded.
 */
int apiMediaConvertAddDubbingMusic(MEDIA_HANDLE h, const char *path, int64_t sourceStart, int64_t sourceEnd,
                                   int64_t timelineStart, int64_t timelineEnd, int fadeIn, int fadeOut,
                                   double volume);

/*
 * Converts only [start, end) of the input, microseconds on its own timeline. 0, 0 = the whole file;
 * an end of 0 or past the end = to the end. MEDIA_ERR_ARGUMENT for a negative start or an end not
 * after the start.
 */
int apiMediaConvertSetCutTime(MEDIA_HANDLE h, int64_t start, int64_t end);

/*
 * Largest output size in bytes; 0 = no limit. The output then ends cleanly (playable, with its
 * index) before the packet that would pass the limit, and the job counts as a success. A limit too
 * small to hold one picture (or, without video, one sound packet) makes Start fail with
 * MEDIA_ERR_ARGUMENT and leave no file.
 */
int apiMediaConvertSetLimitFileSize(MEDIA_HANDLE h, int64_t bytes);

/*
 * Output file. Its extension chooses the container (an extension with no muxer of its own gets one
 * that takes the codecs, Matroska when unsure). MEDIA_ERR_OUTPUT when a file already exists there or
 * its folder does not; the existing file is never touched. Set it last.
 */
int apiMediaConvertSetOutputPath(MEDIA_HANDLE h, const char *path);

/*
 * Runs the job to its end on the caller's thread. The output is written to a hidden temporary file of
 * an unpredictable name, created in the output's folder (never through a link), and moved to the output
 * path on success without replacing anything there; a failed or stopped job leaves no file. A range
 * where the input's picture has ended (or not begun) but its sound plays is written with the sound
 * only. Returns MEDIA_OK, MEDIA_ERR_STOPPED after apiMediaConvertStop, MEDIA_ERR_INPUT when the
 * input's data ends before the range does although the file promises more (cut off or damaged: nothing
 * is padded), MEDIA_ERR_NOTHING_IN_RANGE when no stream that was asked for holds anything in the range,
 * MEDIA_ERR_OUTPUT when the output's folder is removed meanwhile (noticed within a second), or another
 * code below 0. Hidden temporary files that a killed job left in the output's folder (ours by name and
 * owner, unused, older than a minute) are removed.
 */
int apiMediaConvertStart(MEDIA_HANDLE h);

/*
 * Whole percent of the planned output duration written so far: monotonic, 100 only after a
 * successful Start. 0 for an unknown handle. Safe from any thread while Start runs.
 */
int apiMediaConvertGetProgress(MEDIA_HANDLE h);

/*
 * After a successful Start: the time on the input's timeline, in microseconds, up to which the output
 * holds the input: the cut end as set (the input's end without one) when the job ran to it; earlier
 * when the size limit ended the output, so that the next piece of a split can start there and lose
 * nothing. 0 for an unknown handle or before a successful Start. Safe from any thread once Start has
 * returned.
 */
int64_t apiMediaConvertGetEndTime(MEDIA_HANDLE h);

/*
 * Makes a running (or the next) Start return MEDIA_ERR_STOPPED promptly, waking blocked reads and
 * writes. Safe from any thread; a 0 handle is harmless. Returns MEDIA_OK or MEDIA_ERR_HANDLE.
 */
int apiMediaConvertStop(MEDIA_HANDLE h);

/*
 * Releases the job. Call it after Start has returned (a Close during Start stops the job first and
 * the job is freed when Start returns). Returns MEDIA_OK or MEDIA_ERR_HANDLE.
 */
int apiMediaConvertClose(MEDIA_HANDLE h);

/*
 * Cores running nothing right now (the cores less the threads the kernel counts as runnable, the
 * caller's aside; 0 on a loaded machine, never below): the rule the engine sizes its seam encoders
 * by, for a caller deciding whether to run a second job beside a running one. Any thread; cheap.
 */
int apiMediaIdleCores(void);

#ifdef __cplusplus
}
#endif

#endif /* VW_MEDIA_MEDIAENGINE_H */
