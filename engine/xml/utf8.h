#pragma once
// Small UTF-8 helpers for the serialiser and the loader.

#include <cstddef>
#include <cstdio>
#include <string>

namespace trelmo::xml::detail {

struct Decoded {
    char32_t cp = 0;
    std::size_t length = 0;  // 0: not a well-formed sequence
};

// Decodes one character at p (p < end). Surrogates encoded as three bytes are
// decoded, so that callers can name them; overlong forms are not.
inline Decoded decodeUtf8(const unsigned char* p, const unsigned char* end) {
    const unsigned char c = p[0];
    if (c < 0x80) return {c, 1};
    // Three bytes, the common case of CJK text, without the general loop.
    if ((c & 0xF0) == 0xE0 && end - p >= 3 && (p[1] & 0xC0) == 0x80 && (p[2] & 0xC0) == 0x80) {
        const char32_t cp = (static_cast<char32_t>(c & 0x0F) << 12) | (static_cast<char32_t>(p[1] & 0x3F) << 6) |
                            (p[2] & 0x3F);
        if (cp < 0x800) return {};
        return {cp, 3};
    }
    std::size_t length;
    char32_t cp;
    char32_t minimum;
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2, cp = c & 0x1F, minimum = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3, cp = c & 0x0F, minimum = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4, cp = c & 0x07, minimum = 0x10000;
    } else {
        return {};
    }
    if (static_cast<std::size_t>(end - p) < length) return {};
    for (std::size_t i = 1; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80) return {};
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF) return {};
    return {cp, length};
}

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
    if (cp < 0x800 || cp >= 0xFFFE || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return cp;
}

inline void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
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
