#include "engine/xml/names.h"

#include "engine/xml/doc_state.h"
#include "engine/xml/xml_char.h"

namespace trelmo::xml::detail {
namespace {

// Name characters of XML 1.0 (fifth edition), as libxml2's parser reads them.
bool isNameStart(char32_t c) {
    return (c >= 'A' && c <= 'Z') || c == '_' || (c >= 'a' && c <= 'z') || (c >= 0xC0 && c <= 0xD6) ||
           (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) || (c >= 0x370 && c <= 0x37D) ||
           (c >= 0x37F && c <= 0x1FFF) || (c >= 0x200C && c <= 0x200D) || (c >= 0x2070 && c <= 0x218F) ||
           (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) || (c >= 0xF900 && c <= 0xFDCF) ||
           (c >= 0xFDF0 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0xEFFFF);
}

bool isNameChar(char32_t c) {
    return isNameStart(c) || c == '-' || c == '.' || (c >= '0' && c <= '9') || c == 0xB7 ||
           (c >= 0x300 && c <= 0x36F) || (c >= 0x203F && c <= 0x2040);
}

// A name without colons.
bool isNcName(std::string_view name) {
    if (name.empty()) return false;
    auto p = reinterpret_cast<const unsigned char*>(name.data());
    const auto end = p + name.size();
    bool first = true;
    while (p < end) {
        const Utf8Char d = decodeUtf8(p, end);
        if (d.length == 0 || !(first ? isNameStart(d.cp) : isNameChar(d.cp))) return false;
        p += d.length;
        first = false;
    }
    return true;
}

template <class T>
std::string prefixed(const T* node) {
    if (node->ns && node->ns->prefix) return std::string(text(node->ns->prefix)) + ":" + text(node->name);
    return text(node->name);
}

bool equalsQualified(const xmlChar* prefix, const xmlChar* local, std::string_view name) {
    if (!prefix) return name == text(local);
    const std::string_view p = text(prefix);
    return name.size() > p.size() && name.substr(0, p.size()) == p && name[p.size()] == ':' &&
           name.substr(p.size() + 1) == text(local);
}

}  // namespace

std::string qualifiedName(const xmlNode* node) { return prefixed(node); }

std::string qualifiedName(const xmlAttr* attribute) { return prefixed(attribute); }

std::string declarationName(const xmlNs* ns) {
    return ns->prefix ? "xmlns:" + std::string(text(ns->prefix)) : std::string("xmlns");
}

std::string attributeValue(const xmlAttr* attribute) {
    const xmlNode* first = attribute->children;
    if (!first) return {};
    if (first->type == XML_TEXT_NODE && !first->next) return text(first->content);
    // Entity references of a parsed value: libxml2 expands them.
    XmlString value(xmlNodeListGetString(attribute->doc, attribute->children, 1));
    return text(value.get());
}

const xmlAttr* findAttribute(const xmlNode* element, std::string_view name) {
    for (const xmlAttr* a = element->properties; a; a = a->next) {
        if (equalsQualified(a->ns ? a->ns->prefix : nullptr, a->name, name)) return a;
    }
    return nullptr;
}

const xmlNs* findDeclaration(const xmlNode* element, std::string_view name) {
    if (name.substr(0, 5) != "xmlns") return nullptr;
    for (const xmlNs* ns = element->nsDef; ns; ns = ns->next) {
        if (name == declarationName(ns)) return ns;
    }
    return nullptr;
}

bool isQualifiedName(std::string_view name) {
    const std::size_t colon = name.find(':');
    if (colon == std::string_view::npos) return isNcName(name);
    return isNcName(name.substr(0, colon)) && isNcName(name.substr(colon + 1));
}

bool isPiTarget(std::string_view target) {
    if (target == "xml") return true;
    if (target.size() == 3 && (target[0] | 0x20) == 'x' && (target[1] | 0x20) == 'm' && (target[2] | 0x20) == 'l') {
        return false;
    }
    return isNcName(target);
}

}  // namespace trelmo::xml::detail
