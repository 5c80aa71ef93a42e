#include "engine/large_buffer.h"

#include <sys/mman.h>

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
    if (data_) {
        // Moved by the system, not copied: the old and the new size are
        // never both held, which matters for a file read up to a bound.
        void* moved = ::mremap(data_, capacity_ + kReadSlack, size, MREMAP_MAYMOVE);
        if (moved == MAP_FAILED) throw std::bad_alloc();
        data_ = static_cast<char*>(moved);
        if (size >= kHugePage) ::madvise(data_, size, MADV_HUGEPAGE);
    } else {
        data_ = mapMemory(size);
    }
    capacity_ = size - kReadSlack;
}

}  // namespace trelmo
