#include "engine/text/utf8.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include <simdjson.h>

namespace trelmo {
namespace {

bool isContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Length of the well-formed sequence at text[i], or 0.
std::size_t sequenceLength(std::string_view text, std::size_t i) {
    const auto at = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char c = at(i);
    if (c < 0x80) return 1;
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        if (c == 0xE0) low = 0xA0;   // overlong
        if (c == 0xED) high = 0x9F;  // surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        if (c == 0xF0) low = 0x90;   // overlong
        if (c == 0xF4) high = 0x8F;  // above U+10FFFF
    } else {
        return 0;
    }
    if (text.size() - i < length) return 0;
    if (at(i + 1) < low || at(i + 1) > high) return 0;
    for (std::size_t k = 2; k < length; ++k) {
        if (!isContinuation(at(i + k))) return 0;
    }
    return length;
}

// Checks the sequences from i on until i reaches limit (false: i is at a
// byte that starts no sequence).
bool scan(std::string_view text, std::size_t& i, std::size_t limit) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    while (i < limit) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            // A run of ASCII goes eight bytes at a time.
            ++i;
            while (size - i >= 8) {
                std::uint64_t word;
                std::memcpy(&word, p + i, 8);
                if (word & 0x8080808080808080u) break;
                i += 8;
            }
            continue;
        }
        // Three-byte characters without special ranges (most CJK text).
        if (((c >= 0xE1 && c <= 0xEC) || c >= 0xEE) && c <= 0xEF && size - i >= 3 && isContinuation(p[i + 1]) &&
            isContinuation(p[i + 2])) {
            i += 3;
            continue;
        }
        const std::size_t length = sequenceLength(text, i);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

}  // namespace

std::size_t firstInvalidUtf8(std::string_view text) {
    // Text in another encoding mostly shows it in its first line: the first
    // kilobytes are checked here, sparing the vector check a pass over the
    // whole text.
    std::size_t i = 0;
    if (!scan(text, i, std::min<std::size_t>(text.size(), 4096))) return i;
    // The vector check answers yes or no; the loop finds where.
    if (i >= text.size() || simdjson::validate_utf8(text.data() + i, text.size() - i)) return std::string_view::npos;
    return scan(text, i, text.size()) ? std::string_view::npos : i;
}

std::size_t lastCodePointLength(std::string_view text) {
    std::size_t length = 1;
    while (length < text.size() && length < 4 &&
           isContinuation(static_cast<unsigned char>(text[text.size() - length]))) {
        ++length;
    }
    // Only a lead byte may start the code point; otherwise drop a single byte.
    const auto lead = static_cast<unsigned char>(text[text.size() - length]);
    return (length > 1 && lead >= 0xC0) ? length : 1;
}

}  // namespace trelmo
