#include "engine/xml/content_check.h"

#include <stdexcept>

#include "engine/xml/byte_sink.h"
#include "engine/xml/doc_state.h"
#include "engine/xml/serializer.h"
#include "engine/xml/xml_char.h"
#include "engine/xml/utf8_block.h"
#include "engine/xml/xml_writer.h"

namespace trelmo::xml {

using detail::Context;

namespace {

class DiscardSink final : public detail::ByteSink {
public:
    void write(const char*, std::size_t) override {}
};

}  // namespace

// The checks are the DOM's own operations on a scratch document and the
// save's own writer into nothing, so that they fail with the same errors.
struct ContentCheck::Impl {
    explicit Impl(const Document& doc)
        : keep(doc.asNode()),
          serializer(detail::DocState::state(keep)->doc),
          writer(serializer.encoding(), sink),
          element(scratch.createElement("x")) {
        serializer.writeTopLevel(writer, detail::DocState::state(keep)->doc->children, nullptr);
    }

    Node keep;  // keeps the document alive
    detail::Serializer serializer;
    DiscardSink sink;
    detail::XmlWriter writer;
    Document scratch;
    Node element;
};

ContentCheck::ContentCheck(const Document& doc)
    : impl_(std::make_unique<Impl>(doc)), unicode_(impl_->serializer.encoding().coversUnicode()) {}

ContentCheck::~ContentCheck() = default;

void ContentCheck::elementName(std::string_view name) {
    impl_->scratch.createElement(name);
    impl_->writer.content(Context::Name, name, name);
}

void ContentCheck::attributeName(std::string_view name) {
    impl_->scratch.createElement("x").setAttribute(name, "");
    impl_->writer.content(Context::Name, name, name);
}

void ContentCheck::childOf(Leaf parent, bool attribute) {
    Document& scratch = impl_->scratch;
    Node leaf = parent == Leaf::Text    ? scratch.createTextNode("")
                : parent == Leaf::CData ? scratch.createCDATASection("")
                                        : scratch.createComment("");
    if (attribute) leaf.setAttribute("x", "");
    leaf.appendChild(scratch.createElement("x"));
    throw std::logic_error("a leaf took a child");
}

namespace {

// Character by character from p, a character's start: exactly what the
// nodes would take.
bool plainFrom(const unsigned char* p, const unsigned char* end) {
    while (p < end) {
        const unsigned char c = *p;
        if (c < 0x80) {
            if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') return false;
            ++p;
        } else {
            const Utf8Char d = detail::charAt(p, end);
            if (d.length == 0 || !detail::isXmlChar(d.cp)) return false;
            p += d.length;
        }
    }
    return true;
}

}  // namespace

bool ContentCheck::plainBytes(const char* data, std::size_t size) {
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    const auto* const end = p + size;
#ifdef __SSE2__
    // Blocks that unplainBytes vouches for, each starting at a character;
    // from the first it does not, character by character.
    while (end - p >= 16) {
        if (detail::unplainBytes(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))) != 0) return plainFrom(p, end);
        p += 16 - detail::pendingLead(p);
    }
    if (p == end || detail::unplainBytes(detail::loadPadded(p, static_cast<std::size_t>(end - p))) == 0) return true;
#endif
    return plainFrom(p, end);
}

void ContentCheck::checkValue(Leaf kind, std::string_view data) {
    Document& scratch = impl_->scratch;
    switch (kind) {
    case Leaf::Text:
        scratch.createTextNode(data);
        impl_->writer.content(Context::Text, data);
        break;
    case Leaf::CData:
        scratch.createCDATASection(data);
        impl_->writer.content(Context::CData, data);
        break;
    case Leaf::Comment:
        scratch.createComment(data);
        impl_->writer.content(Context::Comment, data);
        break;
    }
}

void ContentCheck::checkAttributeValue(std::string_view name, std::string_view data) {
    impl_->element.setAttribute(name, data);
    impl_->writer.content(Context::Attribute, data, name);
}

}  // namespace trelmo::xml
