#pragma once
// The destination of a save. An existing regular file, or a new one, is
// replaced only when every byte of the new content was written: the bytes go
// to a temporary file in the same folder (made and renamed through the
// folder's descriptor, so a path as long as the system allows will do), which
// is synced and then renamed over the destination; on any failure or deadly
// signal (temp_cleanup.h) the destination is untouched and the temporary file
// removed. A regular file is replaced only when the user may open it for
// writing, and keeps its mode and, where the user may set them, its owner and
// group. A path that names one of the process's own descriptors (/dev/stdout,
// /dev/fd/N, /proc/self/fd/N) is written into that descriptor in place, as it
// was opened (appending when it appends). An existing character device or FIFO
// (a null device, a terminal, a named pipe) is written in place and stays what
// it was. Folders, block devices and sockets are refused.

#include <sys/stat.h>

#include <cstddef>
#include <string>

#include "engine/io/file_io.h"

namespace trelmo::fileio {

class AtomicFile {
public:
    // Throws RuntimeError (err::XmlSave) naming the file and the reason.
    explicit AtomicFile(const std::string& path);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Throws RuntimeError (err::XmlSave) when the bytes cannot be written.
    void write(const char* data, std::size_t size);
    // Makes the new content the destination's.
    void commit();

private:
    bool openDescriptor();
    void openInPlace();
    void openTemporary(const struct stat* existing);
    [[noreturn]] void fail(int error) const;
    [[noreturn]] void fail(const std::string& reason) const;

    std::string path_;    // as given, for messages
    std::string target_;  // the file to replace (a symbolic link followed)
    Fd folder_;           // the target's folder, while a temporary file is used
    std::string temp_;    // the temporary file's name in it
    Fd fd_;
    std::size_t synced_ = 0;    // bytes handed to the disk so far
    std::size_t unsynced_ = 0;  // bytes written after them
    bool committed_ = false;
};

// Whether `output` is the same file as `input` (device and inode, symbolic
// links followed), so that saving to it would overwrite what is read. A
// character device (a terminal, a null device) may be both.
bool overwritesInput(const std::string& output, const std::string& input);

}  // namespace trelmo::fileio
