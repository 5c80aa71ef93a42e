#pragma once
// An iconv conversion descriptor that closes itself.

#include <iconv.h>

#include <memory>
#include <type_traits>

namespace trelmo {

struct IconvCloser {
    void operator()(void* cd) const noexcept { iconv_close(static_cast<iconv_t>(cd)); }
};

using IconvHandle = std::unique_ptr<std::remove_pointer_t<iconv_t>, IconvCloser>;

// Empty when the system cannot convert between the two encodings.
inline IconvHandle openIconv(const char* to, const char* from) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return IconvHandle();
    return IconvHandle(cd);
}

}  // namespace trelmo
