#include "engine/text/cp932.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "engine/text/cp932_block.h"
#include "engine/text/iconv_handle.h"
#include "engine/text/utf8.h"

namespace trelmo {
namespace {

constexpr std::size_t kSlack = 32;                     // a word or two vectors stored past the last character

// The count byte of a character word.
unsigned lengthOf(std::uint32_t word) {
    return std::endian::native == std::endian::little ? word >> 24 : word & 0xFF;
}

std::uint32_t characterWord(const char* utf8, std::size_t length) {
    char bytes[4] = {};
    std::memcpy(bytes, utf8, length);
    bytes[3] = static_cast<char>(length);
    std::uint32_t word;
    std::memcpy(&word, bytes, 4);
    return word;
}

enum class Probe { Character, Incomplete, Invalid };

// Converts exactly the given bytes as one character.
Probe probe(iconv_t cd, const char* bytes, std::size_t size, std::string& utf8) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char in[2];
    std::memcpy(in, bytes, size);
    char out[16];
    char* inPos = in;
    std::size_t inLeft = size;
    char* outPos = out;
    std::size_t outLeft = sizeof out;
    if (iconv(cd, &inPos, &inLeft, &outPos, &outLeft) == static_cast<std::size_t>(-1)) {
        return errno == EINVAL ? Probe::Incomplete : Probe::Invalid;
    }
    utf8.assign(out, outPos);
    return utf8.empty() ? Probe::Invalid : Probe::Character;
}

// The characters of a lead byte with every trail byte (empty for no
// character), as probe() finds them one by one, in a few calls: the pairs go
// in together, each followed by a line feed, so that each line of the output
// is one pair's character; where a pair is refused, the conversion goes on
// after it. False when the output has any other shape.
bool convertPairs(iconv_t cd, char lead, std::array<std::string, 256>& utf8) {
    constexpr std::size_t kStride = 3;
    char in[256 * kStride];
    for (std::size_t t = 0; t < 256; ++t) {
        in[t * kStride] = lead;
        in[t * kStride + 1] = static_cast<char>(t);
        in[t * kStride + 2] = '\n';
    }
    char out[256 * 17];
    std::size_t t = 0;
    while (t < 256) {
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char* const from = in + t * kStride;
        char* inPos = from;
        std::size_t inLeft = (256 - t) * kStride;
        char* outPos = out;
        std::size_t outLeft = sizeof out;
        const bool whole = iconv(cd, &inPos, &inLeft, &outPos, &outLeft) != static_cast<std::size_t>(-1);
        const int error = errno;
        const auto consumed = static_cast<std::size_t>(inPos - from);
        // One line of output for each pair taken with its line feed.
        std::string_view lines(out, static_cast<std::size_t>(outPos - out));
        for (std::size_t k = 0; k < consumed / kStride; ++k, ++t) {
            const std::size_t end = lines.find('\n');
            // Longer than the probe's buffer, which would refuse it: left to the probe.
            if (end == std::string_view::npos || end > 16) return false;
            utf8[t].assign(lines.substr(0, end));
            lines.remove_prefix(end + 1);
        }
        if (whole) return t == 256 && lines.empty();
        // Refused within the pair (not at its line feed): no character.
        if (error != EILSEQ || consumed % kStride == kStride - 1 || lines.find('\n') != std::string_view::npos) {
            return false;
        }
        utf8[t++].clear();
    }
    return true;
}

#ifdef __SSE2__
void copy16(char* to, const unsigned char* from) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to), _mm_loadu_si128(reinterpret_cast<const __m128i*>(from)));
}

void copy32(char* to, const unsigned char* from) {
    copy16(to, from);
    copy16(to + 16, from + 16);
}
#endif

}  // namespace

#ifdef __SSE2__
using cp932_block::highBytes;
using cp932_block::leadBytes;
using cp932_block::trailBytes;
#endif

const Cp932Decoder* Cp932Decoder::instance() {
    static const std::unique_ptr<Cp932Decoder> table = [] {
        std::unique_ptr<Cp932Decoder> built(new Cp932Decoder());
        if (!built->build()) built.reset();
        return built;
    }();
    return table.get();
}

