#pragma once
// The character set a subtitle file is written in, and its text as UTF-8: the one reading of a subtitle
// file's bytes, shared by the check before a file is chosen (through MediaGetSubtitleText) and by the
// subtitle filter (which tells libavcodec the character set, and reads an ass script's height).
//
// In this order: UTF-16 with its mark; UTF-8 (with or without its mark); the character set that
// uchardet guesses from the bytes (ISO-8859-1 read as its superset WINDOWS-1252); the locale's own
// character set, or WINDOWS-1252 where the locale's is UTF-8 or ASCII. A guess counts only when glibc's
// iconv converts every byte and the text holds no control character but tab, line feed, form feed and
// carriage return; when none counts, the bytes are not text. No Qt; any thread.
#include <optional>
#include <string>

namespace engine {

class SubtitleCharset
{
public:
    // Files above this size are not read (no subtitle file is near it).
    static constexpr long kMaxBytes = 16 * 1024 * 1024;

    struct Text
    {
        std::string charset; // iconv's name: "UTF-8", "UTF-16LE", "WINDOWS-1251"...
        std::string utf8;    // the whole text, without a byte-order mark
    };

    // The reading of `bytes` (see above); nullopt when they are not text.
    static std::optional<Text> decode(const std::string &bytes);

    // Reads the file at `path` and decodes it: MEDIA_OK; MEDIA_ERR_INPUT when it is not a regular file,
    // cannot be read or is larger than kMaxBytes; MEDIA_ERR_GENERIC when it is not text.
    static int readFile(const std::string &path, Text &text);

    // Whether libavformat reads text in `charset` by itself (UTF-8, UTF-16 with its mark), so that the
    // subtitle filter needs no charenc for it.
    static bool readsAsIs(const std::string &charset);
};

} // namespace engine
