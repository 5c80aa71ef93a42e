#pragma once
// Content written into memory in the bytes a streamed save would write for
// them, so that several threads can make the content of one file. Only for
// encodings whose bytes do not depend on what came before (UTF-8, code page
// 932): a piece then reads the same wherever it lands in the file.

#include <cstddef>
#include <string>
#include <string_view>

#include "engine/xml/byte_sink.h"
#include "engine/xml/encoding.h"
#include "engine/xml/xml_writer.h"

namespace trelmo::xml {

class Fragment {
public:
    // `encodingName` as the save's declaration names it.
    explicit Fragment(std::string_view encodingName)
        : encoding_(encodingName), writer_(encoding_, sink_) {}
    Fragment(const Fragment&) = delete;
    Fragment& operator=(const Fragment&) = delete;

    static bool supports(const detail::OutputEncoding& encoding) {
        return encoding.isUtf8() || encoding.encodesByTable();
    }

    detail::XmlWriter& writer() { return writer_; }
    // Bytes written so far.
    std::size_t size() const { return sink_.bytes.size() + writer_.buffered(); }
    // The first `size` bytes written go into `bytes`; the fragment starts
    // empty again in the buffer `bytes` had, so that buffers are reused.
    void take(std::size_t size, std::string& bytes) {
        writer_.flush();
        sink_.bytes.resize(size);
        std::swap(sink_.bytes, bytes);
        sink_.bytes.clear();
    }

private:
    detail::OutputEncoding encoding_;
    detail::StringSink sink_;
    detail::XmlWriter writer_;
};

}  // namespace trelmo::xml
