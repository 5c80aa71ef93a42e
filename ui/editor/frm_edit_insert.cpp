// The pop-up menu of the tree: inserting a child node and deleting a node.
#include <QMenu>
#include <QTreeWidget>

#include "engine/error.h"
#include "ui/editor/frm_edit.h"
#include "ui/editor/load_dsd.h"
#include "ui/editor/schema_edits.h"
#include "ui/editor/schema_tree_view.h"

namespace trelmo::ui {

namespace {

const Message kNoNodeSelected{"ノードを選択してください。", MsgButtons::Ok, MsgIcon::Exclamation,
                              0};

int depthOf(const QTreeWidgetItem* node) {
    int depth = 1;
    for (const QTreeWidgetItem* p = node->parent(); p; p = p->parent()) ++depth;
    return depth;
}

}  // namespace

// A right press has selected the node under the pointer (or left the
// selection where it was, when the user kept the typed values); the menu comes
// up only over the selected node, which the commands act on.
void FrmEdit::TreeView1_MouseUp(Qt::MouseButton button, const QPoint& pos) {
    QTreeWidgetItem* hit = TreeView1->itemAt(pos);
    if (hit && button == Qt::RightButton && hit == TreeView1->selectedNode())
        PopMnu->exec(TreeView1->viewport()->mapToGlobal(pos));
}

// The commands need a selected node; without one they say so.
QTreeWidgetItem* FrmEdit::CommandTarget() {
    if (!document_->doc()) return nullptr;
    QTreeWidgetItem* selected = TreeView1->selectedNode();
    if (!selected) {
        services_.messages.show(kNoNodeSelected);
        return nullptr;
    }
    return ResolvePendingEdit() ? selected : nullptr;
}

void FrmEdit::InsertCommand(std::string_view kind) {
    try {
        QTreeWidgetItem* selected = CommandTarget();
        if (!selected) return;
        if (document_->element(TreeIndexOf(selected)).name() != nodekind::Element) {
            services_.messages.show(Message{"elementにしか子要素を挿入できません。", MsgButtons::Ok,
                                            MsgIcon::Exclamation, 0});
            return;
        }
        // A schema nested deeper than a load reads would neither open nor convert.
        if (depthOf(selected) >= xml::Document::kMaxLoadDepth) {
            services_.messages.show(Message{
                "これより深い階層には挿入できません（最大" +
                    std::to_string(xml::Document::kMaxLoadDepth) + "階層）。",
                MsgButtons::Ok, MsgIcon::Exclamation, 0});
            return;
        }
        InsertNode(kind);
    } catch (const std::exception& e) {
        showError(e, MsgIcon::Critical);
    }
}

void FrmEdit::InsertNode(std::string_view kind) {
    try {
        const int t = TreeIndexOf(TreeView1->selectedNode());
        xml::Node n = document_->doc()->createElement(kind);
        if (kind == nodekind::Attribute || kind == nodekind::Element)
            n.setAttribute("name", kind);
        document_->push(std::make_unique<InsertNodeEdit>(document_->element(t), n));

        UpdateViews(n);
        // The target keeps its tree index; its last child is the new node.
        QTreeWidgetItem* target = TreeView1->node(t);
        if (!target || target->childCount() == 0) throw subscriptOutOfRangeError();
        TreeView1->selectNode(target->child(target->childCount() - 1));
        MyTreeView1_NodeClick(TreeView1->selectedNode());
    } catch (const std::exception& e) {
        showError(e, MsgIcon::Critical);
    }
}

void FrmEdit::PopMnuDel_Click() {
    try {
        QTreeWidgetItem* selected = CommandTarget();
        if (!selected) return;
        const int t = TreeIndexOf(selected);
        if (t < 2) {
            services_.messages.show(
                Message{"削除できません", MsgButtons::Ok, MsgIcon::Exclamation, 0});
            return;
        }
        const int q = TreeIndexOf(selected->parent());
        document_->push(std::make_unique<DeleteNodeEdit>(document_->element(t)));

        UpdateViews(document_->element(q));
        // The former parent precedes the removed node, so its index holds.
        QTreeWidgetItem* parent = TreeView1->node(q);
        if (!parent) throw subscriptOutOfRangeError();
        TreeView1->selectNode(parent);
        MyTreeView1_NodeClick(TreeView1->selectedNode());
    } catch (const std::exception& e) {
        showError(e, MsgIcon::Critical);
    }
}

}  // namespace trelmo::ui
