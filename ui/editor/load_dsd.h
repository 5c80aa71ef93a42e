#pragma once
// loadDSD: builds the schema tree of TreeView1 from a schema document. One
// tree node is added for every element, in document pre-order, and none for
// anything else, so tree index k stands for element k - 1 of "//*".

#include <QColor>
#include <cstdint>
#include <string_view>

#include "engine/messages.h"
#include "engine/xml/dom.h"

class QTreeWidgetItem;

namespace trelmo::ui {

class SchemaTreeView;

// The node kinds, as the editor writes and compares them.
namespace nodekind {
inline constexpr std::string_view Element = "element";
inline constexpr std::string_view Attribute = "attribute";
inline constexpr std::string_view Text = "text";
inline constexpr std::string_view CDataSection = "cdatasection";
inline constexpr std::string_view Comment = "comment";
}  // namespace nodekind

// A colour given as 0x00BBGGRR.
QColor oleColor(std::uint32_t bgr);

struct NodeLook {
    int picture;
    QColor textColor;
};
// Picture and text colour of a tree node, by the element's tag (exact case).
NodeLook nodeLook(std::string_view tag);

// Adds the tree of doc to the (emptied) tree. Refuses a document whose top
// element is not "element" with a message; errors while building are shown
// and end the build, keeping the nodes added so far.
void MakeTree(SchemaTreeView& tree, const xml::Document& doc, MessageSink& messages);

// Adds a tree node for node if it is an element, then recurses into its
// children below that node (or below parent for anything else).
void AddTreeNodes(const xml::Node& node, QTreeWidgetItem* parent, SchemaTreeView& tree);

}  // namespace trelmo::ui
