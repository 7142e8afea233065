#include "engine/Utf8Text.h"

namespace engine {

bool Utf8Text::isValid(std::string_view bytes)
{
    const size_t n = bytes.size();
    for (size_t i = 0; i < n;) {
        const unsigned char lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        // The second byte's range rules out overlong forms, surrogates and code points above U+10FFFF.
        int length = 0;
        unsigned char low = 0x80, high = 0xbf;
        if (lead >= 0xc2 && lead <= 0xdf) {
            length = 2;
        } else if (lead >= 0xe0 && lead <= 0xef) {
            length = 3;
            if (lead == 0xe0)
                low = 0xa0;
            else if (lead == 0xed)
                high = 0x9f;
        } else if (lead >= 0xf0 && lead <= 0xf4) {
            length = 4;
            if (lead == 0xf0)
                low = 0x90;
            else if (lead == 0xf4)
                high = 0x8f;
        } else {
            return false; // a continuation byte, an overlong lead (C0, C1) or a five- or six-byte form
        }
        if (n - i < size_t(length))
            return false;
        const unsigned char second = static_cast<unsigned char>(bytes[i + 1]);
        if (second < low || second > high)
            return false;
        for (int k = 2; k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(bytes[i + size_t(k)]);
            if (next < 0x80 || next > 0xbf)
                return false;
        }
        i += size_t(length);
    }
    return true;
}

} // namespace engine
