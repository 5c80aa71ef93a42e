#include "engine/io/file_io.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <random>

namespace trelmo::fileio {
namespace {

unsigned long failAt = 0;
int failError = 0;
unsigned long count = 0;
unsigned long actionAt = 0;
std::function<void()> action;

// Counts an operation; true when it is the one that must fail.
bool injected() {
    ++count;
    if (actionAt != 0 && count == actionAt && action) action();
    if (failAt == 0 || count != failAt) return false;
    errno = failError;
    return true;
}

}  // namespace

void failOperation(unsigned long n, int error) {
    failAt = n;
    failError = error;
    count = 0;
}

unsigned long operationCount() { return count; }

void beforeOperation(unsigned long n, std::function<void()> run) {
    actionAt = n;
    action = std::move(run);
    count = 0;
}

int open(const char* path, int flags, mode_t mode) {
    if (injected()) return -1;
    int fd;
    do {
        fd = ::open(path, flags | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

int makeTempAt(int folder, const std::string& prefix, std::string& name) {
    if (injected()) return -1;
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = prefix;
        for (int i = 0; i < 6; ++i) name += kLetters[random() % (sizeof kLetters - 1)];
        const int fd = ::openat(folder, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0600);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

ssize_t read(int fd, void* data, std::size_t size) {
    if (injected()) return -1;
    ssize_t got;
    do {
        got = ::read(fd, data, size);
    } while (got < 0 && errno == EINTR);
    return got;
}

ssize_t write(int fd, const void* data, std::size_t size) {
    if (injected()) return -1;
    ssize_t done;
    do {
        done = ::write(fd, data, size);
    } while (done < 0 && errno == EINTR);
    return done;
}

int sync(int fd) {
    if (injected()) return -1;
    return ::fsync(fd);
}

int close(int fd) {
    const bool fail = injected();
    const int saved = errno;
    const int result = ::close(fd);
    if (fail) {
        errno = saved;
        return -1;
    }
    return result;
}

int renameAt(int folder, const char* from, const char* to) {
    if (injected()) return -1;
    return ::renameat(folder, from, folder, to);
}

bool isBlankPath(std::string_view path) {
    if (path.empty()) return false;
    std::size_t i = 0;
    while (i < path.size()) {
        if (path[i] == ' ' || path[i] == '\t') {
            ++i;
        } else if (path.substr(i, 3) == "\xE3\x80\x80") {  // U+3000
            i += 3;
        } else {
            return false;
        }
    }
    return true;
}

std::string bracketed(std::string_view path) { return "「" + std::string(path) + "」"; }

}  // namespace trelmo::fileio
