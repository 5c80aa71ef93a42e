#include "engine/file_bytes.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "engine/error.h"

namespace trelmo {
namespace {

// Closes a descriptor on every path.
struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
};

std::string reasonOf(int error) {
    if (error == EACCES || error == EPERM) return "アクセスが拒否されました";
    if (error == EISDIR) return "フォルダーです";
    return std::strerror(error);
}

// Opens the file for reading with the file errors; info gets its status.
int openForReading(const std::string& path, struct stat& info) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR) throw fileNotFoundError(path);
        throw fileAccessError(path, reasonOf(error));
    }
    Descriptor guard{fd};
    if (::fstat(fd, &info) != 0) throw fileAccessError(path, reasonOf(errno));
    if (S_ISDIR(info.st_mode)) throw fileAccessError(path, reasonOf(EISDIR));
    guard.fd = -1;
    return fd;
}

// Everything left to read from an open file.
std::string readAll(const std::string& path, int fd, const struct stat& info) {
    std::string bytes;
    // The size is only a hint: read until the end, whatever it turns out to be.
    std::size_t capacity = S_ISREG(info.st_mode) ? static_cast<std::size_t>(info.st_size) + 1 : 0;
    if (capacity < 65536) capacity = 65536;
    std::size_t used = 0;
    for (;;) {
        if (used == bytes.size()) bytes.resize(used == 0 ? capacity : used * 2);
        const ssize_t got = ::read(fd, bytes.data() + used, bytes.size() - used);
        if (got < 0) {
            if (errno == EINTR) continue;
            throw fileAccessError(path, reasonOf(errno));
        }
        if (got == 0) break;
        used += static_cast<std::size_t>(got);
    }
    bytes.resize(used);
    return bytes;
}

}  // namespace

std::string readFileBytes(const std::string& path) {
    struct stat info {};
    const Descriptor file{openForReading(path, info)};
    return readAll(path, file.fd, info);
}

FileBytes::FileBytes(const std::string& path) {
    struct stat info {};
    const Descriptor file{openForReading(path, info)};
    if (S_ISREG(info.st_mode) && info.st_size > 0) {
        // Mapped with every page at once: one call instead of a fault per page.
        void* map = ::mmap(nullptr, static_cast<std::size_t>(info.st_size), PROT_READ, MAP_PRIVATE | MAP_POPULATE,
                           file.fd, 0);
        if (map != MAP_FAILED) {
            map_ = map;
            size_ = static_cast<std::size_t>(info.st_size);
            return;
        }
    }
    read_ = readAll(path, file.fd, info);
}

FileBytes::~FileBytes() {
    if (map_) ::munmap(map_, size_);
}

}  // namespace trelmo
