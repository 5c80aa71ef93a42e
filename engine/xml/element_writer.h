#pragma once
// Elements and their content written as markup through an XmlWriter, as a
// save writes the same nodes: a start tag stays open for attributes until
// content or the end comes, an empty element is closed as "<name/>".

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "engine/xml/xml_writer.h"

namespace trelmo::xml {

class ElementWriter {
public:
    explicit ElementWriter(detail::XmlWriter& writer) : writer_(writer) {}

    // Names must be ones that createElement and setAttribute accept, and an
    // element's name must stay valid until it ends; attributes come right
    // after their element's start, once per name. Values throw as save()
    // does for characters XML cannot hold.
    void startElement(std::string_view name);
    void attribute(std::string_view name, std::string_view value);
    void text(std::string_view data);
    void cdata(std::string_view data);
    void comment(std::string_view data);
    void endElement();

    // The open start tag, if any, ends: content follows.
    void openContent() {
        if (startOpen_) writer_.markup(">");
        startOpen_ = false;
    }
    std::size_t depth() const { return open_.size(); }

private:
    // A name as save() writes it: ASCII names need no check, and a name that
    // passed once is written as it is (a name has nothing to escape, so it is
    // either refused or written unchanged).
    void name(std::string_view text);

    detail::XmlWriter& writer_;
    std::vector<std::string_view> open_;  // names of the open elements, outermost first
    static constexpr std::size_t kCheckedNames = 64;
    std::vector<std::string> checkedNames_;  // non-ASCII names already written once
    bool startOpen_ = false;                 // the last start tag still takes attributes
};

}  // namespace trelmo::xml
