#pragma once
// Memory for large texts, mapped on its own and asked for in huge pages where
// the system has them: filling it then takes one page fault every 2 MB rather
// than every 4 KB, which is most of the cost of reading a large file.

#include <cstddef>

namespace trelmo {

class LargeBuffer {
public:
    LargeBuffer() = default;
    ~LargeBuffer();
    LargeBuffer(LargeBuffer&& other) noexcept;
    LargeBuffer& operator=(LargeBuffer&& other) noexcept;
    LargeBuffer(const LargeBuffer&) = delete;
    LargeBuffer& operator=(const LargeBuffer&) = delete;

    char* data() const { return data_; }
    // Bytes that may be used; a few more are mapped after them, so that a
    // vector read near the end stays inside.
    std::size_t capacity() const { return capacity_; }
    // At least `capacity` bytes, the bytes held kept. Throws std::bad_alloc.
    void reserve(std::size_t capacity);

private:
    char* data_ = nullptr;
    std::size_t capacity_ = 0;
};

}  // namespace trelmo
