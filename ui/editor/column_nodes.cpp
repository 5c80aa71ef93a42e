#include "ui/editor/column_nodes.h"

#include <algorithm>

#include "ui/editor/load_dsd.h"

namespace trelmo::ui {

std::size_t schemaElementsOf(ColumnKind kind) {
    return kind == ColumnKind::Element || kind == ColumnKind::CData ? 2 : 1;
}

xml::Node makeColumnNode(const xml::Document& doc, const ColumnNode& column) {
    const std::string source = std::to_string(column.column);
    const auto leaf = [&](std::string_view kind) {
        xml::Node n = doc.createElement(kind);
        n.setAttribute("DataSource", source);
        return n;
    };
    switch (column.kind) {
    case ColumnKind::Attribute: {
        xml::Node n = doc.createElement(nodekind::Attribute);
        n.setAttribute("name", column.name);
        n.setAttribute("DataSource", source);
        return n;
    }
    case ColumnKind::Comment: return leaf(nodekind::Comment);
    case ColumnKind::Element:
    case ColumnKind::CData: break;
    }
    xml::Node n = doc.createElement(nodekind::Element);
    n.setAttribute("name", column.name);
    n.appendChild(leaf(column.kind == ColumnKind::CData ? nodekind::CDataSection : nodekind::Text));
    return n;
}

std::vector<xml::Node> makeColumnNodes(const xml::Document& doc,
                                       const std::vector<ColumnNode>& columns) {
    std::vector<const ColumnNode*> order;
    order.reserve(columns.size());
    for (const ColumnNode& c : columns) order.push_back(&c);
    std::stable_sort(order.begin(), order.end(), [](const ColumnNode* a, const ColumnNode* b) {
        const bool aFirst = a->kind == ColumnKind::Attribute;
        const bool bFirst = b->kind == ColumnKind::Attribute;
        if (aFirst != bFirst) return aFirst;
        return a->column < b->column;
    });
    std::vector<xml::Node> nodes;
    nodes.reserve(order.size());
    for (const ColumnNode* c : order) nodes.push_back(makeColumnNode(doc, *c));
    return nodes;
}

std::string tooManyElementsMessage(std::size_t total) {
    return "スキーマの要素が " + std::to_string(total) + " 個になり、エディターで扱える " +
           std::to_string(kMaxSchemaElements) + " 個を超えます。\r\n作成する列を減らしてください。";
}

}  // namespace trelmo::ui
