#include "engine/io/file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "engine/error.h"
#include "engine/io/file_io.h"
#include "engine/io/os_error.h"

namespace trelmo {

namespace {

// Reads the whole file into a buffer that reserve(n) makes at least n bytes
// long, returning where it is; returns the number of bytes read.
template <typename Reserve>
std::size_t readWhole(const std::string& path, Reserve reserve) {
    if (fileio::isBlankPath(path)) throw blankPathError(path);
    fileio::Fd file(fileio::open(path.c_str(), O_RDONLY));
    if (file.get() < 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR) throw fileNotFoundError(path);
        throw fileAccessError(path, osErrorText(error));
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) throw fileAccessError(path, osErrorText(errno));
    if (S_ISDIR(info.st_mode)) throw fileAccessError(path, osErrorText(EISDIR));

    // The size is only a hint: read until the end, whatever it turns out to be.
    std::size_t capacity = S_ISREG(info.st_mode) ? static_cast<std::size_t>(info.st_size) + 1 : 0;
    if (capacity < 65536) capacity = 65536;
    std::size_t used = 0;
    char* data = reserve(capacity);
    for (;;) {
        if (used == capacity) {
            capacity *= 2;
            data = reserve(capacity);
        }
        const ssize_t got = fileio::read(file.get(), data + used, capacity - used);
        if (got < 0) throw fileAccessError(path, osErrorText(errno));
        if (got == 0) break;
        used += static_cast<std::size_t>(got);
    }
    // Cut short by another program while it was read: its last record would be cut too.
    if (S_ISREG(info.st_mode) && used < static_cast<std::size_t>(info.st_size)) {
        throw fileAccessError(path, kChangedWhileRead);
    }
    if (file.reset() != 0) throw fileAccessError(path, osErrorText(errno));
    return used;
}

}  // namespace

std::string readFileBytes(const std::string& path) {
    std::string bytes;
    bytes.resize(readWhole(path, [&bytes](std::size_t capacity) {
        bytes.resize(capacity);
        return bytes.data();
    }));
    return bytes;
}

FileBytes::FileBytes(const std::string& path)
    : size_(readWhole(path, [this](std::size_t capacity) {
          buffer_.reserve(capacity);
          return buffer_.data();
      })) {}

}  // namespace trelmo
