#pragma once
// Saving a document whose document element's content is too large to hold as
// nodes: the content is written piece by piece, in document order, straight
// into the file. The file gets the bytes Document::save would write for the
// same nodes, with the same errors, and replaces the destination only on
// commit() (atomic save: a failure leaves nothing behind).

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "engine/xml/dom.h"
#include "engine/xml/fragment.h"
#include "engine/xml/xml_writer.h"

namespace trelmo::xml {

class StreamedSave {
public:
    struct Options {
        std::string defaultNamespace;  // declared on the document element when not empty
        detail::ByteSink* copy = nullptr;  // gets every byte written, as the file does
    };

    // `doc` holds the top level as it is to be saved; its document element
    // must have no attributes and no children yet. Checks the declaration and
    // its encoding and opens the file as save() does, then writes everything
    // up to the document element's start tag. Throws RuntimeError.
    StreamedSave(const Document& doc, const std::string& path, const Options& options);
    StreamedSave(const Document& doc, const std::string& path) : StreamedSave(doc, path, Options{}) {}
    ~StreamedSave();  // without commit(): the destination is left as it was
    StreamedSave(const StreamedSave&) = delete;
    StreamedSave& operator=(const StreamedSave&) = delete;

    // The writer of the document element's content, in document order: its
    // start tag is ended.
    detail::XmlWriter& contentWriter();
    // A fragment whose bytes contentBytes() takes, or null when the encoding
    // cannot be written in pieces.
    std::unique_ptr<Fragment> newFragment() const;
    bool takesFragments() const;
    // The encoding is code page 932, written by table: its writers take code
    // page 932 content as it is (XmlWriter::contentCp932).
    bool encodesByTable() const;
    // A fragment's bytes as content of the document element.
    void contentBytes(std::string_view bytes);

    // Ends the document element, writes the rest of the top level and
    // replaces the destination, unless `accept` (run once every byte is
    // written) says no: false then, and the destination is left as it was.
    bool commit(const std::function<bool()>& accept = {});

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace trelmo::xml
