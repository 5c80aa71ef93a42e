#pragma once
// Writes a document as XML: each top-level node followed by CR LF, nothing
// else of its own between nodes; the "xml" processing instruction becomes the
// declaration and chooses the encoding (UTF-8 when there is none).

#include <libxml/tree.h>

#include <optional>

#include "engine/xml/byte_sink.h"
#include "engine/xml/encoding.h"

namespace trelmo::xml::detail {

class Serializer {
public:
    // Checks the declaration and the encoding it names; throws RuntimeError.
    explicit Serializer(xmlDoc* doc);
    // Streams the document; throws RuntimeError for content XML cannot hold.
    void write(ByteSink& sink);

private:
    xmlDoc* doc_;
    std::optional<OutputEncoding> encoding_;
};

}  // namespace trelmo::xml::detail
