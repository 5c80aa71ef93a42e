#pragma once
// The field scan of the CSV dialect: a field that starts with a double quote
// is quoted up to the next double quote; after that, and in any other field,
// the field ends at the next comma. Nothing else is special.
//
// The one rule is walked by three scanners, each shaped by its callers:
// FieldScan, for a text that grows while the reader joins the lines of a
// record (and for records too long for masks); scanFields, for a whole record
// split into fields, from bit masks of its quotes and commas; and
// isRecordByItself, which walks only the quotes to tell whether a line needs
// the next one. They must agree on every text.

#include <algorithm>
#include <cstdint>
#include <string_view>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "engine/error.h"

namespace trelmo::csv_scan {

// Field counters are 16-bit: one more field than this is an overflow.
inline constexpr std::int32_t kMaxFields = 32767;

// Raises the overflow error once a record has more fields than a 16-bit
// counter holds; count is the number of fields found so far.
inline void checkFieldCount(std::int32_t count) {
    if (count > kMaxFields) throw overflowError();
}

// Offset of the first ch in text from pos on, or npos. Inline, sixteen bytes
// at a time: fields are short, and a library call per field costs more than
// the search.
inline std::size_t findByte(std::string_view text, std::size_t pos, char ch) {
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    const char* p = begin + pos;
#ifdef __SSE2__
    const __m128i needle = _mm_set1_epi8(ch);
    while (end - p >= 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const int mask = _mm_movemask_epi8(_mm_cmpeq_epi8(block, needle));
        if (mask != 0) return static_cast<std::size_t>(p - begin) + static_cast<unsigned>(__builtin_ctz(mask));
        p += 16;
    }
#endif
    for (; p < end; ++p) {
        if (*p == ch) return static_cast<std::size_t>(p - begin);
    }
    return std::string_view::npos;
}

// The scan of one text, which may grow at its end between calls (the reader
// joins the lines of a record): each call goes on where the last one stopped.
class FieldScan {
public:
    // Scans text up to its end; onField(field) gets each field that a comma
    // ends, quotes included.
    template <typename OnField>
    void advance(std::string_view text, OnField&& onField);

    // Fields so far counted with the last one, which runs to the end of the
    // text, minus one; -1 while the last field's quote is open.
    std::int16_t closedCount() const {
        if (state_ == State::InQuote) return -1;
        checkFieldCount(ended_ + 1);
        return static_cast<std::int16_t>(ended_);
    }

    // Ends the scan at the end of text: the last field to onField. False, and
    // nothing passed, while its quote is open.
    template <typename OnField>
    bool finish(std::string_view text, OnField&& onField) {
        if (closedCount() < 0) return false;
        onField(text.substr(start_));
        return true;
    }

private:
    enum class State : unsigned char { FieldStart, InQuote, InField };
    State state_ = State::FieldStart;
    std::size_t pos_ = 0;    // the next character to look at
    std::size_t start_ = 0;  // where the current field starts
    std::int32_t ended_ = 0;  // fields that a comma ended
};

template <typename OnField>
void FieldScan::advance(std::string_view text, OnField&& onField) {
    for (;;) {
        if (state_ == State::FieldStart) {
            if (pos_ >= text.size()) return;
            state_ = text[pos_] == '"' ? State::InQuote : State::InField;
            if (state_ == State::InQuote) ++pos_;
        }
        if (state_ == State::InQuote) {
            const std::size_t quote = findByte(text, pos_, '"');
            if (quote == std::string_view::npos) {
                pos_ = text.size();
                return;
            }
            pos_ = quote + 1;
            state_ = State::InField;
        }
        const std::size_t comma = findByte(text, pos_, ',');
        if (comma == std::string_view::npos) {
            pos_ = text.size();
            return;
        }
        checkFieldCount(++ended_);
        onField(text.substr(start_, comma - start_));
        start_ = pos_ = comma + 1;
        state_ = State::FieldStart;
    }
}

namespace detail {

inline constexpr std::size_t kMaskedLimit = 16384;  // longer texts go through FieldScan
inline constexpr std::size_t kMaskWords = kMaskedLimit / 64;

// One bit per byte of text: where its double quotes and its commas are.
inline void findQuotesAndCommas(std::string_view text, std::uint64_t* quotes, std::uint64_t* commas) {
    const std::size_t words = (text.size() + 63) / 64;
    for (std::size_t w = 0; w < words; ++w) quotes[w] = commas[w] = 0;
    for (std::size_t at = 0; at < text.size(); at += 16) {
        std::uint64_t q = 0, c = 0;
#ifdef __SSE2__
        char block[16] = {};
        const char* p = text.data() + at;
        if (text.size() - at < 16) {
            for (std::size_t k = 0; k < text.size() - at; ++k) block[k] = p[k];
            p = block;
        }
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        q = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8('"'))));
        c = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8(','))));
