#pragma once
// The characters an XML document can hold, as the serialiser, the loader and
// the value check test them in UTF-8 text, and how messages name them.

#include <cstdio>
#include <string>

#include "engine/text/utf8.h"

namespace trelmo::xml::detail {

// Characters that an XML 1.0 document can hold.
inline bool isXmlChar(char32_t cp) {
    return cp == 0x9 || cp == 0xA || cp == 0xD || (cp >= 0x20 && cp <= 0xD7FF) || (cp >= 0xE000 && cp <= 0xFFFD) ||
           (cp >= 0x10000 && cp <= 0x10FFFF);
}

// The character of a well-formed three-byte sequence at p (which has three
// bytes) when XML can hold it, else 0: sequences that are not well-formed,
// overlong forms, surrogates, U+FFFE and U+FFFF give 0. The common case of CJK
// text, tested without a call or a branch per byte.
inline char32_t xmlCharOfThree(const unsigned char* p) {
    if ((p[0] & 0xF0) != 0xE0 || ((p[1] ^ 0x80) | (p[2] ^ 0x80)) >= 0x40) return 0;
    const char32_t cp = (static_cast<char32_t>(p[0] & 0x0F) << 12) | (static_cast<char32_t>(p[1] & 0x3F) << 6) |
                        (p[2] & 0x3F);
    if (cp < 0x800 || cp >= 0xFFFE || isSurrogate(cp)) return 0;
    return cp;
}

// The character above ASCII at p (p < end): an XML character of three bytes
// through xmlCharOfThree, any other through decodeUtf8 (length 0: not UTF-8;
// the caller tests isXmlChar).
inline Utf8Char charAt(const unsigned char* p, const unsigned char* end) {
    if (end - p >= 3) {
        if (const char32_t cp = xmlCharOfThree(p)) return {cp, 3};
    }
    return decodeUtf8(p, end);
}

// "U+00E9", "U+1F600".
inline std::string codePointName(char32_t cp) {
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(cp));
    return text;
}

inline std::string byteName(unsigned char byte) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", byte);
    return text;
}

}  // namespace trelmo::xml::detail
