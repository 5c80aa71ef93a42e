#include "engine/xsd/xml_namespace.h"

#include <libxml/uri.h>

#include "engine/error.h"

namespace trelmo::xsd {

void checkNamespace(const std::string& uri) {
    if (uri.empty()) return;
    const auto refuse = [&](const char* why) {
        throw RuntimeError(err::XmlDom, "名前空間 \"" + uri + "\" は使えません: " + why);
    };
    if (uri.find('\0') != std::string::npos) refuse("NUL 文字があります。");
    // xmlParseURI takes what RFC 3986 calls a URI reference; it has no room for spaces and the like.
    xmlURIPtr parsed = xmlParseURI(uri.c_str());
    if (!parsed) refuse("URI ではありません。");
    xmlFreeURI(parsed);
    if (uri == "http://www.w3.org/XML/1998/namespace" || uri == "http://www.w3.org/2000/xmlns/") {
        refuse("XML が予約している名前空間です。");
    }
}

}  // namespace trelmo::xsd
