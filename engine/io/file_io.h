#pragma once
// The file operations of the engine's reads and saves. They all pass through
// here so that a test can make any one of them fail (failOperation), the way a
// full disk or a failing device would.

#include <sys/types.h>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace trelmo::fileio {

// As the system calls of the same names; -1 with errno set on failure.
int open(const char* path, int flags, mode_t mode = 0);
// A new file of mode 0600 in the folder open as `folder`, named `prefix`
// and six random characters (the name is left in `name`); O_CLOEXEC.
int makeTempAt(int folder, const std::string& prefix, std::string& name);
ssize_t read(int fd, void* data, std::size_t size);
ssize_t write(int fd, const void* data, std::size_t size);
int sync(int fd);
int close(int fd);  // the descriptor is released even when this fails
int renameAt(int folder, const char* from, const char* to);  // both in the folder

// Test seam: the nth operation from now on (1-based) fails with `error`
// without taking effect; 0 turns the fault off. operationCount() tells how many
// operations ran since.
void failOperation(unsigned long n, int error);
unsigned long operationCount();
// Test seam: runs `action` just before the nth operation from now on (as
// another program acting meanwhile would); an empty action turns it off.
void beforeOperation(unsigned long n, std::function<void()> action);

// An open descriptor, closed when it goes out of scope.
class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    // Takes over another descriptor, closing the one held.
    void assign(int fd) {
        reset();
        fd_ = fd;
    }
    // Closes now and returns close's result (0 when nothing was open).
    int reset() {
        const int fd = fd_;
        fd_ = -1;
        return fd >= 0 ? close(fd) : 0;
    }

private:
    int fd_;
};

// Whether a path is made of blanks only (spaces, tabs, ideographic spaces): a
// name that a typing slip gives, never meant as a file.
bool isBlankPath(std::string_view path);
// The path in brackets, so that blanks in it can be seen.
std::string bracketed(std::string_view path);

}  // namespace trelmo::fileio
