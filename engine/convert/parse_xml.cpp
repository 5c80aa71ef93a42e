#include "engine/convert/parse_xml.h"

namespace trelmo {

void ParseXML::Parse(xml::Document& XMLDoc, const std::string& strPathToSchema, xml::SourceFile source) {
    XMLDoc.load(strPathToSchema, source);
    const xml::ParseError& error = XMLDoc.parseError();
    if (error.errorCode != 0) {
        messages_.show(error.reason + "\r\nLine: " + std::to_string(error.line) + "\r\nText: " + error.srcText,
                       MsgIcon::Exclamation);
    }
}

}  // namespace trelmo
