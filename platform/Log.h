#pragma once
// One line per event to standard error, with the texts given (format strings included).
//
//   platform::log("error:%d", code);
//
// Safe from any thread: each line is written whole. Tests can watch the lines with LogCapture.
#include "platform/Format.h"

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Writes `line` and a line feed to standard error in one piece, and hands it to any LogCapture alive.
void logLine(std::string_view line);

// Logs format(fmt, a...) as one line.
template <class... A> void log(std::string_view fmt, const A &...a)
{
    logLine(format(fmt, a...));
}

// While alive, keeps a copy of every line logged (from any thread); the lines still go to standard
// error. Captures may nest; each sees the lines logged during its own life.
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
    friend void logLine(std::string_view line);
    void append(std::string_view line);
    std::vector<std::string> m_lines;
};

} // namespace platform
