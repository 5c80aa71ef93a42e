#pragma once
// Code page 932 sixteen bytes at a time: where its characters of two bytes
// start and where their trail bytes are, for a block that starts at a
// character. Only for the lead bytes 81-9F and E0-FC
// (Cp932Decoder::standardLeads).

#ifdef __SSE2__

#include <emmintrin.h>

#include <cstdint>

namespace trelmo::cp932_block {

// A mask of the bytes above ASCII among 32 bytes, given in two halves.
inline std::uint64_t highBytes(__m128i a, __m128i b) {
    return static_cast<unsigned>(_mm_movemask_epi8(a)) |
           static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(b))) << 16;
}

// A mask of the lead bytes 81-9F and E0-FC among sixteen bytes.
inline std::uint64_t leadBytes(__m128i bytes) {
    // With the top bit flipped, they are 01-1F and 60-7C, ASCII below zero.
    const __m128i x = _mm_xor_si128(bytes, _mm_set1_epi8(static_cast<char>(0x80)));
    const __m128i low = _mm_and_si128(_mm_cmpgt_epi8(x, _mm_setzero_si128()), _mm_cmpgt_epi8(_mm_set1_epi8(0x20), x));
    const __m128i high = _mm_and_si128(_mm_cmpgt_epi8(x, _mm_set1_epi8(0x5F)), _mm_cmpgt_epi8(_mm_set1_epi8(0x7D), x));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(low, high)));
}

// The bytes that follow a lead byte starting a character are its trail
// bytes: in a run of lead values, every second one. The borrows of one
// subtraction find them all at once; a bit past the block marks a trail byte
// after it.
inline std::uint64_t trailBytes(std::uint64_t lead) {
    constexpr std::uint64_t odd = 0xAAAAAAAAAAAAAAAAu;
    return ((((lead << 1) | odd) - lead) ^ odd) ^ lead;
}

// The characters of sixteen bytes from a character's start, of which `size`
// are the text's: a bit for each byte that starts a character and for each
// that starts a pair, and 1 when the last pair's trail is the byte after them.
struct Characters {
    unsigned starts;
    std::uint64_t pairs;
    unsigned across;
};

inline Characters characters(__m128i bytes, std::size_t size) {
    const std::uint64_t lead = leadBytes(bytes);
    const std::uint64_t trails = trailBytes(lead);
    return {~static_cast<unsigned>(trails) & 0xFFFF, lead & ~trails, static_cast<unsigned>(trails >> size & 1)};
}

}  // namespace trelmo::cp932_block

#endif
