#include "engine/SubtitleCharset.h"

#include "engine/Utf8Text.h"

#include "media/MediaEngine.h"

#include <uchardet.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iconv.h>
#include <iterator>
#include <langinfo.h>
#include <locale.h>

namespace engine {

namespace {

bool startsWith(const std::string &bytes, const char *mark)
{
    return bytes.compare(0, std::char_traits<char>::length(mark), mark) == 0;
}

// `bytes` in `charset` converted to UTF-8, when iconv knows the name and every byte converts.
std::optional<std::string> convert(const std::string &bytes, const std::string &charset)
{
    iconv_t cd = iconv_open("UTF-8", charset.c_str());
    if (cd == iconv_t(-1))
        return std::nullopt;
    char *in = const_cast<char *>(bytes.data());
    size_t inLeft = bytes.size();
    std::string out(bytes.size() * 3 + 16, '\0');
    size_t done = 0;
    bool ok = true;
    for (;;) {
        char *to = out.data() + done;
        size_t toLeft = out.size() - done;
        // Once the input is used up, a call without input ends a stateful set's last shift.
        const bool ending = inLeft == 0;
        size_t r = ending ? iconv(cd, nullptr, nullptr, &to, &toLeft) : iconv(cd, &in, &inLeft, &to, &toLeft);
        done = out.size() - toLeft;
        if (r != size_t(-1)) {
            if (ending)
                break;
        } else if (errno == E2BIG) {
            out.resize(out.size() * 2);
        } else {
            ok = false; // a byte that is no character of the set, or a sequence cut short
            break;
        }
    }
    iconv_close(cd);
    if (!ok)
        return std::nullopt;
    out.resize(done);
    return out;
}

// Text holds no control character but tab, line feed, form feed and carriage return (C0, DEL, C1).
bool plainText(const std::string &utf8)
{
    for (size_t i = 0; i < utf8.size(); ++i) {
        const unsigned char c = utf8[i];
        if ((c < 0x20 && c != '\t' && c != '\n' && c != '\f' && c != '\r') || c == 0x7f)
            return false;
        if (c == 0xc2 && i + 1 < utf8.size() && (unsigned char)utf8[i + 1] <= 0x9f)
            return false;
    }
    return true;
}

// uchardet's guess, without the Unicode forms (UTF-8 was tried already; the others without their mark
// are not read by libavformat) and with ISO-8859-1 read as WINDOWS-1252, whose quotes, dashes and
// euro sign sit where ISO-8859-1 has control characters.
std::string guess(const std::string &bytes)
{
    uchardet_t detector = uchardet_new();
    if (!detector)
        return {};
    std::string name;
    if (uchardet_handle_data(detector, bytes.data(), bytes.size()) == 0) {
        uchardet_data_end(detector);
        name = uchardet_get_charset(detector);
    }
    uchardet_delete(detector);
    if (name == "ISO-8859-1")
        return "WINDOWS-1252";
    if (startsWith(name, "UTF") || name == "ASCII" || name.find("10646") != std::string::npos)
        return {};
    return name;
}

// The character set of the user's locale (LC_ALL, LC_CTYPE, LANG), read without changing the process's.
std::string localeCharset()
{
    locale_t locale = newlocale(LC_CTYPE_MASK, "", locale_t(0));
    if (!locale)
        return {};
    std::string name = nl_langinfo_l(CODESET, locale);
    freelocale(locale);
    return name;
}

} // namespace

std::optional<SubtitleCharset::Text> SubtitleCharset::decode(const std::string &bytes)
{
    auto as = [&](const std::string &charset, size_t mark) -> std::optional<Text> {
        if (charset.empty())
            return std::nullopt;
        if (charset == "UTF-8" && !Utf8Text::isValid(std::string_view(bytes).substr(mark)))
            return std::nullopt;
        std::optional<std::string> utf8 = convert(bytes.substr(mark), charset);
        if (!utf8 || !plainText(*utf8))
            return std::nullopt;
        return Text{charset, std::move(*utf8)};
    };
    if (startsWith(bytes, "\xFF\xFE"))
        return as("UTF-16LE", 2);
    if (startsWith(bytes, "\xFE\xFF"))
        return as("UTF-16BE", 2);
    if (startsWith(bytes, "\xEF\xBB\xBF"))
        return as("UTF-8", 3);
    if (auto text = as("UTF-8", 0))
        return text;
    const std::string guessed = guess(bytes);
    if (auto text = as(guessed, 0))
        return text;
    const std::string local = localeCharset();
    const bool unicodeLocale = local.empty() || local == "UTF-8" || local == "ANSI_X3.4-1968";
    const std::string fallback = unicodeLocale ? "WINDOWS-1252" : local;
    return fallback == guessed ? std::nullopt : as(fallback, 0);
}

int SubtitleCharset::readFile(const std::string &path, Text &text)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return MEDIA_ERR_INPUT;
    const auto size = std::filesystem::file_size(path, error);
    if (error || size > uintmax_t(kMaxBytes))
        return MEDIA_ERR_INPUT;
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open())
        return MEDIA_ERR_INPUT;
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::optional<Text> decoded = decode(bytes);
    if (!decoded)
        return MEDIA_ERR_GENERIC;
    text = std::move(*decoded);
    return MEDIA_OK;
}

bool SubtitleCharset::readsAsIs(const std::string &charset)
{
    return charset == "UTF-8" || startsWith(charset, "UTF-16");
}

} // namespace engine
