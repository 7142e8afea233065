#include "engine/EngineLog.h"

#include "engine/FFmpeg.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace engine {

namespace {

void writeText(std::string_view text)
{
    // One fwrite per line keeps lines from concurrent jobs whole.
    std::string line = std::string("MediaCore: ").append(text).append("\n");
    fwrite(line.data(), 1, line.size(), stderr);
}

void writeLine(const char *fmt, va_list args)
{
    char text[1024];
    vsnprintf(text, sizeof text, fmt, args);
    writeText(text);
}

// The rules are read once; setTraceShown() may turn the trace on or off later.
std::atomic<bool> &traceSwitch()
{
    static std::atomic<bool> enabled{traceEnabledByRules(getenv("QT_LOGGING_RULES"))};
    return enabled;
}

bool traceEnabled()
{
    return traceSwitch().load(std::memory_order_relaxed);
}

// FFmpeg's log, and through it the encoders' (libx264...): errors always print, the rest is trace. FFmpeg
// hands a line over in pieces, so each thread gathers its pieces until the line feed.
void ffmpegLogLine(void *context, int level, const char *fmt, va_list args)
{
    thread_local std::string pending;
    thread_local int printPrefix = 1;
    const int shown = traceEnabled() ? AV_LOG_INFO : AV_LOG_ERROR;
    if (level > shown) {
        // Not formatted (debug lines come by the thousand); the prefix state follows the format alone.
        const size_t length = fmt ? strlen(fmt) : 0;
        if (length > 0)
            printPrefix = fmt[length - 1] == '\n';
        return;
    }
    char piece[1024];
    av_log_format_line2(context, level, fmt, args, piece, sizeof piece, &printPrefix);
    pending += piece;
    for (size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1))
        if (end > 0)
            writeText(std::string_view(pending).substr(0, end));
}

// FFmpeg's log is ours from the moment the library is loaded, before any of its calls can log.
const bool ffmpegLogRouted = [] {
    av_log_set_callback(ffmpegLogLine);
    return true;
}();

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// A rule's category pattern may begin or end with '*' (or both), as in Qt's rules.
bool matches(std::string_view pattern, std::string_view name)
{
    const bool head = pattern.starts_with('*'), tail = pattern.size() > 1 && pattern.ends_with('*');
    if (head)
        pattern.remove_prefix(1);
    if (tail)
        pattern.remove_suffix(1);
    if (head && tail)
        return name.find(pattern) != std::string_view::npos;
    if (head)
        return name.ends_with(pattern);
    if (tail)
        return name.starts_with(pattern);
    return name == pattern;
}

} // namespace

bool traceShown()
{
    return traceEnabled();
}

void setTraceShown(bool shown)
{
    traceSwitch().store(shown, std::memory_order_relaxed);
}

bool traceEnabledByRules(const char *rules)
{
    bool enabled = false;
    std::string_view rest = rules ? rules : "";
    // Rules are separated by ';' or line feeds; the last one that matches wins.
    while (!rest.empty()) {
        const size_t end = rest.find_first_of(";\n");
        const std::string_view rule = trimmed(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        const size_t eq = rule.find('=');
        if (eq == std::string_view::npos)
            continue;
        std::string_view pattern = trimmed(rule.substr(0, eq));
        const std::string_view value = trimmed(rule.substr(eq + 1));
        if (value != "true" && value != "false")
            continue;
        // "category.debug" names the trace; a category without a message type names every type.
        bool forTrace = true;
        for (std::string_view type : {".debug", ".info", ".warning", ".critical"}) {
            if (pattern.ends_with(type)) {
                pattern.remove_suffix(type.size());
                forTrace = type == ".debug";
                break;
            }
        }
        if (forTrace && matches(pattern, "vw.engine"))
            enabled = value == "true";
    }
    return enabled;
}

void engineLog(const char *fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    writeLine(fmt, args);
    va_end(args);
}

void engineTrace(const char *fmt, ...)
{
    if (!traceEnabled())
        return;
    va_list args;
    va_start(args, fmt);
    writeLine(fmt, args);
    va_end(args);
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
