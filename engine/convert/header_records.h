#pragma once
// The schema's header count: the top element's `header` attribute (any letter
// case), the number of leading CSV records that are column titles, not data.
// A conversion skips them; record numbers in its messages still count the
// file's records from 1, header records included.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "engine/xml/dom.h"

namespace trelmo {

inline constexpr std::size_t kMaxHeaderRecords = 32767;

// The count a `header` value gives: absent or empty is 0; nothing for
// anything but a whole number from 0 to kMaxHeaderRecords in decimal digits.
std::optional<std::size_t> HeaderRecordsValue(std::string_view text);
// Why a value without a count is refused, naming the value.
std::string HeaderRecordsRefusal(std::string_view text);
// HeaderRecordsValue, raising for a value without a count a run-time error
// with HeaderRecordsRefusal's message.
std::size_t ParseHeaderRecords(std::string_view text);

// The count of the schema whose top element is `top` (0 for no top element),
// with the errors of ParseHeaderRecords.
std::size_t HeaderRecordsOf(const xml::Node& top);

}  // namespace trelmo
