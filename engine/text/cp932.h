#pragma once
// Code page 932 to UTF-8 through a table taken once from the system's
// converter (iconv), so the result and the place of an error are iconv's own,
// at the speed of a table lookup.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/large_buffer.h"

namespace trelmo {

class Cp932Decoder {
public:
    // The shared table, built on first use; null when iconv has no CP932.
    static const Cp932Decoder* instance();

    // Puts the UTF-8 text of bytes into out, its length into length. Returns
    // the offset of the first byte that starts no character (also a lead byte
    // cut off at the end), or npos when every byte was decoded.
    std::size_t decode(std::string_view bytes, LargeBuffer& out, std::size_t& length) const;
    // decode() without keeping the text: where the first bad byte is, or npos.
    std::size_t firstInvalid(std::string_view bytes) const;

    // The lead bytes are 81-9F and E0-FC, and ASCII is itself: the masks of cp932_block.h hold.
    bool standardLeads() const { return vectorLeads_; }
    // Whether the byte starts a character of two bytes.
    bool isLead(unsigned char byte) const { return row_[byte] != 0; }
    // The length of the character at p (p < end): 2 for a lead byte with a byte after it.
    std::size_t lengthAt(const unsigned char* p, const unsigned char* end) const {
        return isLead(*p) && end - p >= 2 ? 2 : 1;
    }
    // A character's bytes (1 or 2) as one number: the byte, or lead << 8 | trail.
    static std::size_t code(const unsigned char* bytes, std::size_t length) {
        return length == 2 ? std::size_t{bytes[0]} << 8 | bytes[1] : bytes[0];
    }
    static constexpr char32_t kNoCharacter = 0xFFFFFFFF;
    // The code point of the character of `length` bytes at `bytes`, or kNoCharacter.
    char32_t codePoint(const unsigned char* bytes, std::size_t length) const;
    // The UTF-8 bytes of the character of `length` bytes (1 or 2) at `bytes`
    // into `utf8`; returns their count, 0 when the bytes are no character.
    std::size_t character(const unsigned char* bytes, std::size_t length, char (&utf8)[4]) const;
    // The length of the last character of text made of whole characters.
    std::size_t lastCharacterLength(std::string_view text) const;

private:
    Cp932Decoder() = default;
    bool build();
    std::size_t decodeBlock(const unsigned char* in, std::size_t size, std::size_t& i, std::size_t end,
                            char* out) const;
    // Where firstInvalid must look further: the start of the first block of
    // 32 bytes with a bad character, or near the end.
    std::size_t skipValid(const unsigned char* in, std::size_t size) const;

    // A character as one word: its UTF-8 bytes (at most three, as every
    // character of the code page is in the BMP) in memory order, then their
    // count. 0: no character.
    std::array<std::uint32_t, 256> single_{};
    std::array<std::uint32_t, 256> row_{};  // a lead byte's row in pairs_, 0 for other bytes
    std::vector<std::uint32_t> pairs_;      // a row of 0, then 256 words a lead byte, by the trail byte
    // A bit for each character, by its byte (above ASCII) or by lead << 8 | trail.
    std::vector<std::uint64_t> valid_;
    // The lead bytes are 81-9F and E0-FC, and ASCII is itself, as the
    // vector loop takes them to be.
    bool vectorLeads_ = false;
};

}  // namespace trelmo
