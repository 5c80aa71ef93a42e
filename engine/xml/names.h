#pragma once
// Names and attribute values of libxml2 nodes as the DOM shows them, and the
// checks of names given to new nodes.

#include <libxml/tree.h>

#include <string>
#include <string_view>

namespace trelmo::xml::detail {

// "prefix:local" for a namespaced node, else the name as stored.
std::string qualifiedName(const xmlNode* node);
std::string qualifiedName(const xmlAttr* attribute);
// "xmlns" or "xmlns:prefix" for a namespace declaration.
std::string declarationName(const xmlNs* ns);
std::string attributeValue(const xmlAttr* attribute);

const xmlAttr* findAttribute(const xmlNode* element, std::string_view name);
const xmlNs* findDeclaration(const xmlNode* element, std::string_view name);

// An XML name, with one colon allowed between two non-empty parts.
bool isQualifiedName(std::string_view name);
// A processing-instruction target: a name without a colon, not "xml" in any
// letter case except the declaration's own "xml".
bool isPiTarget(std::string_view target);

}  // namespace trelmo::xml::detail
