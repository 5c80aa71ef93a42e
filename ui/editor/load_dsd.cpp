#include "ui/editor/load_dsd.h"

#include "engine/error.h"
#include "ui/editor/image_list.h"
#include "ui/editor/schema_tree_view.h"

namespace trelmo::ui {

QColor oleColor(std::uint32_t bgr) {
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

NodeLook nodeLook(std::string_view tag) {
    if (tag == nodekind::Element) return {picture::Closed, oleColor(0xC00000)};
    if (tag == nodekind::Attribute) return {picture::Arrow, oleColor(0x0080FF)};
    if (tag == nodekind::Text) return {picture::Sheet, oleColor(0x000040)};
    if (tag == nodekind::CDataSection) return {picture::Sheet, oleColor(0x008000)};
    if (tag == nodekind::Comment) return {picture::Sheet, oleColor(0x808080)};
    return {picture::Asterisk, oleColor(0x0000FF)};
}

void MakeTree(SchemaTreeView& tree, const xml::Document& doc, MessageSink& messages) {
    try {
        const xml::Node top = doc.documentElement();
        if (!top) return;
        const std::string tag = top.name();
        if (tag != nodekind::Element) {
            messages.show("最上位のノードは<element>でなければなりません。\r\n<" + tag +
                          "> ではじまりました。");
            return;
        }
        const NodeLook look = nodeLook(tag);
        QTreeWidgetItem* root = tree.addNode(nullptr, QString::fromStdString(tag), look.picture,
                                             picture::Open, look.textColor);
        root->setExpanded(true);
        for (const xml::Node& child : top.children()) AddTreeNodes(child, root, tree);
    } catch (const RuntimeError& e) {
        messages.show(e.description());
    }
}

void AddTreeNodes(const xml::Node& node, QTreeWidgetItem* parent, SchemaTreeView& tree) {
    QTreeWidgetItem* current = parent;
    if (node.type() == xml::NodeType::Element) {
        const std::string tag = node.name();
        const NodeLook look = nodeLook(tag);
        current = tree.addNode(parent, QString::fromStdString(tag), look.picture, picture::Open,
                               look.textColor);
    }
    if (node.hasChildNodes()) {
        for (const xml::Node& child : node.children()) AddTreeNodes(child, current, tree);
    }
}

}  // namespace trelmo::ui
