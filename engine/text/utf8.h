#pragma once
// Checks of UTF-8 byte sequences.

#include <cstddef>
#include <string_view>

namespace trelmo {

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Offset of the first byte that does not start a well-formed UTF-8 sequence
// (no overlong forms, no surrogates, nothing above U+10FFFF), or npos.
std::size_t firstInvalidUtf8(std::string_view text);

// Length of the last code point of non-empty UTF-8 text, at least 1.
std::size_t lastCodePointLength(std::string_view text);

}  // namespace trelmo
