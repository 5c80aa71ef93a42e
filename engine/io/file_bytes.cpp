#include "engine/io/file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

#include "engine/error.h"
#include "engine/io/file_io.h"
#include "engine/io/os_error.h"

namespace trelmo {

namespace {

std::string tooLarge(const ReadBounds& bounds) {
    return "ファイルが大きすぎます (上限は " + withThousands(bounds.mostBytes) + " バイトです)。";
}

std::string lineTooLong(const ReadBounds& bounds) {
    return "長すぎる行があります (1 行の上限は " + withThousands(bounds.mostLineBytes) + " バイトです)。";
}

// Where the line that the last bytes of data[0, used) belong to starts,
// looking back no further than from.
std::size_t lineStart(const char* data, std::size_t from, std::size_t used, std::size_t start) {
    for (std::size_t at = used; at > from; --at) {
        if (data[at - 1] == '\r' || data[at - 1] == '\n') return at;
    }
    return start;
}

// Whether a regular file was cut short by another program while it was read,
// once read to its end: it is smaller than when it was opened, or holds more
// than was read though its size changed. Its size alone is no measure: some
// files (those of /sys) hold fewer bytes than their size says.
bool cutShort(const struct stat& opened, const struct stat& now, std::size_t used) {
    return now.st_size < opened.st_size || (now.st_size != opened.st_size && used < static_cast<std::size_t>(now.st_size));
}

// Reads the whole file into a buffer that reserve(n) makes at least n bytes
// long, returning where it is; returns the number of bytes read.
template <typename Reserve>
std::size_t readWhole(const std::string& path, const ReadBounds& bounds, Reserve reserve) {
    if (fileio::isBlankPath(path)) throw blankPathError(path);
    fileio::Fd file(fileio::open(path.c_str(), O_RDONLY));
    if (file.get() < 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR) throw fileNotFoundError(path);
        throw fileAccessError(path, pathErrorText(path, error));
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) throw fileAccessError(path, osErrorText(errno));
    if (S_ISDIR(info.st_mode)) throw fileAccessError(path, osErrorText(EISDIR));
    const bool regular = S_ISREG(info.st_mode);
    if (regular && static_cast<std::size_t>(info.st_size) > bounds.mostBytes) {
        throw fileAccessError(path, tooLarge(bounds));
    }

    // The size is only a hint: read until the end, whatever it turns out to
    // be, and never more than one byte past the bound.
    const std::size_t most = bounds.mostBytes == static_cast<std::size_t>(-1) ? bounds.mostBytes : bounds.mostBytes + 1;
    std::size_t capacity = regular ? static_cast<std::size_t>(info.st_size) + 1 : 0;
    capacity = std::min(std::max<std::size_t>(capacity, 65536), most);
    std::size_t used = 0;
    std::size_t line = 0;  // where the last line read starts
    char* data = reserve(capacity);
    for (;;) {
        if (used == capacity) {
            if (capacity == most) throw fileAccessError(path, tooLarge(bounds));
            capacity = capacity > most / 2 ? most : capacity * 2;
            data = reserve(capacity);
        }
        // A step at a time, so that a bound is met at most a step past it.
        constexpr std::size_t kStep = 16 << 20;
        const ssize_t got = fileio::read(file.get(), data + used, std::min(capacity - used, kStep));
        if (got < 0) throw fileAccessError(path, osErrorText(errno));
        if (got == 0) break;
        line = lineStart(data, used, used + static_cast<std::size_t>(got), line);
        used += static_cast<std::size_t>(got);
        if (used - line > bounds.mostLineBytes) throw fileAccessError(path, lineTooLong(bounds));
    }
    // A file cut short while read would have its last record cut too.
    struct stat after {};
    if (regular && (::fstat(file.get(), &after) != 0 || cutShort(info, after, used))) {
        throw fileAccessError(path, kChangedWhileRead);
    }
    if (file.reset() != 0) throw fileAccessError(path, osErrorText(errno));
    return used;
}

}  // namespace

std::string readFileBytes(const std::string& path) {
    std::string bytes;
    bytes.resize(readWhole(path, {}, [&bytes](std::size_t capacity) {
        bytes.resize(capacity);
        return bytes.data();
    }));
    return bytes;
}

FileBytes::FileBytes(const std::string& path, const ReadBounds& bounds)
    : size_(readWhole(path, bounds, [this](std::size_t capacity) {
          buffer_.reserve(capacity);
          return buffer_.data();
      })) {}

}  // namespace trelmo
