#include "platform/Log.h"

#include <algorithm>
#include <cstdio>
#include <mutex>

namespace platform {

namespace {

std::mutex &logMutex()
{
    static std::mutex m;
    return m;
}

// The captures alive, guarded by logMutex().
std::vector<LogCapture *> &captures()
{
    static std::vector<LogCapture *> list;
    return list;
}

} // namespace

void logLine(std::string_view line)
{
    std::string whole(line);
    whole += '\n';
    std::lock_guard lock(logMutex());
    std::fwrite(whole.data(), 1, whole.size(), stderr);
    for (LogCapture *c : captures())
        c->append(line);
}

LogCapture::LogCapture()
{
    std::lock_guard lock(logMutex());
    captures().push_back(this);
}

LogCapture::~LogCapture()
{
    std::lock_guard lock(logMutex());
    auto &list = captures();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void LogCapture::append(std::string_view line)
{
    m_lines.emplace_back(line);
}

std::vector<std::string> LogCapture::lines() const
{
    std::lock_guard lock(logMutex());
    return m_lines;
}

bool LogCapture::contains(std::string_view line) const
{
    std::lock_guard lock(logMutex());
    return std::find(m_lines.begin(), m_lines.end(), line) != m_lines.end();
}

bool LogCapture::containsText(std::string_view text) const
{
    std::lock_guard lock(logMutex());
    return std::any_of(m_lines.begin(), m_lines.end(),
                       [&](const std::string &l) { return l.find(text) != std::string::npos; });
}

void LogCapture::clear()
{
    std::lock_guard lock(logMutex());
    m_lines.clear();
}

} // namespace platform
