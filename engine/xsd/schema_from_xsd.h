#pragma once
// A schema document built from an XSD's outline: the top element names the
// record element and carries the root's name, the XSD's path and its target
// namespace; below it the record element's content, attributes first, a text
// node in every element of simple content, an XSD's fixed value as the
// node's fixed value. No node has a data source yet.

#include <string>
#include <string_view>
#include <vector>

#include "engine/xml/dom.h"
#include "engine/xsd/xsd_outline.h"

namespace trelmo::xsd {

// The top element's attributes that tie a schema to its XSD.
inline constexpr const char* kXsdAttribute = "xsd";
inline constexpr const char* kNamespaceAttribute = "namespace";
// A leaf's fixed value, written as the editor writes DataSource.
inline constexpr const char* kFixedValueAttribute = "Value";

// The XSD's path as a schema in `schemaFolder` names it: relative when the
// XSD lies in that folder or below it, else absolute; absolute when the
// folder is empty (a schema not saved yet).
std::string xsdReference(const std::string& xsdPath, const std::string& schemaFolder);

// The absolute folder of a schema file; empty for a schema not saved (no file).
std::string schemaFolder(const std::string& schemaFile);

// The reference rewritten for a schema saved into another folder (an empty
// folder: not saved); an absolute reference outside the new folder stays so.
// A relative reference of a schema never saved stays as typed: it is read
// from the folder the schema is saved into.
std::string movedXsdReference(const std::string& reference, const std::string& fromFolder,
                              const std::string& toFolder);

// Why an output built with this root and record element would not match the
// XSD: a record element below another element, required siblings or
// attributes of the record element that the output does not write. In
// Japanese, one sentence each; empty when none.
std::vector<std::string> recordChoiceNotes(const OutlineNode& root, const OutlineNode& record);

// The schema document; `targetNamespace` empty writes no namespace attribute.
xml::Document schemaFromOutline(const OutlineNode& record, std::string_view rootName, std::string_view xsdReference,
                                std::string_view targetNamespace);

}  // namespace trelmo::xsd
