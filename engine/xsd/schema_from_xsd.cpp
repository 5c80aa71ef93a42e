#include "engine/xsd/schema_from_xsd.h"

#include <algorithm>
#include <filesystem>

#include "engine/xml/entity_loader.h"

namespace trelmo::xsd {
namespace {

namespace fs = std::filesystem;

// The outline node's content below `into`: attributes, the text, then child elements.
void addContent(const xml::Document& doc, const OutlineNode& node, xml::Node into) {
    for (const OutlineNode& child : node.children) {
        if (child.isElement()) continue;
        xml::Node attribute = into.appendChild(doc.createElement("attribute"));
        attribute.setAttribute("name", child.name);
        if (child.fixed) attribute.setAttribute(kFixedValueAttribute, *child.fixed);
    }
    if (node.simpleContent) {
        xml::Node text = into.appendChild(doc.createElement("text"));
        if (node.fixed) text.setAttribute(kFixedValueAttribute, *node.fixed);
    }
    for (const OutlineNode& child : node.children) {
        if (!child.isElement()) continue;
        xml::Node element = into.appendChild(doc.createElement("element"));
        element.setAttribute("name", child.name);
        addContent(doc, child, element);
    }
}

bool holds(const OutlineNode& node, const OutlineNode& wanted) {
    return &node == &wanted || std::any_of(node.children.begin(), node.children.end(),
                                           [&](const OutlineNode& child) { return holds(child, wanted); });
}

}  // namespace

std::vector<std::string> recordChoiceNotes(const OutlineNode& root, const OutlineNode& record) {
    std::vector<std::string> notes;
    const bool direct = std::any_of(root.children.begin(), root.children.end(),
                                    [&](const OutlineNode& child) { return &child == &record; });
    if (!direct && holds(root, record)) {
        notes.push_back("要素 " + record.name + " は " + root.name + " の直下にありません。出力では " + root.name +
                        " の直下に書かれるため、XSD に一致しません。");
    }
    for (const OutlineNode& child : root.children) {
        if (&child == &record || !child.required() || (!direct && holds(child, record))) continue;
        notes.push_back("要素 " + root.name + " の必須の" +
                        (child.isElement() ? "子要素 " : "属性 ") + child.name + " は出力に書かれません。");
    }
    return notes;
}

std::string xsdReference(const std::string& xsdPath, const std::string& schemaFolder) {
    const fs::path xsd(xml::detail::normalPath(xsdPath));
    if (schemaFolder.empty()) return xsd.string();
    const fs::path relative = xsd.lexically_relative(xml::detail::normalPath(schemaFolder));
    if (relative.empty() || *relative.begin() == "..") return xsd.string();
    return relative.generic_string();
}

std::string schemaFolder(const std::string& schemaFile) {
    return schemaFile.empty() ? std::string() : fs::absolute(schemaFile).parent_path().string();
}

std::string movedXsdReference(const std::string& reference, const std::string& fromFolder,
                              const std::string& toFolder) {
    fs::path path(reference);
    if (path.is_relative()) {
        if (fromFolder.empty()) return reference;
        path = fs::path(fromFolder) / path;
    }
    return xsdReference(path.string(), toFolder);
}

xml::Document schemaFromOutline(const OutlineNode& record, std::string_view rootName, std::string_view xsdReference,
                                std::string_view targetNamespace) {
    xml::Document doc;
    doc.appendChild(doc.createProcessingInstruction("xml", "version=\"1.0\""));
    xml::Node top = doc.appendChild(doc.createElement("element"));
    top.setAttribute("name", record.name);
    top.setAttribute("root", rootName);
    top.setAttribute(kXsdAttribute, xsdReference);
    if (!targetNamespace.empty()) top.setAttribute(kNamespaceAttribute, targetNamespace);
    addContent(doc, record, top);
    return doc;
}

}  // namespace trelmo::xsd
