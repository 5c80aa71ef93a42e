#include "engine/large_buffer.h"

#include <sys/mman.h>

#include <cstring>
#include <new>
#include <utility>

namespace trelmo {
namespace {

constexpr std::size_t kPage = 4096;
constexpr std::size_t kHugePage = 2 << 20;
constexpr std::size_t kReadSlack = 64;

char* mapMemory(std::size_t size) {
    void* memory = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED) throw std::bad_alloc();
    // Only a hint: without huge pages the memory is as good, only slower to fill.
    if (size >= kHugePage) ::madvise(memory, size, MADV_HUGEPAGE);
    return static_cast<char*>(memory);
}

}  // namespace

LargeBuffer::~LargeBuffer() {
    if (data_) ::munmap(data_, capacity_ + kReadSlack);
}

LargeBuffer::LargeBuffer(LargeBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), capacity_(std::exchange(other.capacity_, 0)) {}

LargeBuffer& LargeBuffer::operator=(LargeBuffer&& other) noexcept {
    if (this != &other) {
        if (data_) ::munmap(data_, capacity_ + kReadSlack);
        data_ = std::exchange(other.data_, nullptr);
        capacity_ = std::exchange(other.capacity_, 0);
    }
    return *this;
}

void LargeBuffer::reserve(std::size_t capacity) {
    if (capacity <= capacity_) return;
    if (capacity > static_cast<std::size_t>(-1) - kHugePage) throw std::bad_alloc();
    // A little more than asked, so that a vector read near the end of the
    // text never reaches past the mapping.
    const std::size_t size = (capacity + kReadSlack + kPage - 1) / kPage * kPage;
    char* memory = mapMemory(size);
    if (data_) {
        std::memcpy(memory, data_, capacity_);
        ::munmap(data_, capacity_ + kReadSlack);
    }
    data_ = memory;
    capacity_ = size - kReadSlack;
}

}  // namespace trelmo
