#include "engine/text/utf8.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include <simdjson.h>

namespace trelmo {
namespace {

bool isContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

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
        const Utf8Char d = decodeUtf8(p + i, p + size);
        if (d.length == 0 || isSurrogate(d.cp)) return false;
        i += d.length;
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
