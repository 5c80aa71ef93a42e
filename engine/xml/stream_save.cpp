#include "engine/xml/stream_save.h"

#include <cassert>
#include <stdexcept>
#include <vector>

#include "engine/xml/atomic_file.h"
#include "engine/xml/doc_state.h"
#include "engine/xml/names.h"
#include "engine/xml/serializer.h"
#include "engine/xml/xml_writer.h"

namespace trelmo::xml {

using detail::Context;

namespace {

bool isAscii(std::string_view text) {
    unsigned char any = 0;
    for (char c : text) any |= static_cast<unsigned char>(c);
    return any < 0x80;
}

}  // namespace

struct StreamedSave::Impl {
    Impl(const Document& doc, const std::string& path)
        : keep(doc.asNode()),
          xmlDocument(detail::DocState::state(keep)->doc),
          root(xmlDocGetRootElement(xmlDocument)),
          serializer(xmlDocument),
          file(path),
          writer(serializer.encoding(), file) {}

    // A name as save() writes it: ASCII names need no check, and a name that
    // passed once is written as it is (a name has nothing to escape, so it is
    // either refused or written unchanged).
    void name(std::string_view text) {
        if (isAscii(text)) {
            writer.markup(text);
            return;
        }
        for (const std::string& known : checkedNames) {
            if (known == text) {
                writer.checkedName(text);
                return;
            }
        }
        writer.content(Context::Name, text, text);
        if (checkedNames.size() < kCheckedNames) checkedNames.emplace_back(text);
    }
    // The current element gets content: its start tag ends.
    void openContent() {
        if (startOpen) writer.markup(">");
        startOpen = false;
    }
    void closeElement() {
        if (startOpen) {
            writer.markup("/>");
        } else {
            writer.markup("</");
            writer.checkedName(open.back());  // its start tag checked it
            writer.markup(">");
        }
        startOpen = false;
        open.pop_back();
    }

    Node keep;  // keeps the document alive
    xmlDoc* xmlDocument;
    xmlNode* root;
    detail::Serializer serializer;
    detail::AtomicFile file;
    detail::XmlWriter writer;
    std::string rootName;
    std::vector<std::string_view> open;  // names of the open elements, the document element first
    static constexpr std::size_t kCheckedNames = 64;
    std::vector<std::string> checkedNames;  // non-ASCII names already written once
    bool startOpen = false;         // the last start tag still takes attributes
};

StreamedSave::StreamedSave(const Document& doc, const std::string& path) {
    const Node top = doc.documentElement();
    if (!top || top.attributeCount() > 0 || top.hasChildNodes()) {
        throw std::logic_error("StreamedSave needs an empty document element");
    }
    impl_ = std::make_unique<Impl>(doc, path);
    Impl& s = *impl_;
    s.serializer.writeTopLevel(s.writer, s.xmlDocument->children, s.root);
    s.rootName = detail::qualifiedName(s.root);
    s.writer.markup("<");
    s.name(s.rootName);
    s.open.push_back(s.rootName);
    s.startOpen = true;
}

StreamedSave::~StreamedSave() = default;

void StreamedSave::startElement(std::string_view name) {
    assert(detail::isQualifiedName(name));
    Impl& s = *impl_;
    s.openContent();
    s.writer.markup("<");
    s.name(name);
    s.open.push_back(name);
    s.startOpen = true;
}

void StreamedSave::attribute(std::string_view name, std::string_view value) {
    assert(detail::isQualifiedName(name) && impl_->startOpen);
    Impl& s = *impl_;
    s.writer.markup(" ");
    s.name(name);
    s.writer.markup("=\"");
    s.writer.content(Context::Attribute, value, name);
    s.writer.markup("\"");
}

void StreamedSave::text(std::string_view data) {
    impl_->openContent();
    impl_->writer.content(Context::Text, data);
}

void StreamedSave::cdata(std::string_view data) {
    Impl& s = *impl_;
    s.openContent();
    s.writer.markup("<![CDATA[");
    s.writer.content(Context::CData, data);
    s.writer.markup("]]>");
}

void StreamedSave::comment(std::string_view data) {
    Impl& s = *impl_;
    s.openContent();
    s.writer.markup("<!--");
    s.writer.content(Context::Comment, data);
    s.writer.markup("-->");
}

void StreamedSave::endElement() {
    assert(impl_->open.size() > 1);
    impl_->closeElement();
}

void StreamedSave::commit() {
    Impl& s = *impl_;
    assert(s.open.size() == 1);
    s.closeElement();
    s.writer.markup("\r\n");
    s.serializer.writeTopLevel(s.writer, s.root->next, nullptr);
    s.writer.finish();
    s.file.commit();
}

}  // namespace trelmo::xml
