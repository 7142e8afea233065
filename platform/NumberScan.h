#pragma once
// The leading number of a text, read the way the original platform's string-to-number calls read it:
// leading blanks are skipped, then an optional sign and digits are taken, and the rest is ignored.
//   "1280x720" -> 1280, "2(Stereo)" -> 2, " 25 fps" -> 25, "-3x" -> -3, "abc" -> 0, "" -> 0.
// scanDouble also takes a fraction and an exponent ("29.97 fps" -> 29.97, "1e3" -> 1000).
// Integers out of range clamp to the type's limits.
#include <QString>

#include <string_view>

namespace platform {

int scanInt(std::string_view text);
long long scanLongLong(std::string_view text);
double scanDouble(std::string_view text);

// Literals and C strings would be ambiguous between the two forms above and below.
inline int scanInt(const char *text)
{
    return scanInt(std::string_view(text ? text : ""));
}
inline long long scanLongLong(const char *text)
{
    return scanLongLong(std::string_view(text ? text : ""));
}
inline double scanDouble(const char *text)
{
    return scanDouble(std::string_view(text ? text : ""));
}

// The first number anywhere in a text: every character up to the first decimal digit is skipped (a
// minus sign too, so the result is never negative), then digits with an optional point are read.
//   "10 s" -> 10, "Size: 2.5MB" -> 2.5, "-3" -> 3, "MB" -> 0, "" -> 0.
double scanFirstNumber(const QString &text);

int scanInt(const QString &text);
long long scanLongLong(const QString &text);
double scanDouble(const QString &text);

} // namespace platform
