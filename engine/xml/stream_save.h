#pragma once
// Saving a document whose document element's content is too large to hold as
// nodes: the content is written piece by piece, in document order, straight
// into the file. The file gets the bytes Document::save would write for the
// same nodes, with the same errors, and replaces the destination only on
// commit() (atomic save: a failure leaves nothing behind).

#include <memory>
#include <string>
#include <string_view>

#include "engine/xml/dom.h"

namespace trelmo::xml {

class StreamedSave {
public:
    // `doc` holds the top level as it is to be saved; its document element
    // must have no attributes and no children yet. Checks the declaration and
    // its encoding and opens the file as save() does, then writes everything
    // up to the document element's start tag. Throws RuntimeError.
    StreamedSave(const Document& doc, const std::string& path);
    ~StreamedSave();  // without commit(): the destination is left as it was
    StreamedSave(const StreamedSave&) = delete;
    StreamedSave& operator=(const StreamedSave&) = delete;

    // Content of the current element, in document order. Names must be ones
    // that createElement and setAttribute accept, and an element's name must
    // stay valid until it ends; attributes come right after their element's
    // start, once per name. Values throw as save() does for characters XML
    // cannot hold.
    void startElement(std::string_view name);
    void attribute(std::string_view name, std::string_view value);
    void text(std::string_view data);
    void cdata(std::string_view data);
    void comment(std::string_view data);
    void endElement();

    // Ends the document element, writes the rest of the top level and
    // replaces the destination.
    void commit();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace trelmo::xml
