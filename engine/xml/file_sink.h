#pragma once
// The serialised bytes of a save going into the destination file.

#include <string>

#include "engine/io/atomic_file.h"
#include "engine/xml/byte_sink.h"

namespace trelmo::xml::detail {

class FileSink final : public ByteSink {
public:
    // `copy`, when given, gets every byte too, after the file.
    explicit FileSink(const std::string& path, ByteSink* copy = nullptr) : file_(path), copy_(copy) {}
    void write(const char* data, std::size_t size) override {
        file_.write(data, size);
        if (copy_) copy_->write(data, size);
    }
    // Makes the new content the destination's.
    void commit() { file_.commit(); }

private:
    fileio::AtomicFile file_;
    ByteSink* copy_;
};

}  // namespace trelmo::xml::detail
