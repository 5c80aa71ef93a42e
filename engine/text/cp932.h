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

private:
    Cp932Decoder() = default;
    bool build();
    std::size_t decodeBlock(const unsigned char* in, std::size_t size, std::size_t& i, std::size_t end,
                            char* out) const;

    // A character as one word: its UTF-8 bytes (at most three, as every
    // character of the code page is in the BMP) in memory order, then their
    // count. 0: no character.
    std::array<std::uint32_t, 256> single_{};
    std::array<std::uint32_t, 256> row_{};  // a lead byte's row in pairs_, 0 for other bytes
    std::vector<std::uint32_t> pairs_;      // a row of 0, then 256 words a lead byte, by the trail byte
    // The lead bytes are 81-9F and E0-FC, and ASCII is itself, as the
    // vector loop takes them to be.
    bool vectorLeads_ = false;
};

}  // namespace trelmo
