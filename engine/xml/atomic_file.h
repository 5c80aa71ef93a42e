#pragma once
// Replaces a file only when every byte of the new content was written: the
// bytes go to a temporary file in the same folder, which is synced and then
// renamed over the destination. On any failure the destination is untouched
// and the temporary file removed.

#include <string>

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
    [[noreturn]] void fail(int error) const;

    std::string path_;    // as given, for messages
    std::string target_;  // the file to replace (a symbolic link followed)
    std::string temp_;
    int fd_ = -1;
    std::size_t synced_ = 0;    // bytes handed to the disk so far
    std::size_t unsynced_ = 0;  // bytes written after them
    bool committed_ = false;
};

}  // namespace trelmo::xml::detail
