#pragma once
// One line per event to standard error, with the texts given (format strings included).
//
//   platform::log("progress:%f", value);          // a trace line: quiet unless its category is enabled
//   platform::logWarning("cannot make the folder %@", folder);   // always printed
//   platform::logError("error:%d", code);                          // always printed
//
// Each line belongs to the category of the subsystem that logs it: "vw." and the top folder of the
// calling source file ("vw.editor" for editor/tools/RDWaterView.cpp, "vw.controls", "vw.model"...), so a
// call site names no category. Categories are Qt logging categories: trace lines are off by default and
// turned on with Qt's usual rules, for example QT_LOGGING_RULES="vw.*.debug=true" or "vw.editor.debug=true";
// warnings and errors are on unless a rule turns them off. A line that prints is written as given, with
// no prefix.
//
// Safe from any thread: each line is written whole. Tests can watch the lines with LogCapture, which sees
// every line whether it prints or not.
#include "platform/Format.h"

#include <concepts>
#include <source_location>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

enum class LogLevel { Trace, Warning, Error };

// A format string and the place it is logged from (taken implicitly at the call site).
struct LogFormat
{
    template <class S>
    requires std::convertible_to<const S &, std::string_view>
    LogFormat(const S &text, std::source_location where = std::source_location::current())
        : text(text), where(where)
    {
    }
    std::string_view text;
    std::source_location where;
};

// The category of lines logged from source file `file` (a path as the compiler gave it): "vw." and the
// file's top folder in the source tree; "vw" when the path holds no folder.
std::string logCategoryOf(std::string_view file);

// Hands `line` to any LogCapture alive and, when the category of `file` shows `level`, writes it and a
// line feed to standard error in one piece.
void logLine(LogLevel level, std::string_view file, std::string_view line);

// Logs format(fmt, a...) as one trace line.
template <class... A> void log(LogFormat fmt, const A &...a)
{
    logLine(LogLevel::Trace, fmt.where.file_name(), format(fmt.text, a...));
}

// Logs format(fmt, a...) as one warning: something failed or was refused, and the application goes on.
template <class... A> void logWarning(LogFormat fmt, const A &...a)
{
    logLine(LogLevel::Warning, fmt.where.file_name(), format(fmt.text, a...));
}

// Logs format(fmt, a...) as one error.
template <class... A> void logError(LogFormat fmt, const A &...a)
{
    logLine(LogLevel::Error, fmt.where.file_name(), format(fmt.text, a...));
}

// While alive, keeps a copy of every line logged (from any thread, at every level, printed or not).
// Captures may nest; each sees the lines logged during its own life.
class LogCapture
{
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

    // The lines captured so far, oldest first, without line feeds.
    std::vector<std::string> lines() const;
    // Whether some captured line equals `line` exactly.
    bool contains(std::string_view line) const;
    // Whether some captured line contains `text`.
    bool containsText(std::string_view text) const;
    void clear();

private:
    friend void logLine(LogLevel level, std::string_view file, std::string_view line);
    void append(std::string_view line);
    std::vector<std::string> m_lines;
};

} // namespace platform
