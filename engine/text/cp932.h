#pragma once
// Code page 932 to UTF-8 through a table taken once from the system's
// converter (iconv), so the result and the place of an error are iconv's own,
// at the speed of a table lookup.

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace trelmo {

class Cp932Decoder {
public:
    // The shared table, built on first use; null when iconv has no CP932.
    static const Cp932Decoder* instance();

    // Appends the UTF-8 text of bytes to out. Returns the offset of the first
    // byte that starts no character (also a lead byte cut off at the end), or
    // npos when every byte was decoded.
    std::size_t decode(std::string_view bytes, std::string& out) const;

private:
    struct Entry {
        unsigned char length = 0;  // 0: no character
        char utf8[4] = {};
    };
    Cp932Decoder() = default;
    bool build();

    std::array<Entry, 256> single_{};
    std::array<short, 256> lead_{};  // index into pairs_ + 1, 0 for no lead byte
    std::vector<std::array<Entry, 256>> pairs_;
    bool asciiIsAscii_ = false;
};

}  // namespace trelmo
