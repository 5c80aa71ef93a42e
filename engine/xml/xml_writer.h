#pragma once
// Buffered output of markup and escaped content in the output encoding.
//
// Content is checked as it is written: characters XML cannot hold (control
// characters other than TAB, LF and CR, U+FFFE, U+FFFF, surrogates, bytes that
// are not UTF-8) throw RuntimeError naming the character. Characters the
// encoding cannot hold become character references &#N; in text and attribute
// values, close the CDATA section around the reference, and are written as the
// reference text in comments and DTDs (a comment cannot hold references, and
// this keeps at least a trace of the character); in names and processing
// instructions they throw.

#include <libxml/xmlstring.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

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
    void content(Context context, const xmlChar* utf8, std::string_view owner = {}) {
        content(context, std::string_view(utf8 ? reinterpret_cast<const char*>(utf8) : ""), owner);
    }
    void finish();

private:
    void put(const char* data, std::size_t size) {
        if (size > buffer_.size() - used_) {
            flush();
            if (size >= buffer_.size()) {
                encoding_.encode(data, size, sink_);
                return;
            }
        }
        std::copy(data, data + size, buffer_.data() + used_);
        used_ += size;
    }
    void flush();
    // Writes the replacement of the special ASCII character at p; returns the next position.
    const unsigned char* special(Context context, const unsigned char* p, const unsigned char* end,
                                 std::string_view owner);
    void unencodable(Context context, char32_t cp, std::string_view owner);

    OutputEncoding& encoding_;
    ByteSink& sink_;
    std::vector<char> buffer_;
    std::size_t used_ = 0;
};

}  // namespace trelmo::xml::detail
