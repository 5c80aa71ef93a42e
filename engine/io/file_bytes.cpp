#include "engine/io/file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "engine/error.h"
#include "engine/io/file_io.h"
#include "engine/io/os_error.h"

namespace trelmo {

std::string readFileBytes(const std::string& path) {
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

    std::string bytes;
    // The size is only a hint: read until the end, whatever it turns out to be.
    std::size_t capacity = S_ISREG(info.st_mode) ? static_cast<std::size_t>(info.st_size) + 1 : 0;
    if (capacity < 65536) capacity = 65536;
    std::size_t used = 0;
    for (;;) {
        if (used == bytes.size()) bytes.resize(used == 0 ? capacity : used * 2);
        const ssize_t got = fileio::read(file.get(), bytes.data() + used, bytes.size() - used);
        if (got < 0) throw fileAccessError(path, osErrorText(errno));
        if (got == 0) break;
        used += static_cast<std::size_t>(got);
    }
    bytes.resize(used);
    if (file.reset() != 0) throw fileAccessError(path, osErrorText(errno));
    return bytes;
}

}  // namespace trelmo
