#pragma once
// Reading a whole file into memory.

#include <cstddef>
#include <string>
#include <string_view>

namespace trelmo {

// The file's bytes. A missing file raises the file-not-found error; a folder
// or a file that cannot be opened or read raises the file-access error.
std::string readFileBytes(const std::string& path);

// The same bytes without a copy where possible: a regular file is mapped
// (its pages are the system's file cache, nothing is zeroed or copied), any
// other file is read. Errors as readFileBytes.
class FileBytes {
public:
    explicit FileBytes(const std::string& path);
    ~FileBytes();
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;

    std::string_view view() const { return map_ ? std::string_view(static_cast<const char*>(map_), size_) : read_; }

private:
    void* map_ = nullptr;
    std::size_t size_ = 0;
    std::string read_;
};

}  // namespace trelmo
