#include "engine/text/cp932.h"

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "engine/text/iconv_handle.h"

namespace trelmo {
namespace {

enum class Probe { Character, Incomplete, Invalid };

// Converts exactly the given bytes as one character.
Probe probe(iconv_t cd, const char* bytes, std::size_t size, char (&utf8)[4], unsigned char& length) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char in[2];
    std::memcpy(in, bytes, size);
    char out[16];
    char* inPos = in;
    std::size_t inLeft = size;
    char* outPos = out;
    std::size_t outLeft = sizeof out;
    if (iconv(cd, &inPos, &inLeft, &outPos, &outLeft) == static_cast<std::size_t>(-1)) {
        return errno == EINVAL ? Probe::Incomplete : Probe::Invalid;
    }
    const auto written = static_cast<std::size_t>(outPos - out);
    if (written == 0 || written > 4) return Probe::Invalid;
    std::memcpy(utf8, out, written);
    length = static_cast<unsigned char>(written);
    return Probe::Character;
}

}  // namespace

const Cp932Decoder* Cp932Decoder::instance() {
    static const std::unique_ptr<Cp932Decoder> table = [] {
        std::unique_ptr<Cp932Decoder> built(new Cp932Decoder());
        if (!built->build()) built.reset();
        return built;
    }();
    return table.get();
}

bool Cp932Decoder::build() {
    IconvHandle cd = openIconv("UTF-8", "CP932");
    if (!cd) return false;
    for (int b = 0; b < 256; ++b) {
        const char byte = static_cast<char>(b);
        Entry& entry = single_[static_cast<std::size_t>(b)];
        if (probe(cd.get(), &byte, 1, entry.utf8, entry.length) != Probe::Incomplete) continue;
        // A lead byte: the character is in the pair with the byte that follows.
        pairs_.emplace_back();
        lead_[static_cast<std::size_t>(b)] = static_cast<short>(pairs_.size());
        for (int t = 0; t < 256; ++t) {
            const char pair[2] = {byte, static_cast<char>(t)};
            Entry& second = pairs_.back()[static_cast<std::size_t>(t)];
            if (probe(cd.get(), pair, 2, second.utf8, second.length) != Probe::Character) second.length = 0;
        }
    }
    asciiIsAscii_ = true;
    for (int b = 0; b < 0x80; ++b) {
        const Entry& entry = single_[static_cast<std::size_t>(b)];
        if (entry.length != 1 || entry.utf8[0] != static_cast<char>(b)) asciiIsAscii_ = false;
    }
    return true;
}

std::size_t Cp932Decoder::decode(std::string_view bytes, std::string& out) const {
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    char chunk[1 << 16];
    std::size_t used = 0;
    std::size_t i = 0;
    while (i < size) {
        if (used > sizeof chunk - 8) {
            out.append(chunk, used);
            used = 0;
        }
        const unsigned char c = in[i];
        if (c < 0x80 && asciiIsAscii_) {
            // ASCII is copied as it is, eight bytes at a time where it runs on.
            if (size - i >= 8) {
                std::uint64_t word;
                std::memcpy(&word, in + i, 8);
                if (!(word & 0x8080808080808080u)) {
                    std::memcpy(chunk + used, &word, 8);
                    used += 8;
                    i += 8;
                    continue;
                }
            }
            chunk[used++] = static_cast<char>(c);
            ++i;
            continue;
        }
        const Entry* entry = &single_[c];
        std::size_t length = 1;
        if (const short lead = lead_[c]) {
            if (i + 1 == size) break;  // cut off
            entry = &pairs_[static_cast<std::size_t>(lead - 1)][in[i + 1]];
            length = 2;
        }
        if (entry->length == 0) break;
        std::memcpy(chunk + used, entry->utf8, 4);
        used += entry->length;
        i += length;
    }
    out.append(chunk, used);
    return i < size ? i : std::string_view::npos;
}

}  // namespace trelmo
