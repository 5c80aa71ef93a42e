// Undo and redo. Inserting, deleting and registering go through one history
// of edits; a step back or forth is shown as the edit itself was: the views
// rebuilt, the node it touched selected and loaded into the panel.
#include <QTreeWidget>
#include <QUndoStack>
#include <algorithm>

#include "ui/editor/frm_edit.h"
#include "ui/editor/schema_edits.h"
#include "ui/editor/schema_tree_view.h"

namespace trelmo::ui {

void FrmEdit::PushEdit(std::unique_ptr<SchemaEdit> edit) {
    edit->applyFirst();
    undoStack_->push(edit.release());
}

void FrmEdit::ShowStep(int index) {
    const auto* edit = dynamic_cast<const SchemaEdit*>(undoStack_->command(index));
    if (!edit || !SchemaDoc) return;
    const std::exception_ptr error = edit->error();
    const xml::Node touched = edit->touched();
    // After a step that failed, the history no longer matches the document.
    if (error) ClearHistory();
    Modified = true;
    try {
        RebuildViews();
        const auto found = std::find(SchemaNodeList.begin(), SchemaNodeList.end(), touched);
        QTreeWidgetItem* node =
            found == SchemaNodeList.end()
                ? nullptr
                : TreeView1->node(static_cast<int>(found - SchemaNodeList.begin()) + 1);
        if (node) TreeView1->selectNode(node);
        RefreshNodeList();
        if (node)
            MyTreeView1_NodeClick(node);
        else
            ShowNoNode();
        if (error) std::rethrow_exception(error);
    } catch (const std::exception& e) {
        showError(e, MsgIcon::Critical);
    }
    emit schemaChanged();
}

void FrmEdit::ClearHistory() { undoStack_->clear(); }

}  // namespace trelmo::ui
