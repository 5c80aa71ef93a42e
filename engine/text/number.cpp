#include "engine/text/number.h"

#include "engine/error.h"

namespace trelmo {
namespace {

constexpr std::string_view kIdeographicSpace = "\xE3\x80\x80";  // U+3000

std::string_view trimBlanks(std::string_view text) {
    for (;;) {
        if (text.starts_with(' ') || text.starts_with('\t')) {
            text.remove_prefix(1);
        } else if (text.starts_with(kIdeographicSpace)) {
            text.remove_prefix(kIdeographicSpace.size());
        } else if (text.ends_with(' ') || text.ends_with('\t')) {
            text.remove_suffix(1);
        } else if (text.ends_with(kIdeographicSpace)) {
            text.remove_suffix(kIdeographicSpace.size());
        } else {
            return text;
        }
    }
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view takeDigits(std::string_view& text) {
    std::size_t n = 0;
    while (n < text.size() && isDigit(text[n])) ++n;
    const std::string_view digits = text.substr(0, n);
    text.remove_prefix(n);
    return digits;
}

}  // namespace

Int16Result parseInt16(std::string_view text) {
    text = trimBlanks(text);
    bool negative = false;
    if (text.starts_with('+') || text.starts_with('-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    std::string_view whole = takeDigits(text);
    std::string_view fraction;
    if (text.starts_with('.')) {
        text.remove_prefix(1);
        fraction = takeDigits(text);
    }
    if (!text.empty() || (whole.empty() && fraction.empty())) return {NumberStatus::NotANumber, 0};

    // The whole part, exactly; anything with more than six digits is out of
    // range however it is rounded.
    while (whole.starts_with('0')) whole.remove_prefix(1);
    if (whole.size() > 6) return {NumberStatus::OutOfRange, 0};
    std::int32_t magnitude = 0;
    for (char c : whole) magnitude = magnitude * 10 + (c - '0');

    // Round to nearest on the digits themselves, an exact half to even.
    if (!fraction.empty()) {
        const char first = fraction.front();
        const bool restZero = fraction.substr(1).find_first_not_of('0') == std::string_view::npos;
        const bool up = first > '5' || (first == '5' && (!restZero || magnitude % 2 == 1));
        if (up) ++magnitude;
    }
    const std::int32_t value = negative ? -magnitude : magnitude;
    if (value < -32768 || value > 32767) return {NumberStatus::OutOfRange, 0};
    return {NumberStatus::Ok, static_cast<std::int16_t>(value)};
}

std::int16_t toInt16(std::string_view text) {
    const Int16Result result = parseInt16(text);
    if (result.status == NumberStatus::NotANumber) throw typeMismatchError();
    if (result.status == NumberStatus::OutOfRange) throw overflowError();
    return result.value;
}

}  // namespace trelmo
