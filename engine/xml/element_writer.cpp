#include "engine/xml/element_writer.h"

#include <cassert>

#include "engine/xml/names.h"

namespace trelmo::xml {

using detail::Context;

namespace {

bool isAscii(std::string_view text) {
    unsigned char any = 0;
    for (char c : text) any |= static_cast<unsigned char>(c);
    return any < 0x80;
}

}  // namespace

void ElementWriter::name(std::string_view text) {
    if (isAscii(text)) {
        writer_.markup(text);
        return;
    }
    for (const std::string& known : checkedNames_) {
        if (known == text) {
            writer_.checkedName(text);
            return;
        }
    }
    writer_.content(Context::Name, text, text);
    if (checkedNames_.size() < kCheckedNames) checkedNames_.emplace_back(text);
}

void ElementWriter::startElement(std::string_view elementName) {
    assert(detail::isQualifiedName(elementName));
    openContent();
    writer_.markup("<");
    name(elementName);
    open_.push_back(elementName);
    startOpen_ = true;
}

void ElementWriter::attribute(std::string_view attributeName, std::string_view value) {
    assert(detail::isQualifiedName(attributeName) && startOpen_);
    writer_.markup(" ");
    name(attributeName);
    writer_.markup("=\"");
    writer_.content(Context::Attribute, value, attributeName);
    writer_.markup("\"");
}

void ElementWriter::text(std::string_view data) {
    openContent();
    writer_.content(Context::Text, data);
}

void ElementWriter::cdata(std::string_view data) {
    openContent();
    writer_.markup("<![CDATA[");
    writer_.content(Context::CData, data);
    writer_.markup("]]>");
}

void ElementWriter::comment(std::string_view data) {
    openContent();
    writer_.markup("<!--");
    writer_.content(Context::Comment, data);
    writer_.markup("-->");
}

void ElementWriter::endElement() {
    assert(!open_.empty());
    if (startOpen_) {
        writer_.markup("/>");
    } else {
        writer_.markup("</");
        writer_.checkedName(open_.back());  // its start tag checked it
        writer_.markup(">");
    }
    startOpen_ = false;
    open_.pop_back();
}

}  // namespace trelmo::xml
