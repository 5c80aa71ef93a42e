#include "engine/io/bounded_read.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdint>

#include "engine/io/file_io.h"
#include "engine/io/os_error.h"

namespace trelmo {

std::optional<std::string> readBoundedFile(const std::string& path, std::string& bytes, std::size_t largest,
                                           const char* what) {
    const std::string tooLarge =
        std::string("大きすぎます。") + what + "は " + std::to_string(largest >> 20) + " MiB までです。";
    fileio::Fd fd(fileio::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY));
    struct stat info {};
    if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0) return osErrorText(errno);
    if (!S_ISREG(info.st_mode)) return std::string("通常のファイルではありません。");
    if (static_cast<std::uintmax_t>(info.st_size) > largest) return tooLarge;
    // One byte more than the file had, to see its end; a file that grew goes on to the bound.
    bytes.resize(static_cast<std::size_t>(info.st_size) + 1);
    std::size_t used = 0;
    for (;;) {
        if (used == bytes.size()) {
            if (used > largest) return tooLarge;
            bytes.resize(largest + 1);
        }
        const ssize_t got = fileio::read(fd.get(), bytes.data() + used, bytes.size() - used);
        if (got < 0) return osErrorText(errno);
        if (got == 0) break;
        used += static_cast<std::size_t>(got);
    }
    bytes.resize(used);
    return std::nullopt;
}

}  // namespace trelmo
