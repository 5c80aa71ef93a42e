#include "engine/xml/stream_save.h"

#include <stdexcept>

#include "engine/xml/file_sink.h"
#include "engine/xml/doc_state.h"
#include "engine/xml/names.h"
#include "engine/xml/serializer.h"
#include "engine/xml/xml_writer.h"

namespace trelmo::xml {

struct StreamedSave::Impl {
    Impl(const Document& doc, const std::string& path, detail::ByteSink* copy)
        : keep(doc.asNode()),
          xmlDocument(detail::DocState::state(keep)->doc),
          root(xmlDocGetRootElement(xmlDocument)),
          serializer(xmlDocument),
          file(path, copy),
          writer(serializer.encoding(), file) {}

    Node keep;  // keeps the document alive
    xmlDoc* xmlDocument;
    xmlNode* root;
    detail::Serializer serializer;
    detail::FileSink file;
    detail::XmlWriter writer;
    std::string rootName;
    bool startOpen = false;  // the document element's start tag is not ended yet
};

StreamedSave::StreamedSave(const Document& doc, const std::string& path, const Options& options) {
    const Node top = doc.documentElement();
    if (!top || top.attributeCount() > 0 || top.hasChildNodes()) {
        throw std::logic_error("StreamedSave needs an empty document element");
    }
    impl_ = std::make_unique<Impl>(doc, path, options.copy);
    Impl& s = *impl_;
    s.serializer.writeTopLevel(s.writer, s.xmlDocument->children, s.root);
    s.rootName = detail::qualifiedName(s.root);
    s.writer.markup("<");
    s.writer.content(detail::Context::Name, s.rootName, s.rootName);
    if (!options.defaultNamespace.empty()) {
        s.writer.markup(" xmlns=\"");
        s.writer.content(detail::Context::Attribute, options.defaultNamespace, "xmlns");
        s.writer.markup("\"");
    }
    s.startOpen = true;
}

StreamedSave::~StreamedSave() = default;

detail::XmlWriter& StreamedSave::contentWriter() {
    if (impl_->startOpen) impl_->writer.markup(">");
    impl_->startOpen = false;
    return impl_->writer;
}

bool StreamedSave::takesFragments() const { return Fragment::supports(impl_->serializer.encoding()); }

bool StreamedSave::encodesByTable() const { return impl_->serializer.encoding().encodesByTable(); }

std::unique_ptr<Fragment> StreamedSave::newFragment() const {
    if (!takesFragments()) return nullptr;
    return std::make_unique<Fragment>(impl_->serializer.encoding().name());
}

void StreamedSave::contentBytes(std::string_view bytes) { contentWriter().encoded(bytes); }

bool StreamedSave::commit(const std::function<bool()>& accept) {
    Impl& s = *impl_;
    if (s.startOpen) {
        s.writer.markup("/>");
    } else {
        s.writer.markup("</");
        s.writer.checkedName(s.rootName);  // its start tag checked it
        s.writer.markup(">");
    }
    s.writer.markup("\r\n");
    s.serializer.writeTopLevel(s.writer, s.root->next, nullptr);
    s.writer.finish();
    if (accept && !accept()) return false;
    s.file.commit();
    return true;
}

}  // namespace trelmo::xml
