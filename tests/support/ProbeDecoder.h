#pragma once

#include "tests/support/MediaFixtureLayout.h"

#include <optional>
#include <string>
#include <vector>

// Measures what a media file holds by decoding it in-process through the FFmpeg libraries: frames as
// RGB pictures, stamped frame indices, audio levels, packet hashes. For tests and benchmarks.
//
// Times are seconds on the file's own timeline, the timestamps as stored (every file the fixtures and
// the engine write starts at 0). Pictures come out as stored: a display rotation is NOT applied.
// The first video stream that is not a cover picture is the one measured.
namespace fixture {

// The first frame whose timestamp is at or after `seconds` (within half a millisecond), as RGB;
// nothing when the file cannot be read or no frame comes that late.
std::optional<Image> decodeFrameAt(const std::string &path, double seconds);

// The stamped index of every decoded frame in display order (-1 for a frame without a readable stamp);
// empty when the file cannot be read.
std::vector<int> decodeAllFrameIndices(const std::string &path);

// Frames the video stream decodes to; -1 when the file cannot be read or has no video.
int countVideoFrames(const std::string &path);

// Root mean square of the samples of the `audioStreamOrdinal`-th audio stream (0 = first) whose time
// lies in [from, to), over all channels, full scale = 1 (so a sine of amplitude a gives a / sqrt(2));
// -1 when the file or the stream cannot be read. A range that holds no samples gives 0.
double audioRms(const std::string &path, double from, double to, int audioStreamOrdinal = 0);

// audioRms over consecutive windows [k w, (k + 1) w) from 0 to the last sample (the last window may be
// shorter); empty when the file or the stream cannot be read.
std::vector<double> audioRmsWindows(const std::string &path, double windowSeconds, int audioStreamOrdinal = 0);

// Hex MD5 of every packet's data of the `ordinal`-th stream of `type` ("video" or "audio"), in file
// order: a stream copy keeps them all, a re-encode does not. Empty when there is no such stream.
std::vector<std::string> packetHashes(const std::string &path, const std::string &type, int ordinal = 0);

} // namespace fixture
