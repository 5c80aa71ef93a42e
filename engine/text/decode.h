#pragma once
// The characters of a text file. A file that is valid UTF-8 is read as UTF-8
// (a BOM is dropped); any other as code page 932, the ANSI code page of
// Japanese systems. The result is UTF-8.

#include <string>
#include <string_view>

#include "engine/large_buffer.h"

namespace trelmo {

// Raises err::BadFileData naming the file and the line when the bytes are not
// valid in the encoding they are read in; nothing is returned then.
std::string decodeFileText(std::string bytes, const std::string& path);

// The same without a copy of UTF-8 text: the result is a view into bytes, or
// into storage when the bytes had to be decoded.
std::string_view decodeFileText(std::string_view bytes, LargeBuffer& storage, const std::string& path);

}  // namespace trelmo
