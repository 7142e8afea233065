#include "platform/Format.h"

#include <charconv>
#include <cstdio>

namespace platform {

FormatArg::FormatArg(const char *v) : kind(Kind::String), s(v ? v : "(null)") {}

namespace {

// Plain text of an argument, as %@ prints it.
std::string plainText(const FormatArg &a)
{
    switch (a.kind) {
    case FormatArg::Kind::Signed:
        return std::to_string(a.i);
    case FormatArg::Kind::Unsigned:
        return std::to_string(a.u);
    case FormatArg::Kind::Double: {
        char buf[64];
        const auto r = std::to_chars(buf, buf + sizeof buf, a.d);
        return std::string(buf, r.ptr);
    }
    case FormatArg::Kind::String:
        return a.s;
    case FormatArg::Kind::Pointer:
        if (!a.p)
            return "(null)";
        char buf[32];
        std::snprintf(buf, sizeof buf, "%p", a.p);
        return buf;
    }
    return {};
}

int64_t asSigned(const FormatArg &a)
{
    switch (a.kind) {
    case FormatArg::Kind::Signed:
        return a.i;
    case FormatArg::Kind::Unsigned:
        return static_cast<int64_t>(a.u);
    case FormatArg::Kind::Double:
        return static_cast<int64_t>(a.d);
    case FormatArg::Kind::Pointer:
        return static_cast<int64_t>(reinterpret_cast<uintptr_t>(a.p));
    case FormatArg::Kind::String:
        break;
    }
    return 0;
}

// A negative signed value printed unsigned wraps at its own width, as printf does.
uint64_t asUnsigned(const FormatArg &a)
{
    if (a.kind == FormatArg::Kind::Unsigned)
        return a.u;
    const auto v = static_cast<uint64_t>(asSigned(a));
    if (a.kind == FormatArg::Kind::Signed && a.size < 8)
        return v & ((uint64_t(1) << (a.size * 8)) - 1);
    return v;
}

double asDouble(const FormatArg &a)
{
    switch (a.kind) {
    case FormatArg::Kind::Signed:
        return static_cast<double>(a.i);
    case FormatArg::Kind::Unsigned:
        return static_cast<double>(a.u);
    case FormatArg::Kind::Double:
        return a.d;
    default:
        return 0;
    }
}

template <class T> void appendPrintf(std::string &out, const std::string &spec, T value)
{
    char buf[128];
    const int n = std::snprintf(buf, sizeof buf, spec.c_str(), value);
    if (n < 0)
        return;
    if (n < static_cast<int>(sizeof buf)) {
        out.append(buf, n);
        return;
    }
    std::string big(n + 1, '\0');
    std::snprintf(big.data(), big.size(), spec.c_str(), value);
    out.append(big.data(), n);
}

// Pads `text` to `width` as the flags say (strings and %@ take width and '-' only).
void appendPadded(std::string &out, std::string text, int width, bool left, int precision)
{
    if (precision >= 0 && static_cast<size_t>(precision) < text.size())
        text.resize(precision);
    const size_t pad = width > 0 && static_cast<size_t>(width) > text.size() ? width - text.size() : 0;
    if (!left)
        out.append(pad, ' ');
    out += text;
    if (left)
        out.append(pad, ' ');
}

} // namespace

std::string formatArgs(std::string_view fmt, std::span<const FormatArg> args)
{
    std::string out;
    out.reserve(fmt.size() + 16 * args.size());
    size_t next = 0;
    auto takeArg = [&]() -> const FormatArg * { return next < args.size() ? &args[next++] : nullptr; };

    for (size_t i = 0; i < fmt.size(); ++i) {
        const char c = fmt[i];
        if (c != '%') {
            out += c;
            continue;
        }
        const size_t start = i++;
        if (i >= fmt.size()) {
            out += '%';
            break;
        }
        if (fmt[i] == '%') {
            out += '%';
            continue;
        }
        std::string flags;
        while (i < fmt.size() && std::string_view("-+ #0'").find(fmt[i]) != std::string_view::npos) {
            if (fmt[i] != '\'') // grouping is not portable through snprintf; drop it
                flags += fmt[i];
            ++i;
        }
        int width = -1;
        bool left = flags.find('-') != std::string::npos;
        if (i < fmt.size() && fmt[i] == '*') {
            ++i;
            const FormatArg *w = takeArg();
            width = w ? static_cast<int>(asSigned(*w)) : 0;
            if (width < 0) {
                left = true;
                flags += '-';
                width = -width;
            }
        } else {
            while (i < fmt.size() && fmt[i] >= '0' && fmt[i] <= '9')
                width = (width < 0 ? 0 : width) * 10 + (fmt[i++] - '0');
        }
        int precision = -1;
        if (i < fmt.size() && fmt[i] == '.') {
            ++i;
            precision = 0;
            if (i < fmt.size() && fmt[i] == '*') {
                ++i;
                const FormatArg *p = takeArg();
                precision = p ? static_cast<int>(asSigned(*p)) : 0;
                if (precision < 0)
                    precision = -1;
            } else {
                while (i < fmt.size() && fmt[i] >= '0' && fmt[i] <= '9')
                    precision = precision * 10 + (fmt[i++] - '0');
            }
        }
        while (i < fmt.size() && std::string_view("hlqLzjt").find(fmt[i]) != std::string_view::npos)
            ++i;
        if (i >= fmt.size()) {
            out.append(fmt.substr(start));
            break;
        }
        const char conv = fmt[i];
        const std::string_view written = fmt.substr(start, i + 1 - start);
        if (std::string_view("@diuxXocfFeEgGaAsSp").find(conv) == std::string_view::npos) {
            out.append(written); // unknown conversion: keep it visible
            continue;
        }
        const FormatArg *a = takeArg();
        if (!a) {
            out.append(written);
            continue;
        }

        std::string spec = "%" + flags;
        if (width >= 0)
            spec += std::to_string(width);
        if (precision >= 0)
            spec += "." + std::to_string(precision);

        const bool isString = a->kind == FormatArg::Kind::String;
        switch (conv) {
        case '@':
        case 's':
        case 'S':
            appendPadded(out, plainText(*a), width, left, conv == '@' ? -1 : precision);
            break;
        case 'd':
        case 'i':
            if (isString)
                appendPadded(out, a->s, width, left, -1);
            else
                appendPrintf(out, spec + "lld", static_cast<long long>(asSigned(*a)));
            break;
        case 'u':
        case 'x':
        case 'X':
        case 'o':
            if (isString)
                appendPadded(out, a->s, width, left, -1);
            else
                appendPrintf(out, spec + "ll" + conv, static_cast<unsigned long long>(asUnsigned(*a)));
            break;
        case 'c':
            if (isString)
                appendPadded(out, a->s, width, left, -1);
            else
                appendPrintf(out, spec + "c", static_cast<int>(asSigned(*a)));
            break;
        case 'p':
            appendPadded(out, plainText(FormatArg(a->kind == FormatArg::Kind::Pointer ? a->p : nullptr)),
                         width, left, -1);
            break;
        default: // f F e E g G a A
            if (isString)
                appendPadded(out, a->s, width, left, -1);
            else
                appendPrintf(out, spec + conv, asDouble(*a));
            break;
        }
    }
    return out;
}

} // namespace platform
