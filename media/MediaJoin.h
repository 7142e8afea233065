#ifndef VW_MEDIA_MEDIAJOIN_H
#define VW_MEDIA_MEDIAJOIN_H
/*
 * Join jobs of the media engine (libMediaCore): clips of one or more files, each cut to a range, played
 * one after the other into one output file.
 *
 * Conventions (see MediaEngine.h for paths, times, handles and the result codes):
 *  - Join calls fail below 0 and succeed with MEDIA_OK (1). apiMediaJoinCreate fails with 0, and so does
 *    apiMediaJoinAddMediaClip, which otherwise returns a clip id (1, 2, ... in the order added).
 *  - Stream copy is used only where it is exact: every clip has the same codecs and codec parameters,
 *    no picture is turned, every range starts (and ends) on a video key frame or at the file's ends, and
 *    no transition, volume, frame size, rate or bit-rate change is asked for. Otherwise every clip is
 *    decoded, fitted into the output frame size (scaled keeping its aspect ratio, with black bars, never
 *    stretched), set to the output frame rate, sample rate and channel layout (clips without sound get
 *    silence, clips without pictures get black), and the whole is encoded once.
 *  - Settings left at 0 or unset follow the first clip that has the stream (its size, rate, codec...).
 *  - Thread: apiMediaJoinStart blocks on the caller's worker. apiMediaJoinGetProgress and
 *    apiMediaJoinStop touch only atomics and may be called from the main thread meanwhile; the other
 *    calls of one handle must not overlap.
 */
#include "media/MediaEngine.h"

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Transition codes, as the joiner's transition pop-up numbers them. */
enum MediaJoinTransition {
    MEDIA_TRANSITION_NONE = 0,
    MEDIA_TRANSITION_SLIDE_LEFT = 1, /* the next clip pushes this one out to the left */
    MEDIA_TRANSITION_SLIDE_DOWN = 2, /* the next clip comes in from the top */
    MEDIA_TRANSITION_FADE = 3        /* cross-fade of picture and sound */
};

/* Makes a join job. Returns its handle, 0 on failure. */
MEDIA_HANDLE apiMediaJoinCreate(void);

/*
 * Output file; its extension chooses the container as for conversions. MEDIA_ERR_OUTPUT when a file
 * already exists there or its folder does not; the existing file is never touched.
 */
int apiMediaJoinSetOutputPath(MEDIA_HANDLE h, const char *path);

/*
 * Appends the range [start, end) of `path` (microseconds on the file's own timeline) as the next clip.
 * 0, 0 = the whole file; an end of 0 or past the file's end = to the end. Returns the clip id, or 0 when
 * the file cannot be opened (a corrupt file is refused here) or the range is empty (start at or after
 * the end of the range or of the file).
 */
int apiMediaJoinAddMediaClip(MEDIA_HANDLE h, const char *path, uint64_t start, uint64_t end);

/*
 * Volume factor of a clip's sound, 0 (silent) to 10: 1 = unchanged, 0.5 = half the amplitude (about
 * -6 dB), 2 = double. MEDIA_ERR_ARGUMENT for an unknown clip or a factor out of range (or not a number).
 */
int apiMediaJoinSetAudioVolumn(MEDIA_HANDLE h, int clip, double volume);

/*
 * Transition from `clip` into the next clip: a MediaJoinTransition code and its length in
 * microseconds. The two clips overlap by that length, so the output is that much shorter; a transition
 * longer than either clip (what is left of it) is shortened to fit, and one set on the last clip is
 * ignored. Code 0 or a length of 0 removes it. MEDIA_ERR_ARGUMENT for an unknown clip or code or a
 * negative length.
 */
int apiMediaJoinSetTransition(MEDIA_HANDLE h, int clip, int code, int64_t length);

/*
 * Output codecs by FFmpeg codec or encoder name; "copy" asks for stream copy (done only where exact, see
 * above). NULL, empty or blank = as the first clip. MEDIA_ERR_ENCODER when no usable encoder has that
 * name; the setting is then left as it was.
 */
int apiMediaJoinSetVideoCodec(MEDIA_HANDLE h, const char *name);
int apiMediaJoinSetAudioCodec(MEDIA_HANDLE h, const char *name);

/* Output bit rates in kbit/s; 0 = the encoder's choice (or the first clip's when its codec is kept). */
int apiMediaJoinSetVideoBitrate(MEDIA_HANDLE h, int kbps);
int apiMediaJoinSetAudioBitrate(MEDIA_HANDLE h, int kbps);

/* Output frame rate in frames per second; 0 = the first clip's. */
int apiMediaJoinSetVideoFps(MEDIA_HANDLE h, double fps);

/* Output frame size in pixels (rounded down to even); 0, 0 = the first clip's upright size. */
int apiMediaJoinSetVideoFrameSize(MEDIA_HANDLE h, int width, int height);

/* Output channel count and sample rate (Hz); 0 = the first clip's. */
int apiMediaJoinSetAudioEncodeContext(MEDIA_HANDLE h, int channels, int sampleRate);

/*
 * Runs the job to its end on the caller's thread. The output is written as for conversions (a hidden
 * temporary file, moved to the output path on success); a failed or stopped job leaves no file. Returns
 * MEDIA_OK, MEDIA_ERR_STOPPED after apiMediaJoinStop, MEDIA_ERR_ARGUMENT without clips or output path,
 * MEDIA_ERR_INPUT when a clip's file ends before its range does although the file promises more (cut off
 * or damaged: a clip is never padded with a held picture or silence its file does not have),
 * MEDIA_ERR_NOTHING_IN_RANGE when a clip's file gives nothing in its range, or another code below 0
 * (MEDIA_ERR_OUTPUT as for conversions). A job runs once.
 */
int apiMediaJoinStart(MEDIA_HANDLE h);

/*
 * Percent (0..100, fractional) of the planned output duration written so far: monotonic, 100 only after
 * a successful Start. 0 for an unknown handle. Safe from any thread while Start runs.
 */
double apiMediaJoinGetProgress(MEDIA_HANDLE h);

/*
 * Makes a running (or the next) Start return MEDIA_ERR_STOPPED promptly, waking blocked reads and
 * writes. Safe from any thread; a 0 handle is harmless. Returns MEDIA_OK or MEDIA_ERR_HANDLE.
 */
int apiMediaJoinStop(MEDIA_HANDLE h);

/*
 * Releases the job. A Close during Start stops the job first; it is freed when Start returns.
 * Returns MEDIA_OK or MEDIA_ERR_HANDLE.
 */
int apiMediaJoinClose(MEDIA_HANDLE h);

#ifdef __cplusplus
}
#endif

#endif /* VW_MEDIA_MEDIAJOIN_H */
