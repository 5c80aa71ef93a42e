#pragma once
// The serialised bytes of a save going into the destination file.

#include <string>

#include "engine/io/atomic_file.h"
#include "engine/xml/byte_sink.h"

namespace trelmo::xml::detail {

class FileSink final : public ByteSink {
public:
    explicit FileSink(const std::string& path) : file_(path) {}
    void write(const char* data, std::size_t size) override { file_.write(data, size); }
    // Makes the new content the destination's.
    void commit() { file_.commit(); }

private:
    fileio::AtomicFile file_;
};

}  // namespace trelmo::xml::detail
