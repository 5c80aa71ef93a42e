#pragma once
// UTF-8 sixteen bytes at a time: which bytes are not plainly part of
// characters that XML holds. The fast paths of the value check and of the
// writer go by it and leave whatever it flags to the exact code that goes
// character by character, so that it never changes a result, only its speed.

#ifdef __SSE2__

#include <emmintrin.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace trelmo::xml::detail {

// A mask of the sixteen bytes in `cur` (bit i for byte i) that it does not
// vouch for, the bytes before `cur` ending a character. It vouches for
// printable ASCII and for well-formed two- and three-byte sequences with the
// leads C2–DF, E1–EC, EE and EF (not EF BF): all of them XML characters. It
// flags control characters (TAB, LF and CR too), the other leads (C0, C1, E0,
// ED, F0–FF), continuation bytes where none belongs and their absence where
// one does (at byte i + 1 or i + 2 for a lead at byte i, inside `cur`), and
// EF BF. A sequence cut at the end of `cur` is not flagged: see pendingLead.
inline unsigned unplainBytes(__m128i cur) {
    // Signed bytes: 0x80–0xBF are -128 to -65, 0xC0–0xFF are -64 to -1.
    const auto in = [](__m128i v, int low, int high) {
        return _mm_and_si128(_mm_cmpgt_epi8(v, _mm_set1_epi8(static_cast<char>(low - 1))),
                             _mm_cmplt_epi8(v, _mm_set1_epi8(static_cast<char>(high + 1))));
    };
    const __m128i prev1 = _mm_slli_si128(cur, 1);
    const __m128i prev2 = _mm_slli_si128(cur, 2);
    const __m128i continuation = _mm_cmplt_epi8(cur, _mm_set1_epi8(static_cast<char>(0xC0)));
    // After a lead of C2–EF at i - 1 or of E0–EF at i - 2.
    const __m128i wanted = _mm_or_si128(in(prev1, -62, -17), in(prev2, -32, -17));
    __m128i bad = _mm_xor_si128(continuation, wanted);
    bad = _mm_or_si128(bad, in(cur, -64, -63));                    // C0, C1
    bad = _mm_or_si128(bad, in(cur, -16, 0x1F));                   // F0–FF, control characters
    bad = _mm_or_si128(bad, _mm_cmpeq_epi8(cur, _mm_set1_epi8(static_cast<char>(0xE0))));
    bad = _mm_or_si128(bad, _mm_cmpeq_epi8(cur, _mm_set1_epi8(static_cast<char>(0xED))));
    bad = _mm_or_si128(bad, _mm_and_si128(_mm_cmpeq_epi8(prev1, _mm_set1_epi8(static_cast<char>(0xEF))),
                                          _mm_cmpeq_epi8(cur, _mm_set1_epi8(static_cast<char>(0xBF)))));
    return static_cast<unsigned>(_mm_movemask_epi8(bad));
}

// How many bytes at the end of the sixteen at p belong to a character that
// goes on past them (0, 1 or 2), in bytes unplainBytes vouched for.
inline std::size_t pendingLead(const unsigned char* p) {
    if (p[15] >= 0xC0) return 1;
    return p[14] >= 0xE0 ? 2 : 0;
}

// The n < 16 bytes at p, spaces after them: a space after a cut sequence
// makes unplainBytes flag it. Without a call or reading past p + n.
inline __m128i loadPadded(const unsigned char* p, std::size_t n) {
    constexpr std::uint64_t kSpaces = 0x2020202020202020;
    std::uint64_t low = kSpaces;
    std::uint64_t high = kSpaces;
    if (n >= 8) {
        std::memcpy(&low, p, 8);
        if (n > 8) {
            std::uint64_t last;
            std::memcpy(&last, p + n - 8, 8);
            const unsigned shift = 8 * static_cast<unsigned>(16 - n);  // 8 to 56
            high = (last >> shift) | (kSpaces << (64 - shift));
        }
    } else if (n >= 4) {
        std::uint32_t first, last;
        std::memcpy(&first, p, 4);
        std::memcpy(&last, p + n - 4, 4);
        low = first | ((static_cast<std::uint64_t>(last) >> (8 * (8 - n))) << 32) | (kSpaces << (8 * n));
    } else if (n > 0) {
        low = p[0] | (static_cast<std::uint64_t>(p[n / 2]) << (8 * (n / 2))) |
              (static_cast<std::uint64_t>(p[n - 1]) << (8 * (n - 1))) | (kSpaces << (8 * n));
    }
    return _mm_set_epi64x(static_cast<long long>(high), static_cast<long long>(low));
}

}  // namespace trelmo::xml::detail

#endif
