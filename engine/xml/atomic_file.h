#pragma once
// The destination of a save. An existing regular file, or a new one, is
// replaced only when every byte of the new content was written: the bytes go
// to a temporary file in the same folder, which is synced and then renamed
// over the destination; on any failure or on SIGINT, SIGTERM or SIGHUP the
// destination is untouched and the temporary file removed. A regular file is
// replaced only when the user may open it for writing, and keeps its mode and,
// where the user may set them, its owner and group. An existing character
// device or FIFO (a null device, /dev/stdout, a named pipe) is written in
// place and stays what it was. Folders, block devices and sockets are refused.

#include <sys/stat.h>

#include <string>

#include "engine/io/file_io.h"
#include "engine/xml/byte_sink.h"

namespace trelmo::xml::detail {

class AtomicFile : public ByteSink {
public:
    // Throws RuntimeError (err::XmlSave) naming the file and the reason.
    explicit AtomicFile(const std::string& path);
    ~AtomicFile() override;
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    void write(const char* data, std::size_t size) override;
    // Makes the new content the destination's.
    void commit();

private:
    void openInPlace();
    void openTemporary(const struct stat* existing);
    [[noreturn]] void fail(int error) const;
    [[noreturn]] void fail(const std::string& reason) const;

    std::string path_;    // as given, for messages
    std::string target_;  // the file to replace (a symbolic link followed)
    std::string temp_;
    fileio::Fd fd_;
    std::size_t synced_ = 0;    // bytes handed to the disk so far
    std::size_t unsynced_ = 0;  // bytes written after them
    bool committed_ = false;
};

}  // namespace trelmo::xml::detail
