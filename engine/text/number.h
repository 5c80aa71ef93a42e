#pragma once
// The text-to-number conversion used for data sources: decimal digits with an
// optional sign and surrounding blanks; a fraction is rounded to the nearest
// integer, an exact half to the even neighbour.

#include <cstdint>
#include <optional>
#include <string_view>

namespace trelmo {

enum class NumberStatus { Ok, NotANumber, OutOfRange };

struct Int16Result {
    NumberStatus status = NumberStatus::NotANumber;
    std::int16_t value = 0;
};

Int16Result parseInt16(std::string_view text);

// As parseInt16, raising the type-mismatch or overflow run-time error.
std::int16_t toInt16(std::string_view text);

}  // namespace trelmo
