#pragma once
// Buffered output of markup and escaped content in the output encoding.
//
// Content is checked as it is written: characters XML cannot hold (control
// characters other than TAB, LF and CR, U+FFFE, U+FFFF, surrogates, bytes that
// are not UTF-8) throw RuntimeError naming the character. Characters the
// encoding cannot hold become character references &#N; in text and attribute
// values, close the CDATA section around the reference, and are written as the
// reference text in DTDs; in comments (which cannot hold references: the
// reference would be read as text), names and processing instructions they
// throw.

#include <libxml/xmlstring.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "engine/text/cp932.h"
#include "engine/xml/byte_sink.h"
#include "engine/xml/encoding.h"

namespace trelmo::xml::detail {

enum class Context { Text, Attribute, CData, Comment, PiData, Name, Dtd };

class XmlWriter {
public:
    XmlWriter(OutputEncoding& encoding, ByteSink& sink);

    // ASCII markup written as it is.
    void markup(std::string_view ascii) { put(ascii.data(), ascii.size()); }
    // `owner` names the attribute, element or target in error messages.
    void content(Context context, std::string_view utf8, std::string_view owner = {});
    // Code page 932 bytes of whole characters, checked, escaped and written as
    // the same text in UTF-8 would be. Only for an encoding that goes by table.
    void contentCp932(Context context, std::string_view bytes, const Cp932Decoder& cp932, std::string_view owner = {});
    void content(Context context, const xmlChar* utf8, std::string_view owner = {}) {
        content(context, std::string_view(utf8 ? reinterpret_cast<const char*>(utf8) : ""), owner);
    }
    // A name that content(Context::Name, ...) accepted before: the same bytes, without the checks.
    void checkedName(std::string_view utf8) {
        if (byTable_) {
            content(Context::Name, utf8, utf8);
        } else {
            put(utf8.data(), utf8.size());
        }
    }
    // The same for markup written again and again: `encoded` keeps its bytes
    // in an encoding that goes by table, made on first use, for the next
    // calls with the same encoding.
    void checkedName(std::string_view utf8, std::string& encoded) {
        if (!byTable_ || !encoded.empty()) {
            const std::string_view bytes = byTable_ ? std::string_view(encoded) : utf8;
            put(bytes.data(), bytes.size());
            return;
        }
        const std::size_t before = used_, flushes = flushes_;
        content(Context::Name, utf8, utf8);
        if (flushes_ == flushes) encoded.assign(buffer_.data() + before, used_ - before);  // all in the buffer
    }
    // Bytes that another writer of the same encoding made: copied as they
    // are, a large piece straight to the sink.
    void encoded(std::string_view bytes) {
        if (bytes.size() < kDirect) {
            put(bytes.data(), bytes.size());
            return;
        }
        flush();
        write(bytes.data(), bytes.size());
    }
    // Bytes held, not yet handed to the sink.
    std::size_t buffered() const { return used_; }
    void flush();
    void finish();

private:
    static constexpr std::size_t kDirect = 4096;
    void put(const char* data, std::size_t size) {
        if (size > buffer_.size() - used_) {
            flush();
            if (size >= buffer_.size()) {
                write(data, size);
                return;
            }
        }
        char* out = buffer_.data() + used_;
        if (size <= 16 && buffer_.size() - used_ >= 16) {
            // Short pieces (most values and tags) in two overlapping words, without a call.
            if (size >= 8) {
                std::uint64_t head, tail;
                std::memcpy(&head, data, 8);
                std::memcpy(&tail, data + size - 8, 8);
                std::memcpy(out, &head, 8);
                std::memcpy(out + size - 8, &tail, 8);
            } else if (size >= 4) {
                std::uint32_t head, tail;
                std::memcpy(&head, data, 4);
                std::memcpy(&tail, data + size - 4, 4);
                std::memcpy(out, &head, 4);
                std::memcpy(out + size - 4, &tail, 4);
            } else if (size > 0) {
                out[0] = data[0];
                out[size / 2] = data[size / 2];
                out[size - 1] = data[size - 1];
            }
        } else {
            std::memcpy(out, data, size);
        }
        used_ += size;
    }
    // The buffer holds UTF-8, or already encoded bytes when the encoding goes by table.
    void write(const char* data, std::size_t size) {
        if (byTable_) {
            sink_.write(data, size);
        } else {
            encoding_.encode(data, size, sink_);
        }
    }
    // Where to go on writing straight into the buffer from `out`: there, or
    // at its start once its bytes are flushed when `out` is past `last`.
    char* roomAt(char* out, const char* last) {
        if (out <= last) return out;
        used_ = static_cast<std::size_t>(out - buffer_.data());
        flush();
        return buffer_.data();
    }
    // Writes a table entry (length << 24 | bytes) at `out` as one word, the
    // bytes first to last, then a byte the next one overwrites; returns the
    // end of its bytes.
    static char* putEntry(char* out, std::uint32_t entry) {
        const std::uint32_t bytes = __builtin_bswap32(entry << 8);
        std::memcpy(out, &bytes, 4);
        return out + (entry >> 24);
    }
    // A character beyond the encoding's table written through iconv: false when it cannot be.
    bool putOutsideTable(char32_t cp);
    // Writes the characters other than ASCII from p on by the table; returns where they end.
    const unsigned char* putByTable(Context context, const unsigned char* p, const unsigned char* end,
                                    std::string_view owner);
    // The output bytes of a code page 932 character as tableBytes gives them, or kNoBytes.
    std::uint32_t cp932Bytes(const unsigned char* p, std::size_t length, const Cp932Decoder& cp932);
    // Writes the replacement of the special ASCII character at p; returns the next position.
    const unsigned char* special(Context context, const unsigned char* p, const unsigned char* end,
                                 std::string_view owner);
    void unencodable(Context context, char32_t cp, std::string_view owner);

    OutputEncoding& encoding_;
    ByteSink& sink_;
    std::vector<char> buffer_;
    std::size_t used_ = 0;
    std::size_t flushes_ = 0;  // flush() calls so far
    bool byTable_;
    bool unicode_;  // every character passes as it is (UTF-8 in the buffer, Unicode out)
    // cp932Bytes by a code page 932 character's bytes as one number; 0 for not looked up yet.
    std::vector<std::uint32_t> cp932Table_;
    std::vector<std::uint64_t> cp932Same_;  // a bit a character whose bytes there are its own
};

}  // namespace trelmo::xml::detail
