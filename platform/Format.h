#pragma once
// printf-style formatting for the texts the application quotes ("error:%d", "%@(%d)", "outputFileurl:%@").
//
// Understands %d %i %u %x %X %o %c %f %F %e %E %g %G %a %s %p %% with flags, width (also *), precision and
// any length modifier (hh h l ll q z j t L, which only matter for how a negative value prints with %u/%x),
// plus %@, which prints any string-like (std::string, std::string_view, const char *, QString, QByteArray)
// or number as its plain text. Arguments are type-checked at run time, never read through varargs: a
// number given to %s prints as text, a string given to %d prints as itself, a missing argument leaves the
// conversion in the output as written, so a wrong format can never crash.
#include <QByteArray>
#include <QString>

#include <concepts>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

namespace platform {

template <class T>
concept SignedInteger = std::signed_integral<T> && !std::same_as<T, char>;
template <class T>
concept UnsignedInteger = std::unsigned_integral<T> && !std::same_as<T, bool>;
template <class T>
concept Enumeration = std::is_enum_v<T>;

// One argument of format(), held by kind. Built implicitly by format(); not used directly.
struct FormatArg
{
    enum class Kind { Signed, Unsigned, Double, String, Pointer };
    Kind kind = Kind::Signed;
    int64_t i = 0;
    uint64_t u = 0;
    double d = 0;
    std::string s;
    const void *p = nullptr;
    int size = 8; // byte size of the original integer, so that %u of (int)-1 prints 4294967295

    FormatArg(bool v) : kind(Kind::Signed), i(v ? 1 : 0), size(sizeof(int)) {}
    FormatArg(char v) : kind(Kind::Signed), i(v), size(1) {}
    template <SignedInteger T> FormatArg(T v) : kind(Kind::Signed), i(v), size(sizeof(T)) {}
    template <UnsignedInteger T> FormatArg(T v) : kind(Kind::Unsigned), u(v), size(sizeof(T)) {}
    template <Enumeration T> FormatArg(T v) : FormatArg(static_cast<std::underlying_type_t<T>>(v)) {}
    template <std::floating_point T> FormatArg(T v) : kind(Kind::Double), d(static_cast<double>(v)) {}
    FormatArg(const char *v);
    FormatArg(char *v) : FormatArg(static_cast<const char *>(v)) {}
    FormatArg(std::string_view v) : kind(Kind::String), s(v) {}
    FormatArg(const std::string &v) : kind(Kind::String), s(v) {}
    FormatArg(const QString &v) : kind(Kind::String), s(v.toStdString()) {}
    FormatArg(const QByteArray &v) : kind(Kind::String), s(v.toStdString()) {}
    FormatArg(const void *v) : kind(Kind::Pointer), p(v) {}
    FormatArg(std::nullptr_t) : kind(Kind::Pointer), p(nullptr) {}
};

// The formatter behind format(): formats `fmt` with `args` in order.
std::string formatArgs(std::string_view fmt, std::span<const FormatArg> args);

// Formats like printf, with %@ for strings and numbers (see above). Returns UTF-8.
template <class... A> std::string format(std::string_view fmt, const A &...a)
{
    if constexpr (sizeof...(A) == 0) {
        return formatArgs(fmt, {});
    } else {
        const FormatArg args[] = {FormatArg(a)...};
        return formatArgs(fmt, args);
    }
}

// format() returning a QString (the format and the strings are UTF-8).
template <class... A> QString qformat(std::string_view fmt, const A &...a)
{
    return QString::fromStdString(format(fmt, a...));
}

template <class... A> QString qformat(const char *fmt, const A &...a)
{
    return qformat(std::string_view(fmt), a...);
}

// qformat() over a QString format, for formats that come from the localisation tables.
template <class... A> QString qformat(const QString &fmt, const A &...a)
{
    const std::string utf8 = fmt.toStdString();
    return QString::fromStdString(format(std::string_view(utf8), a...));
}

} // namespace platform