#else
        for (std::size_t k = 0; k < 16 && at + k < text.size(); ++k) {
            q |= static_cast<std::uint64_t>(text[at + k] == '"') << k;
            c |= static_cast<std::uint64_t>(text[at + k] == ',') << k;
        }
#endif
        quotes[at / 64] |= q << (at % 64);
        commas[at / 64] |= c << (at % 64);
    }
}

// The first set bit at from or after, below size; npos if none.
inline std::size_t nextBit(const std::uint64_t* words, std::size_t from, std::size_t size) {
    if (from >= size) return std::string_view::npos;
    std::size_t w = from / 64;
    std::uint64_t bits = words[w] & (~std::uint64_t{0} << (from % 64));
    const std::size_t last = (size - 1) / 64;
    while (bits == 0) {
        if (++w > last) return std::string_view::npos;
        bits = words[w];
    }
    return w * 64 + static_cast<std::size_t>(__builtin_ctzll(bits));
}

}  // namespace detail

// Calls onField for every field of a whole text (a record); false when its
// last field opens a quote that the text never closes. The same calls and
// errors as FieldScan, from bit masks of the quotes and commas found sixteen
// bytes at a time: a field then costs a few instructions.
template <typename OnField>
bool scanFields(std::string_view text, OnField&& onField) {
    if (text.size() > detail::kMaskedLimit) {
        FieldScan scan;
        scan.advance(text, onField);
        return scan.finish(text, onField);
    }
    std::uint64_t quotes[detail::kMaskWords];
    std::uint64_t commas[detail::kMaskWords];
    detail::findQuotesAndCommas(text, quotes, commas);
    const std::size_t size = text.size();
    const std::size_t words = (size + 63) / 64;
    const auto opensQuote = [&](std::size_t at) { return at < size && ((quotes[at / 64] >> (at % 64)) & 1) != 0; };
    // The commas from `from` on, a word of the mask at a time; a field that
    // starts with a quote skips the commas up to its next quote.
    std::size_t word = 0;
    std::uint64_t bits = 0;
    const auto commasFrom = [&](std::size_t from) {
        word = from / 64;
        bits = word < words ? commas[word] & (~std::uint64_t{0} << (from % 64)) : 0;
    };
    std::int32_t ended = 0;
    std::size_t start = 0;
    if (opensQuote(0)) {
        const std::size_t quote = detail::nextBit(quotes, 1, size);
        if (quote == std::string_view::npos) return false;
        commasFrom(quote + 1);
    } else {
        commasFrom(0);
    }
    for (;;) {
        while (bits == 0 && ++word < words) bits = commas[word];
        if (bits == 0) break;
        const std::size_t comma = word * 64 + static_cast<std::size_t>(__builtin_ctzll(bits));
        bits &= bits - 1;
        checkFieldCount(++ended);
        onField(text.substr(start, comma - start));
        start = comma + 1;
        if (opensQuote(start)) {
            const std::size_t quote = detail::nextBit(quotes, start + 1, size);
            if (quote == std::string_view::npos) return false;
            commasFrom(quote + 1);
        }
    }
    checkFieldCount(ended + 1);
    onField(text.substr(start));
    return true;
}

// Whether a whole text is a record by itself: scanFields finds two fields or
// more in it and no quote left open; the same overflow error. Only the
// quotes are walked: a comma outside the quoted parts ends a field.
inline bool isRecordByItself(std::string_view text) {
    if (text.size() > detail::kMaskedLimit) {
        std::int32_t fields = 0;
        return scanFields(text, [&fields](std::string_view) { ++fields; }) && fields >= 2;
    }
    // A text this short cannot hold too many fields.
    static_assert(detail::kMaskedLimit < kMaxFields);
    std::uint64_t quotes[detail::kMaskWords];
    std::uint64_t commas[detail::kMaskWords];
    detail::findQuotesAndCommas(text, quotes, commas);
    const std::size_t size = text.size();
    bool separated = false;  // a comma outside the quoted parts so far
    std::size_t outside = 0;  // where the text after the last quoted part starts
    for (std::size_t from = 0;;) {
        const std::size_t quote = detail::nextBit(quotes, from, size);
        if (quote == std::string_view::npos) break;
        from = quote + 1;
        if (quote != 0 && text[quote - 1] != ',') continue;  // inside a field: an ordinary character
        if (!separated) separated = detail::nextBit(commas, outside, size) < quote;
        const std::size_t close = detail::nextBit(quotes, quote + 1, size);
        if (close == std::string_view::npos) return false;
        outside = from = close + 1;
    }
    return separated || detail::nextBit(commas, outside, size) != std::string_view::npos;
}

// Highest field index, or -1 when a field opens a quote that is not closed.
inline std::int16_t closedFieldCount(std::string_view text) {
    FieldScan scan;
    scan.advance(text, [](std::string_view) {});
    return scan.closedCount();
}

}  // namespace trelmo::csv_scan
