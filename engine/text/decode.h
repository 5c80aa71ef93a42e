#pragma once
// The characters of a text file. A file that is valid UTF-8 is read as UTF-8
// (a BOM is dropped); any other as code page 932, the ANSI code page of
// Japanese systems. The result is UTF-8.

#include <string>
#include <array>
#include <string_view>
#include <vector>

#include "engine/large_buffer.h"

namespace trelmo {

// Raises err::BadFileData naming the file and the line when the bytes are not
// valid in the encoding they are read in; nothing is returned then.
std::string decodeFileText(std::string bytes, const std::string& path);

// What becomes of a code page 932 file: decoded to UTF-8, or kept as it is
// once checked, for a writer of the same code page.
enum class Cp932Text { Decoded, Kept };

struct FileText {
    std::vector<std::string_view> pieces;
    bool cp932 = false;  // the pieces are the file's own code page 932 bytes
};

// The same without a copy of UTF-8 text, in pieces that hold whole lines:
// views into bytes, or into storage when the bytes had to be decoded. A large
// file is cut in two near its middle, and a code page 932 file then decoded
// (or checked) a piece a thread; the error is the one a whole decoding would
// raise.
FileText decodeFileTextInPieces(std::string_view bytes, std::array<LargeBuffer, 2>& storage, const std::string& path,
                                Cp932Text cp932 = Cp932Text::Decoded);

}  // namespace trelmo
