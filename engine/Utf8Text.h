#pragma once
// Strict UTF-8, as the standard defines it since 2003: one to four bytes a character, no overlong
// forms, no surrogate halves, nothing above U+10FFFF. glibc's iconv lets the old five- and six-byte
// forms and code points above U+10FFFF through, so bytes that claim to be UTF-8 are checked here first.
// No Qt; any thread.
#include <string_view>

namespace engine {

class Utf8Text
{
public:
    // Whether every byte of `bytes` belongs to a well-formed UTF-8 character.
    static bool isValid(std::string_view bytes);
};

} // namespace engine
