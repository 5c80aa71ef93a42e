#pragma once
// Schema nodes made from CSV columns.

#include <cstddef>
#include <string>
#include <vector>

#include "engine/xml/dom.h"

namespace trelmo::ui {

// What a column becomes: an element holding a text node, an attribute, an
// element holding a CDATA section, or a comment.
enum class ColumnKind { Element, Attribute, CData, Comment };

struct ColumnNode {
    int column = 0;  // counted from 1
    ColumnKind kind = ColumnKind::Element;
    std::string name;  // not used for a comment
};

// The schema elements a node of this kind adds.
std::size_t schemaElementsOf(ColumnKind kind);

// The node for one column, bound to it by its data source.
xml::Node makeColumnNode(const xml::Document& doc, const ColumnNode& column);

// The nodes for the columns in the order the converter writes them:
// attributes first, then the others, each in column order.
std::vector<xml::Node> makeColumnNodes(const xml::Document& doc, const std::vector<ColumnNode>& columns);

// The most elements a schema may hold in the editor, and the message when an
// insertion would pass it (total: the count after it).
inline constexpr std::size_t kMaxSchemaElements = 32767;
std::string tooManyElementsMessage(std::size_t total);


}  // namespace trelmo::ui
