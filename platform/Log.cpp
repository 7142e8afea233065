#include "platform/Log.h"

#include <QLoggingCategory>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
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

// The Qt category of each name, made at its first line and kept for the life of the process (the
// category keeps a pointer to its name, which lives in the map's node). Trace lines are off by default.
const QLoggingCategory &categoryNamed(const std::string &name)
{
    static std::mutex mutex;
    static std::map<std::string, std::unique_ptr<QLoggingCategory>> categories;
    std::lock_guard lock(mutex);
    auto it = categories.find(name);
    if (it == categories.end()) {
        it = categories.emplace(name, nullptr).first;
        it->second = std::make_unique<QLoggingCategory>(it->first.c_str(), QtInfoMsg);
    }
    return *it->second;
}

bool shows(const QLoggingCategory &category, LogLevel level)
{
    switch (level) {
    case LogLevel::Trace:
        return category.isDebugEnabled();
    case LogLevel::Warning:
        return category.isWarningEnabled();
    case LogLevel::Error:
        return category.isCriticalEnabled();
    }
    return true;
}

} // namespace

std::string logCategoryOf(std::string_view file)
{
    // Every source file is compiled from the same build folder, so its path starts as this file's does
    // (absolute, or relative when the compiler is given relative paths).
    static const std::string_view self = std::source_location::current().file_name();
    static const std::string_view root =
        self.substr(0, self.size() - std::string_view("platform/Log.cpp").size());
    if (!root.empty() && file.starts_with(root))
        file.remove_prefix(root.size());
    while (file.starts_with("../") || file.starts_with("./"))
        file.remove_prefix(file.find('/') + 1);
    const size_t slash = file.find('/');
    if (slash == std::string_view::npos || slash == 0)
        return "vw";
    return "vw." + std::string(file.substr(0, slash));
}

void logLine(LogLevel level, std::string_view file, std::string_view line)
{
    const bool print = shows(categoryNamed(logCategoryOf(file)), level);
    std::string whole(line);
    whole += '\n';
    std::lock_guard lock(logMutex());
    if (print)
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
