// The pop-up menu of the tree: inserting a child node and deleting a node.
#include <QMenu>
#include <QTreeWidget>

#include "engine/error.h"
#include "ui/editor/frm_edit.h"
#include "ui/editor/load_dsd.h"
#include "ui/editor/schema_edits.h"
#include "ui/editor/schema_tree_view.h"

namespace trelmo::ui {

// The node under the pointer is outlined while the menu is up; the commands
// act on the selected node, which stays drawn as selected.
void FrmEdit::TreeView1_MouseUp(Qt::MouseButton button, const QPoint& pos) {
    QTreeWidgetItem* hit = TreeView1->itemAt(pos);
    TreeView1->setDropHighlight(hit);
    if (hit && button == Qt::RightButton) PopMnu->exec(TreeView1->viewport()->mapToGlobal(pos));
    TreeView1->setDropHighlight(nullptr);
}

void FrmEdit::InsertCommand(std::string_view kind) {
    try {
        if (!SchemaDoc) return;
        QTreeWidgetItem* selected = TreeView1->selectedNode();
        if (!selected) return;
        if (SchemaElement(TreeIndexOf(selected)).name() != nodekind::Element) {
            services_.messages.show(Message{"elementにしか子要素を挿入できません。", MsgButtons::Ok,
                                            MsgIcon::Exclamation, 0});
            return;
        }
        InsertNode(kind);
    } catch (const std::exception& e) {
        showError(e, MsgIcon::Critical);
    }
}

void FrmEdit::InsertNode(std::string_view kind) {
    bool inserted = false;
    try {
        const int t = TreeIndexOf(TreeView1->selectedNode());
        xml::Node n = SchemaDoc->createElement(kind);
        if (kind == nodekind::Attribute || kind == nodekind::Element)
            n.setAttribute("name", kind);
        PushEdit(std::make_unique<InsertNodeEdit>(SchemaElement(t), n));
        inserted = true;

        RebuildViews();
        // The target keeps its tree index; its last child is the new node.
        QTreeWidgetItem* target = TreeView1->node(t);
        if (!target || target->childCount() == 0) throw subscriptOutOfRangeError();
        TreeView1->selectNode(target->child(target->childCount() - 1));
        RefreshNodeList();
        Modified = true;
        MyTreeView1_NodeClick(TreeView1->selectedNode());
    } catch (const std::exception& e) {
        showError(e, MsgIcon::Critical);
    }
    if (inserted) emit schemaChanged();
}

void FrmEdit::PopMnuDel_Click() {
    bool deleted = false;
    try {
        if (!SchemaDoc) return;
        QTreeWidgetItem* selected = TreeView1->selectedNode();
        if (!selected) return;
        const int t = TreeIndexOf(selected);
        if (t < 2) {
            services_.messages.show(
                Message{"削除できません", MsgButtons::Ok, MsgIcon::Exclamation, 0});
            return;
        }
        const int q = TreeIndexOf(selected->parent());
        PushEdit(std::make_unique<DeleteNodeEdit>(SchemaElement(t)));
        deleted = true;
        Modified = true;

        RebuildViews();
        // The former parent precedes the removed node, so its index holds.
        QTreeWidgetItem* parent = TreeView1->node(q);
        if (!parent) throw subscriptOutOfRangeError();
        TreeView1->selectNode(parent);
        RefreshNodeList();
        TreeView1_NodeClick(TreeView1->selectedNode());
    } catch (const std::exception& e) {
        showError(e, MsgIcon::Critical);
    }
    if (deleted) emit schemaChanged();
}

}  // namespace trelmo::ui
