#include "engine/EngineLog.h"

#include "engine/FFmpeg.h"

#include <cstdarg>
#include <cstdio>
#include <string>

namespace engine {

void engineLog(const char *fmt, ...)
{
    char text[1024];
    va_list args;
    va_start(args, fmt);
    vsnprintf(text, sizeof text, fmt, args);
    va_end(args);
    // One fwrite per line keeps lines from concurrent jobs whole.
    std::string line = std::string("MediaCore: ") + text + "\n";
    fwrite(line.data(), 1, line.size(), stderr);
}

int mediaError(int averror, const char *what, int fallback)
{
    char reason[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(averror, reason, sizeof reason);
    engineLog("%s failed: %s", what, reason);
    switch (averror) {
    case AVERROR(ENOMEM):
        return MEDIA_ERR_NO_MEMORY;
    case AVERROR_EXIT:
        return MEDIA_ERR_STOPPED;
    case AVERROR(EINVAL):
        return fallback == MEDIA_ERR_GENERIC ? MEDIA_ERR_ARGUMENT : fallback;
    case AVERROR_ENCODER_NOT_FOUND:
    case AVERROR_MUXER_NOT_FOUND:
        return MEDIA_ERR_ENCODER;
    default:
        return fallback;
    }
}

} // namespace engine
