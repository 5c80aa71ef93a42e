#pragma once
// Where serialised bytes go: a file being saved or a string in memory.

#include <cstddef>
#include <string>

namespace trelmo::xml::detail {

class ByteSink {
public:
    virtual ~ByteSink() = default;
    // Throws RuntimeError when the bytes cannot be written.
    virtual void write(const char* data, std::size_t size) = 0;
};

class StringSink : public ByteSink {
public:
    void write(const char* data, std::size_t size) override { bytes.append(data, size); }
    std::string bytes;
};

}  // namespace trelmo::xml::detail
