#pragma once
// Writes a document as XML: each top-level node followed by CR LF, nothing
// else of its own between nodes; the "xml" processing instruction becomes the
// declaration and chooses the encoding (UTF-8 when there is none). A document
// loaded from text keeps that text's line ends: LF alone after the top-level
// nodes, or CR LF also for the line breaks inside its text nodes.

#include <libxml/tree.h>

#include <optional>

#include "engine/xml/byte_sink.h"
#include "engine/xml/doc_state.h"
#include "engine/xml/encoding.h"

namespace trelmo::xml::detail {

class XmlWriter;

class Serializer {
public:
    // Checks the declaration and the encoding it names; throws RuntimeError.
    explicit Serializer(xmlDoc* doc, LineEnds lineEnds = LineEnds::Unknown);
    // Streams the document; throws RuntimeError for content XML cannot hold.
    void write(ByteSink& sink);

    // For writers that stream part of the document themselves: the encoding
    // chosen by the declaration, and the top-level nodes from `from` up to
    // (without) `until`, each followed by CR LF as write() does.
    OutputEncoding& encoding() { return *encoding_; }
    void writeTopLevel(XmlWriter& w, xmlNode* from, const xmlNode* until);

private:
    xmlDoc* doc_;
    LineEnds lineEnds_;
    std::optional<OutputEncoding> encoding_;
};

}  // namespace trelmo::xml::detail
