#pragma once
// The offending source line of a parse error, as UTF-8 for a message.

#include <string>
#include <string_view>

namespace trelmo::xml::detail {

// Line `line` (from 1) of a file's bytes, decoded with the file's encoding.
// A very long line is cut to a window around `column`, marked with "…".
std::string sourceLine(std::string_view bytes, long line, long column);

}  // namespace trelmo::xml::detail
