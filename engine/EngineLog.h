#pragma once
// The engine's log: one line per event to standard error (the engine uses no Qt).
#include "media/MediaEngine.h"

namespace engine {

// Writes one formatted line, prefixed "MediaCore: ", to standard error in one piece.
void engineLog(const char *fmt, ...) __attribute__((format(printf, 1, 2)));

// Turns a failed FFmpeg result into one of the engine's codes (MediaResult), with a log line naming
// `what` failed and why. `fallback` is the code for errors that are not memory, stop or argument
// errors (MEDIA_ERR_INPUT while reading, MEDIA_ERR_OUTPUT while writing...).
int mediaError(int averror, const char *what, int fallback = MEDIA_ERR_GENERIC);

} // namespace engine
