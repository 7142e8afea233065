// Reading a subtitle file's text: its character set found (marks, UTF-8, a guess from the bytes) and
// checked by converting it whole; what is not text is refused.
#include "tests/engine/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace enginetest;

namespace {

std::string writeFile(const std::string &folder, const std::string &name, const std::string &bytes)
{
    const std::string path = folder + "/" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

// UTF-16LE of ASCII text, with its mark when asked.
std::string utf16le(const std::string &ascii, bool mark)
{
    std::string out = mark ? "\xFF\xFE" : "";
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

struct Read
{
    int result = 0;
    std::string charset;
    std::string text;
};

// Both calls: the size, then the text.
Read readSubtitle(const std::string &path)
{
    Read read;
    char charset[64] = "unset";
    int size = -1;
    read.result = MediaGetSubtitleText(path.c_str(), charset, sizeof charset, nullptr, &size);
    if (read.result != MEDIA_OK)
        return read;
    read.charset = charset;
    read.text.assign(size_t(size), '\0');
    read.result = MediaGetSubtitleText(path.c_str(), nullptr, 0, read.text.data(), &size);
    read.text.resize(size_t(size));
    return read;
}

const std::string kCue = "1\n00:00:01,000 --> 00:00:02,000\n";

} // namespace

TEST(SubtitleText, FindsTheCharacterSetAndReadsTheTextAsUtf8)
{
    const std::string folder = freshFolder();
    const std::string russian = kCue + "Привет, мир! Съешь же ещё этих мягких булок.\n";
    const std::string russian1251 = kCue +
                                    "\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0! \xD1\xFA\xE5\xF8\xFC \xE6\xE5 "
                                    "\xE5\xF9\xB8 \xFD\xF2\xE8\xF5 \xEC\xFF\xE3\xEA\xE8\xF5 "
                                    "\xE1\xF3\xEB\xEE\xEA.\n";
    // Quotes, the euro sign and the oe ligature sit where ISO-8859-1 has control characters.
    const std::string french = kCue + "« L’élève a payé 5 € pour l’œuvre. »\n";
    const std::string french1252 = kCue + "\xAB L\x92\xE9l\xE8ve a pay\xE9 5 \x80 pour l\x92\x9Cuvre. \xBB\n";
    const std::string accents1252 = kCue + "Caf\xE9 cr\xE8me \xE0 la fran\xE7"
                                           "aise\n";
    const struct
    {
        const char *name;
        std::string bytes;
        const char *charset;
        std::string text;
    } cases[] = {
        {"russian in windows-1251", russian1251, "WINDOWS-1251", russian},
        {"french in windows-1252", french1252, "WINDOWS-1252", french},
        {"accents only, guessed as latin-1, read as windows-1252", accents1252, "WINDOWS-1252",
         kCue + "Café crème à la française\n"},
        {"utf-8", russian, "UTF-8", russian},
        {"utf-8 with its mark", "\xEF\xBB\xBF" + french, "UTF-8", french},
        {"utf-16le with its mark", utf16le(kCue + "Hello\r\n", true), "UTF-16LE", kCue + "Hello\r\n"},
        {"empty", "", "UTF-8", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const Read read = readSubtitle(writeFile(folder, "cue.srt", c.bytes));
        ASSERT_EQ(read.result, MEDIA_OK);
        EXPECT_EQ(read.charset, c.charset);
        EXPECT_EQ(read.text, c.text);
    }
}

TEST(SubtitleText, RefusesWhatIsNotTextAndWhatCannotBeRead)
{
    const std::string folder = freshFolder();
    std::string junk;
    uint32_t seed = 12345;
    for (int i = 0; i < 4096; ++i) {
        seed = seed * 1664525u + 1013904223u;
        junk += char(seed >> 24);
    }
    const struct
    {
        const char *name;
        std::string bytes;
    } notText[] = {
        {"random bytes", junk},
        {"utf-16 without its mark", utf16le(kCue + "Hello\n", false)},
        {"text with a zero byte", kCue + std::string("Hel\0lo\n", 7)},
        {"a picture's header", std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16) + kCue},
    };
    for (const auto &c : notText) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(readSubtitle(writeFile(folder, "junk.srt", c.bytes)).result, MEDIA_ERR_GENERIC);
    }
    EXPECT_EQ(readSubtitle(folder + "/absent.srt").result, MEDIA_ERR_INPUT);
    std::filesystem::create_directory(folder + "/folder.srt");
    EXPECT_EQ(readSubtitle(folder + "/folder.srt").result, MEDIA_ERR_INPUT);
    EXPECT_EQ(readSubtitle(writeFile(folder, "huge.srt", std::string(16 * 1024 * 1024 + 1, 'a'))).result,
              MEDIA_ERR_INPUT);
    int size = 0;
    EXPECT_EQ(MediaGetSubtitleText(nullptr, nullptr, 0, nullptr, &size), MEDIA_ERR_ARGUMENT);
    EXPECT_EQ(MediaGetSubtitleText(writeFile(folder, "ok.srt", kCue).c_str(), nullptr, 0, nullptr, nullptr),
              MEDIA_ERR_ARGUMENT);
}

TEST(SubtitleText, OnlyWellFormedUtf8IsReadAsUtf8)
{
    const std::string folder = freshFolder();
    // The longest forms there are: three and four bytes, up to U+10FFFF.
    for (const std::string &good : {std::string("\xE2\x82\xAC"), std::string("\xF0\x9F\x98\x80"),
                                    std::string("\xF4\x8F\xBF\xBF")}) {
        const Read read = readSubtitle(writeFile(folder, "good.srt", kCue + "a" + good + "b\n"));
        ASSERT_EQ(read.result, MEDIA_OK);
        EXPECT_EQ(read.charset, "UTF-8");
        EXPECT_EQ(read.text, kCue + "a" + good + "b\n");
    }
    // What glibc's iconv takes for UTF-8 although the standard does not.
    const struct
    {
        const char *name;
        std::string bytes;
    } bad[] = {
        {"five-byte form", "\xF8\x88\x80\x80\x80"},
        {"six-byte form", "\xFC\x84\x80\x80\x80\x80"},
        {"above U+10FFFF", "\xF4\x90\x80\x80"},
        {"surrogate half", "\xED\xA0\x80"},
        {"overlong slash", "\xC0\xAF"},
        {"cut short", "\xE2\x82"},
    };
    for (const auto &c : bad) {
        SCOPED_TRACE(c.name);
        const Read read = readSubtitle(writeFile(folder, "bad.srt", kCue + "a" + c.bytes + "b\n"));
        // Refused, or read in another character set, whose text is then no copy of the bytes.
        if (read.result == MEDIA_OK) {
            EXPECT_NE(read.charset, "UTF-8");
            EXPECT_EQ(read.text.find(c.bytes), std::string::npos);
        }
    }
}

TEST(SubtitleText, CopiesNoMoreThanTheBufferHolds)
{
    const std::string path = writeFile(freshFolder(), "cue.srt", kCue);
    char text[8] = "-------";
    int size = 4;
    char charset[4] = "xxx";
    ASSERT_EQ(MediaGetSubtitleText(path.c_str(), charset, sizeof charset, text, &size), MEDIA_OK);
    EXPECT_EQ(size, 4);
    EXPECT_EQ(std::string(text, 8), std::string("1\n00---\0", 8));
    EXPECT_STREQ(charset, "UTF") << "cut to its buffer and still terminated";
}
