#pragma once

#include "tests/support/MediaFixtureLayout.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Writes small media files for tests and benchmarks, in-process through the FFmpeg libraries.
//
// Video frames carry the layout described in MediaFixtureLayout.h: frame i shows index i in its stamp
// band and the green marker in its top-left corner on a flat background. Each audio track is a sine
// tone of its own frequency on every channel, so tests can tell tracks apart by ear (RMS) and by title.
namespace fixture {

struct AudioTrack
{
    int sampleRate = 48000;
    int channels = 2;
    double toneHz = 440;
    double amplitude = 0.3; // peak, full scale = 1
    // Stream metadata "title" (left out when empty). FFmpeg reads a track title back from Matroska and
    // WebM; in mp4 and mov it becomes the track's handler name, the only name FFmpeg reads back there.
    std::string title;
    std::string language;   // stream metadata "language", ISO 639-2 (left out when empty)
    std::string codec = "aac"; // an encoder or codec name: aac, mp3, libmp3lame, pcm_s16le, libopus...
    double duration = 0;       // seconds of sound; 0 = the fixture's duration (more: sound past the picture)
};

struct Spec
{
    int width = 160;
    int height = 90;
    int fpsNum = 25; // 29.97 fps is 30000 / 1001
    int fpsDen = 1;
    double duration = 2.0; // seconds; the video has round(duration * fps) frames
    std::string videoCodec = "libx264"; // or mpeg4, libx265, libvpx-vp9, mjpeg...
    bool hasVideo = true;
    std::vector<AudioTrack> audio = {AudioTrack{}};
    // Clockwise degrees a player must turn the picture, stored as the stream's display matrix (as
    // cameras do); only containers that keep a display matrix (mp4, mov) carry it.
    int displayRotation = 0;
    int gopSize = 25;        // frames from one key frame to the next (a long GOP: several seconds)
    int bFrames = 0;         // H.264 / HEVC: B-frames between references (their decode order then differs)
    bool openGop = false;    // H.264: key frames after the first are recovery points, not IDR pictures
    bool interlaced = false; // H.264: coded as interlaced (top field first)
    int videoBitrate = 0;    // bit/s; 0 picks a constant quality good enough to read the stamp
    std::optional<Rgb> background; // neutral grey when unset
    bool stamp = true;
    bool marker = true;
    // From this frame on, the lower half is filled with noise that changes every frame, so the bit rate
    // jumps there (a file whose bit rate changes part-way); -1 = never.
    int noiseFromFrame = -1;
    // Seconds added to every timestamp: a file whose own timeline starts there, as broadcast recordings
    // and camcorder files do.
    double startTime = 0;
    // Seconds added to the audio timestamps only; below 0 the sound starts before the picture with
    // negative timestamps, kept as they are where the container can hold them (Matroska, mp4).
    double audioOffset = 0;
};

// Writes `path`; the container follows the extension (mp4, mkv, mov, avi, webm, m4a, mp3, wav...), and
// an existing file is replaced. On failure returns false, removes what it wrote and, when `error` is
// given, says what failed. Codecs are taken as named: a container that refuses them fails.
bool generate(const std::string &path, const Spec &spec, std::string *error = nullptr);

// Copies the first `fraction` (0..1) of `src`'s bytes to `dst`: a file cut off mid-write.
bool truncateCopy(const std::string &src, const std::string &dst, double fraction);

// Writes `bytes` bytes of deterministic noise that no demuxer recognises.
bool makeGarbageFile(const std::string &path, int64_t bytes);

} // namespace fixture
