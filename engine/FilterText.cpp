#include "engine/FilterText.h"

#include <cstdio>

namespace engine {

namespace {

// Quotes for av_get_token: inside '...' nothing is special, so a quote itself closes, escapes, reopens.
std::string quoted(const std::string &text)
{
    std::string out = "'";
    for (char c : text) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    return out + "'";
}

std::string backslashed(const std::string &text, const char *special)
{
    std::string out;
    for (char c : text) {
        for (const char *s = special; *s; ++s)
            if (c == *s) {
                out += '\\';
                break;
            }
        out += c;
    }
    return out;
}

} // namespace

std::string FilterText::value(const std::string &value)
{
    return backslashed(quoted(value), "\\'[],;");
}

std::string FilterText::seconds(int64_t us)
{
    char text[48];
    snprintf(text, sizeof text, "%s%lld.%06lld", us < 0 ? "-" : "", (long long)(us < 0 ? -us : us) / 1000000,
             (long long)(us < 0 ? -us : us) % 1000000);
    return text;
}

std::string FilterText::number(double v)
{
    char text[48];
    snprintf(text, sizeof text, "%.6f", v);
    return text;
}

} // namespace engine
