#include "engine/csv_scan.h"

#include "engine/error.h"

namespace trelmo::csv_scan {

Step FieldCursor::next(std::string_view& field) {
    if (done_) return Step::End;
    const std::size_t start = pos_;
    std::size_t commaSearch = start;
    if (start < text_.size() && text_[start] == '"') {
        commaSearch = text_.find('"', start + 1);
        if (commaSearch == std::string_view::npos) {
            done_ = true;
            return Step::OpenQuote;
        }
    }
    const std::size_t comma = text_.find(',', commaSearch);
    if (comma == std::string_view::npos) {
        field = text_.substr(start);
        done_ = true;
    } else {
        field = text_.substr(start, comma - start);
        pos_ = comma + 1;
    }
    return Step::Field;
}

void checkFieldCount(std::int32_t count) {
    if (count > kMaxFields) throw overflowError();
}

std::int16_t closedFieldCount(std::string_view text) {
    FieldCursor cursor(text);
    std::string_view field;
    std::int32_t count = 0;
    for (;;) {
        switch (cursor.next(field)) {
        case Step::Field:
            checkFieldCount(++count);
            break;
        case Step::End:
            return static_cast<std::int16_t>(count - 1);
        case Step::OpenQuote:
            return -1;
        }
    }
}

void ClosedFieldCounter::append(std::string_view piece) {
    std::size_t i = 0;
    while (i < piece.size()) {
        switch (state_) {
        case State::FieldStart:
            if (piece[i] == '"') {
                state_ = State::InQuote;
                ++i;
            } else {
                state_ = State::InField;
            }
            break;
        case State::InQuote: {
            const std::size_t quote = piece.find('"', i);
            if (quote == std::string_view::npos) return;
            state_ = State::InField;
            i = quote + 1;
            break;
        }
        case State::InField: {
            const std::size_t comma = piece.find(',', i);
            if (comma == std::string_view::npos) return;
            checkFieldCount(++separators_);
            state_ = State::FieldStart;
            i = comma + 1;
            break;
        }
        }
    }
}

std::int16_t ClosedFieldCounter::closedCount() const {
    if (state_ == State::InQuote) return -1;
    checkFieldCount(separators_ + 1);  // the last field, up to the end
    return static_cast<std::int16_t>(separators_);
}

}  // namespace trelmo::csv_scan