bool Cp932Decoder::build() {
    IconvHandle cd = openIconv("UTF-8", "CP932");
    if (!cd) return false;
    bool beyondBmp = false;
    const auto word = [&](const std::string& utf8) -> std::uint32_t {
        if (utf8.empty()) return 0;
        beyondBmp |= utf8.size() > 3;
        return characterWord(utf8.data(), std::min<std::size_t>(utf8.size(), 3));
    };
    std::string utf8;
    std::size_t leads = 0;
    for (int b = 0; b < 256; ++b) {
        const char byte = static_cast<char>(b);
        const Probe alone = probe(cd.get(), &byte, 1, utf8);
        if (alone == Probe::Character) single_[static_cast<std::size_t>(b)] = word(utf8);
        // A lead byte: the character is in the pair with the byte that follows.
        if (alone == Probe::Incomplete) row_[static_cast<std::size_t>(b)] = static_cast<std::uint32_t>(++leads * 256);
    }
    pairs_.resize((leads + 1) * 256);
    std::array<std::string, 256> trailed;
    for (int b = 0; b < 256; ++b) {
        const std::uint32_t row = row_[static_cast<std::size_t>(b)];
        if (!row) continue;
        const char byte = static_cast<char>(b);
        if (!convertPairs(cd.get(), byte, trailed)) {
            for (int t = 0; t < 256; ++t) {
                const char pair[2] = {byte, static_cast<char>(t)};
                std::string& character = trailed[static_cast<std::size_t>(t)];
                if (probe(cd.get(), pair, 2, character) != Probe::Character) character.clear();
            }
        }
        for (std::size_t t = 0; t < 256; ++t) pairs_[row + t] = word(trailed[t]);
    }
    // Single bytes by themselves: their numbers are below every pair's.
    valid_.assign(65536 / 64, 0);
    const auto setValid = [this](std::size_t code) { valid_[code / 64] |= std::uint64_t{1} << (code % 64); };
    for (std::size_t b = 0; b < 256; ++b) {
        if (!row_[b] && single_[b]) setValid(b);
        for (std::size_t t = 0; row_[b] && t < 256; ++t) {
            if (pairs_[row_[b] + t]) setValid(b << 8 | t);
        }
    }
    // Every character of the code page is in the BMP; a converter that says otherwise is not used.
    if (beyondBmp) return false;
    vectorLeads_ = true;
    for (int b = 0; b < 256; ++b) {
        const char byte = static_cast<char>(b);
        const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        if ((row_[static_cast<std::size_t>(b)] != 0) != lead ||
            (b < 0x80 && single_[static_cast<std::size_t>(b)] != characterWord(&byte, 1))) {
            vectorLeads_ = false;
        }
    }
    return true;
}

std::size_t Cp932Decoder::decode(std::string_view bytes, LargeBuffer& out, std::size_t& length) const {
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    // Room for three bytes a byte, the most a character takes; only the
    // pages written to take memory.
    out.reserve(3 * size + kSlack);
    std::size_t i = 0;
    length = decodeBlock(in, size, i, size, out.data());
    return i < size ? i : std::string_view::npos;
}

std::size_t Cp932Decoder::firstInvalid(std::string_view bytes) const {
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t i = skipValid(in, bytes.size());
    // The rest decoded a block at a time into a scratch buffer that stays in the cache.
    constexpr std::size_t kBlock = 4096;
    char scratch[3 * (kBlock + 1) + kSlack];
    while (i < bytes.size()) {
        const std::size_t end = std::min(bytes.size(), i + kBlock);
        decodeBlock(in, bytes.size(), i, end, scratch);
        if (i < end) return i;
    }
    return std::string_view::npos;
}

std::size_t Cp932Decoder::skipValid([[maybe_unused]] const unsigned char* in, [[maybe_unused]] std::size_t size) const {
    std::size_t i = 0;
#ifdef __SSE2__
    if (!vectorLeads_) return 0;
    // 32 bytes at a time, as decodeBlock goes, looking each character up only in the tables of valid ones.
    while (size - i > 64) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i + 16));
        const std::uint64_t high = highBytes(a, b);
        if (!high) {
            i += 32;
            continue;
        }
        const std::uint64_t lead = leadBytes(a) | leadBytes(b) << 16;
        const std::uint64_t trails = trailBytes(lead);
        std::uint64_t valid = 1;
        for (std::uint64_t starts = high & ~trails & 0xFFFFFFFFu; starts; starts &= starts - 1) {
            const auto p = static_cast<std::size_t>(std::countr_zero(starts));
            const std::size_t bytes = code(in + i + p, 1 + (lead >> p & 1));
            valid &= valid_[bytes / 64] >> (bytes % 64);
        }
        if (!(valid & 1)) break;
        i += 32 + (trails >> 32 & 1);  // past the trail of a character across the block's end
    }
