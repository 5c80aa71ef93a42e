// Undo and redo. Inserting, deleting and registering go through one history
// of edits; a step back or forth is shown as the edit itself was: the views
// rebuilt, the node it touched selected and loaded into the panel.
#include <QTreeWidget>
#include <algorithm>

#include "ui/editor/frm_edit.h"
#include "ui/editor/schema_document.h"
#include "ui/editor/schema_tree_view.h"

namespace trelmo::ui {

void FrmEdit::mnuEditUndo_Click() {
    if (ResolvePendingEdit()) ShowStep(document_->undo());
}

void FrmEdit::mnuEditRedo_Click() {
    if (ResolvePendingEdit()) ShowStep(document_->redo());
}

void FrmEdit::ShowStep(const SchemaDocument::Step& step) {
    if (!step.taken || !document_->doc()) return;
    try {
        UpdateViews(step.touched);
        const std::vector<xml::Node>& list = document_->nodeList();
        const auto found = std::find(list.begin(), list.end(), step.touched);
        QTreeWidgetItem* node =
            found == list.end() ? nullptr
                                : TreeView1->node(static_cast<int>(found - list.begin()) + 1);
        if (node) TreeView1->selectNode(node);
        if (node)
            MyTreeView1_NodeClick(node);
        else
            ShowNoNode();
        if (step.error) std::rethrow_exception(step.error);
    } catch (const std::exception& e) {
        showError(e, MsgIcon::Critical);
    }
}

}  // namespace trelmo::ui
