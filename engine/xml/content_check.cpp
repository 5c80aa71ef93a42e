#include "engine/xml/content_check.h"

#include <stdexcept>

#include "engine/xml/byte_sink.h"
#include "engine/xml/doc_state.h"
#include "engine/xml/serializer.h"
#include "engine/xml/utf8.h"
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

ContentCheck::ContentCheck(const Document& doc) : impl_(std::make_unique<Impl>(doc)) {}

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

bool ContentCheck::plainUtf8(std::string_view data) {
    const auto* p = reinterpret_cast<const unsigned char*>(data.data());
    const auto* end = p + data.size();
    while (p < end) {
        if (*p < 0x80) {
            if (*p < 0x20 && *p != '\t' && *p != '\n' && *p != '\r') return false;
            ++p;
            continue;
        }
        const detail::Decoded d = detail::decodeUtf8(p, end);
        if (d.length == 0 || !detail::isXmlChar(d.cp)) return false;
        p += d.length;
    }
    return true;
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
