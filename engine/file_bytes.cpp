#include "engine/file_bytes.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "engine/error.h"

namespace trelmo {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

std::string reasonOf(int error) {
    if (error == EACCES || error == EPERM) return "アクセスが拒否されました";
    if (error == EISDIR) return "フォルダーです";
    return std::strerror(error);
}

}  // namespace

std::string readFileBytes(const std::string& path) {
    FilePtr file(std::fopen(path.c_str(), "rbe"));
    if (!file) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR) throw fileNotFoundError(path);
        throw fileAccessError(path, reasonOf(error));
    }
    struct stat info {};
    if (fstat(fileno(file.get()), &info) != 0) throw fileAccessError(path, reasonOf(errno));
    if (S_ISDIR(info.st_mode)) throw fileAccessError(path, reasonOf(EISDIR));

    std::string bytes;
    // The size is only a hint: read until the end, whatever it turns out to be.
    std::size_t capacity = S_ISREG(info.st_mode) ? static_cast<std::size_t>(info.st_size) + 1 : 0;
    if (capacity < 65536) capacity = 65536;
    std::size_t used = 0;
    for (;;) {
        if (used == bytes.size()) bytes.resize(used == 0 ? capacity : used * 2);
        const std::size_t got = std::fread(bytes.data() + used, 1, bytes.size() - used, file.get());
        used += got;
        if (got == 0) {
            if (std::ferror(file.get())) throw fileAccessError(path, reasonOf(errno));
            break;
        }
    }
    bytes.resize(used);
    return bytes;
}

}  // namespace trelmo
