#pragma once
// Character encodings: the names the program accepts, conversion of output
// from UTF-8, and lossy decoding of source text for messages.
//
// "Shift_JIS" and its aliases mean Microsoft's code page 932 (iconv's CP932),
// for reading and writing, so that characters such as ① and ～ survive. Any
// other name is whatever iconv accepts.

#include <iconv.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "engine/text/iconv_handle.h"
#include "engine/xml/byte_sink.h"

namespace trelmo::xml::detail {

using IconvPtr = IconvHandle;

bool isUtf8Name(std::string_view name);
// The name to hand to iconv for an encoding name as written in a declaration.
std::string iconvName(std::string_view name);
// Makes libxml2 read the Shift_JIS aliases as CP932. Called once at start-up.
void registerParserEncodingAliases();

// Text in an encoding turned into UTF-8 for display; undecodable bytes become
// U+FFFD. An unknown or empty encoding name reads the bytes as UTF-8.
std::string decodeLossy(std::string_view bytes, std::string_view encoding);

// The encoding of a file being written: converts complete UTF-8 characters
// and tells which characters it can hold.
class OutputEncoding {
public:
    // `name` as the declaration writes it; empty means UTF-8. Throws
    // RuntimeError (err::Encoding) for a name iconv does not accept.
    explicit OutputEncoding(std::string_view name);

    const std::string& name() const { return name_; }
    // Every Unicode character can be written (UTF-8, UTF-16, UTF-32).
    bool coversUnicode() const { return coversUnicode_; }
    bool isUtf8() const { return passthrough_; }
    // Whether the character survives a write and a read unchanged.
    bool canEncode(char32_t cp) {
        if (coversUnicode_ || cp < 0x80) return true;
        if (known_.empty()) known_.assign(0x110000, 0);
        if (known_[cp] == 0) known_[cp] = probe(cp) ? 1 : 2;
        return known_[cp] == 1;
    }

    // Code page 932, written by a writer straight from its table: ASCII as it
    // is, other characters through tableBytes.
    bool encodesByTable() const { return byTable_ && asciiSame_; }
    // The bytes of a BMP character that canEncode holds, as length << 24 |
    // bytes, else kNoBytes.
    static constexpr std::uint32_t kNoBytes = 0xFFFFFFFF;
    std::uint32_t tableBytes(char32_t cp) {
        if (table_.empty()) table_.assign(0x10000, 0);
        std::uint32_t& entry = table_[cp];
        if (entry == 0) entry = lookUp(cp);
        return entry;
    }

    void begin(ByteSink& sink);  // the byte order mark, if any
    void encode(const char* utf8, std::size_t size, ByteSink& sink);
    void end(ByteSink& sink);  // back to the initial shift state

private:
    bool encodeAlone(const std::string& utf8, char* out, std::size_t& size);
    bool probe(char32_t cp);
    // iconv's bytes for a character that survives a round trip, else kNoBytes.
    std::uint32_t lookUp(char32_t cp);
    // Code page 932 converted character by character from a table of iconv's
    // own results (it has no shift states). Returns how many bytes it wrote;
    // it stops at a character iconv cannot convert, which the caller reports.
    std::size_t encodeByTable(const char* utf8, std::size_t size, ByteSink& sink);

    std::string name_;
    bool passthrough_ = false;
    bool coversUnicode_ = false;
    std::string bom_;
    IconvPtr out_;
    IconvPtr probeOut_;
    IconvPtr probeBack_;
    std::vector<std::uint8_t> known_;  // per code point: 0 unknown, 1 yes, 2 no
    bool byTable_ = false;               // code page 932
    bool asciiSame_ = false;             // ASCII is written unchanged
    std::vector<std::uint32_t> table_;   // per BMP code point: 0 unknown, else length << 24 | bytes
    std::vector<char> chunk_;
};

}  // namespace trelmo::xml::detail
