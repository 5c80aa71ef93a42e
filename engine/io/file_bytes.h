#pragma once
// Reading a whole file into memory.

#include <cstddef>
#include <string>
#include <string_view>

#include "engine/large_buffer.h"

namespace trelmo {

// Bounds on a file read whole, checked while it is read, so that an endless
// stream or a huge file is refused before memory runs out.
struct ReadBounds {
    std::size_t mostBytes = static_cast<std::size_t>(-1);
    std::size_t mostLineBytes = static_cast<std::size_t>(-1);  // between two CR or LF
};

// The file's bytes. A missing file raises the file-not-found error; a folder
// or a file that cannot be opened or read raises the file-access error.
std::string readFileBytes(const std::string& path);

// The file's bytes, held for a reader that works on them in place. A file is
// read, never mapped: a file cut short by another program while it is mapped
// would end the process with SIGBUS instead of giving an error.
class FileBytes {
public:
    // Past a bound, raises the file-access error saying which.
    FileBytes(const std::string& path, const ReadBounds& bounds);

    std::string_view view() const { return {buffer_.data(), size_}; }

private:
    LargeBuffer buffer_;
    std::size_t size_;
};

}  // namespace trelmo