#endif
    return i;
}

std::size_t Cp932Decoder::character(const unsigned char* bytes, std::size_t length, char (&utf8)[4]) const {
    const std::uint32_t word = length == 2 ? pairs_[row_[bytes[0]] + bytes[1]] : single_[bytes[0]];
    std::memcpy(utf8, &word, 4);
    return lengthOf(word);
}

char32_t Cp932Decoder::codePoint(const unsigned char* bytes, std::size_t length) const {
    char utf8[4];
    const std::size_t size = character(bytes, length, utf8);
    if (size == 0) return kNoCharacter;
    const auto* p = reinterpret_cast<const unsigned char*>(utf8);
    return decodeUtf8(p, p + size).cp;
}

std::size_t Cp932Decoder::lastCharacterLength(std::string_view text) const {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* const end = p + text.size();
    std::size_t length = 0;
    for (; p < end; p += length) length = lengthAt(p, end);
    return length;
}

// Decodes the characters that start before end; stops early at a byte that
// starts no character. Returns the count of bytes written.
std::size_t Cp932Decoder::decodeBlock(const unsigned char* in, std::size_t size, std::size_t& at, std::size_t end,
                                      char* out) const {
    char* const first = out;
    // Stores through out may alias any member: the tables are read through locals.
    const std::uint32_t* const single = single_.data();
    const std::uint32_t* const rows = row_.data();
    const std::uint32_t* const pairs = pairs_.data();
    std::size_t i = at;
#ifdef __SSE2__
    if (vectorLeads_) {
        // 32 bytes at a time, and the byte after them in case it is a trail.
        // The 33 bytes after a block may be read too.
        while (end - i > 64) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i + 16));
            const std::uint64_t high = highBytes(a, b);
            if (!high) {
                _mm_storeu_si128(reinterpret_cast<__m128i*>(out), a);
                _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16), b);
                i += 32;
                out += 32;
                continue;
            }
            const std::uint64_t lead = leadBytes(a) | leadBytes(b) << 16;
            const std::uint64_t trails = trailBytes(lead);
            // Each character from a byte above ASCII is looked up; the ASCII before it is copied in one piece.
            std::uint64_t others = high & ~trails & 0xFFFFFFFFu;
            std::size_t ascii = 0;  // where the ASCII before the next such character starts
            for (; others; others &= others - 1) {
                const auto p = static_cast<std::size_t>(std::countr_zero(others));
                copy16(out, in + i + ascii);
                if (p - ascii > 16) copy32(out, in + i + ascii);  // mostly the ASCII runs are short
                out += p - ascii;
                const unsigned char c = in[i + p];
                const std::uint32_t word = single[c] | pairs[rows[c] + in[i + p + 1]];
                if (word == 0) {  // a byte that starts no character: found again below
                    ascii = p;
                    break;
                }
                std::memcpy(out, &word, 4);
                out += lengthOf(word);
                ascii = p + 1 + (lead >> p & 1);
            }
            if (others) {
                i += ascii;
                break;
            }
            copy32(out, in + i + ascii);
            if (ascii < 32) {
                out += 32 - ascii;
                ascii = 32;
            }
            i += ascii;
        }
    }
#endif
    while (i < end) {
        const unsigned char c = in[i];
        std::uint32_t word = single[c];
        std::size_t length = 1;
        if (const std::uint32_t row = rows[c]) {
            if (i + 1 == size) break;  // cut off
            word = pairs[row + in[i + 1]];
            length = 2;
        }
        if (word == 0) break;
        std::memcpy(out, &word, 4);
        out += lengthOf(word);
        i += length;
    }
    at = i;
    return static_cast<std::size_t>(out - first);
}

}  // namespace trelmo
