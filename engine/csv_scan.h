#pragma once
// The field scan of the CSV dialect. A field that starts with a double quote
// is quoted up to the next double quote; after that, and in any other field,
// the field ends at the next comma. Nothing else is special.

#include <cstdint>
#include <string_view>

namespace trelmo::csv_scan {

// Field counters are 16-bit: one more field than this is an overflow.
inline constexpr std::int32_t kMaxFields = 32767;

enum class Step { Field, End, OpenQuote };

// Walks the fields of one record, quotes included.
class FieldCursor {
public:
    explicit FieldCursor(std::string_view text) : text_(text) {}

    // Field: the next field is in field. End: there is none. OpenQuote: the
    // next field opens a quote that the text never closes.
    Step next(std::string_view& field);

private:
    std::string_view text_;
    std::size_t pos_ = 0;
    bool done_ = false;
};

// Raises the overflow error once a record has more fields than a 16-bit
// counter holds; count is the number of fields found so far.
void checkFieldCount(std::int32_t count);

// Highest field index, or -1 when a field opens a quote that is not closed.
std::int16_t closedFieldCount(std::string_view text);

// closedFieldCount of a text that grows piece by piece, in time linear in the
// whole text: the scan's state is kept between the pieces.
class ClosedFieldCounter {
public:
    void append(std::string_view piece);
    std::int16_t closedCount() const;
    void reset() { *this = ClosedFieldCounter(); }

private:
    enum class State : unsigned char { FieldStart, InQuote, InField };
    State state_ = State::FieldStart;
    std::int32_t separators_ = 0;
};

}  // namespace trelmo::csv_scan
