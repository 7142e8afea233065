#include "platform/NumberScan.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <string>

namespace platform {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::string_view skipBlanks(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    return text.substr(i);
}

} // namespace

long long scanLongLong(std::string_view text)
{
    text = skipBlanks(text);
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    unsigned long long magnitude = 0;
    bool overflow = false;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        const unsigned digit = text[i] - '0';
        if (magnitude > (ULLONG_MAX - digit) / 10)
            overflow = true;
        else
            magnitude = magnitude * 10 + digit;
    }
    const unsigned long long limit = negative ? static_cast<unsigned long long>(LLONG_MAX) + 1 : LLONG_MAX;
    if (overflow || magnitude > limit)
        return negative ? LLONG_MIN : LLONG_MAX;
    return negative ? static_cast<long long>(0 - magnitude) : static_cast<long long>(magnitude);
}

int scanInt(std::string_view text)
{
    const long long v = scanLongLong(text);
    if (v > INT_MAX)
        return INT_MAX;
    if (v < INT_MIN)
        return INT_MIN;
    return static_cast<int>(v);
}

double scanDouble(std::string_view text)
{
    text = skipBlanks(text);
    // Take only sign, digits, one point and an exponent, so that "inf", "nan" and hex never count.
    size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    size_t digits = 0;
    while (i < text.size() && isDigit(text[i]))
        ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        return 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            ++j;
        if (j < text.size() && isDigit(text[j])) {
            while (j < text.size() && isDigit(text[j]))
                ++j;
            i = j;
        }
    }
    std::string number(text.substr(0, i));
    if (number[0] == '+')
        number.erase(0, 1);
    // from_chars, not strtod: the point must not depend on the locale Qt sets at start-up.
    double value = 0;
    const auto r = std::from_chars(number.data(), number.data() + number.size(), value);
    if (r.ec == std::errc::result_out_of_range) {
        const bool tiny = number.find_first_of("eE") != std::string::npos &&
                          number.find('-', number.find_first_of("eE")) != std::string::npos;
        const double magnitude = tiny ? 0.0 : HUGE_VAL;
        return number[0] == '-' ? -magnitude : magnitude;
    }
    return value;
}

double scanFirstNumber(const QString &text)
{
    const std::string utf8 = text.toStdString();
    std::string_view rest(utf8);
    while (!rest.empty() && !isDigit(rest.front()))
        rest.remove_prefix(1);
    size_t i = 0;
    while (i < rest.size() && isDigit(rest[i]))
        ++i;
    if (i < rest.size() && rest[i] == '.') {
        ++i;
        while (i < rest.size() && isDigit(rest[i]))
            ++i;
    }
    return scanDouble(rest.substr(0, i));
}

int scanInt(const QString &text)
{
    return scanInt(std::string_view(text.toStdString()));
}

long long scanLongLong(const QString &text)
{
    return scanLongLong(std::string_view(text.toStdString()));
}

double scanDouble(const QString &text)
{
    return scanDouble(std::string_view(text.toStdString()));
}

} // namespace platform
