#pragma once
// The engine's log: one line per event to standard error (the engine uses no Qt).
//
// engineLog() is for what failed or was given up: it always prints. engineTrace() is for the course of a
// job (what is converted to what): it prints only when the category "vw.engine" shows trace lines under
// the QT_LOGGING_RULES variable, read once with the same rule syntax as the application's other
// categories ("vw.*.debug=true", "vw.engine.debug=true"...).
//
// FFmpeg's own log, and the encoders' logs that FFmpeg passes on, go the same way from the moment the
// library is loaded: its errors always print (as "MediaCore: [context] text"), its warnings and notes are
// trace lines. Encoders that print by themselves are told their level where they are opened.
#include "media/MediaEngine.h"

namespace engine {

// Writes one formatted line, prefixed "MediaCore: ", to standard error in one piece.
void engineLog(const char *fmt, ...) __attribute__((format(printf, 1, 2)));
// As engineLog(), when trace lines are enabled (see above).
void engineTrace(const char *fmt, ...) __attribute__((format(printf, 1, 2)));

// Whether trace lines print in this process.
bool traceShown();
// Turns trace lines on or off for the rest of the process, over what the logging rules said (for a
// caller that reads the engine's account of what it did, such as a test).
void setTraceShown(bool shown);

// Whether the logging rules `rules` (QT_LOGGING_RULES syntax) turn on the trace of "vw.engine".
bool traceEnabledByRules(const char *rules);

// Turns a failed FFmpeg result into one of the engine's codes (MediaResult), with a log line naming
// `what` failed and why. `fallback` is the code for errors that are not memory, stop or argument
// errors (MEDIA_ERR_INPUT while reading, MEDIA_ERR_OUTPUT while writing...).
int mediaError(int averror, const char *what, int fallback = MEDIA_ERR_GENERIC);

} // namespace engine
