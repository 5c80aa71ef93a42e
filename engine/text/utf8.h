#pragma once
// UTF-8: decoding one character, encoding one, and checks of whole texts.
// Every part of the engine that reads or writes UTF-8 goes through these.

#include <cstddef>
#include <string>
#include <string_view>

namespace trelmo {

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

struct Utf8Char {
    char32_t cp = 0;
    std::size_t length = 0;  // 0: not a well-formed sequence
};

// Decodes one character at p (p < end). Surrogates encoded as three bytes are
// decoded, so that callers can name them; overlong forms and anything above
// U+10FFFF are not.
inline Utf8Char decodeUtf8(const unsigned char* p, const unsigned char* end) {
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

inline bool isSurrogate(char32_t cp) { return cp >= 0xD800 && cp <= 0xDFFF; }

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

// Offset of the first byte that does not start a well-formed UTF-8 sequence
// (no overlong forms, no surrogates, nothing above U+10FFFF), or npos.
std::size_t firstInvalidUtf8(std::string_view text);

// Length of the last code point of non-empty UTF-8 text, at least 1.
std::size_t lastCodePointLength(std::string_view text);

}  // namespace trelmo
