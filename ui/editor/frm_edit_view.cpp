// The view menu with the XML preview, and what the preview reads from the
// editor.
#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>

#include "ui/editor/frm_edit.h"
#include "ui/editor/schema_tree_view.h"
#include "ui/preview/xml_preview_window.h"

namespace trelmo::ui {

void FrmEdit::createViewMenu() {
    mnuView = menuBar_->addMenu(QStringLiteral("表示(&V)"));
    mnuView->setObjectName("mnuView");
    mnuViewXmlPreview = mnuView->addAction(QStringLiteral("XMLプレビュー(&X)"));
    mnuViewXmlPreview->setObjectName("mnuViewXmlPreview");
    mnuViewXmlPreview->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    addAction(mnuViewXmlPreview);
    connect(mnuViewXmlPreview, &QAction::triggered, this, [this] { mnuViewXmlPreview_Click(); });
}

void FrmEdit::mnuViewXmlPreview_Click() {
    if (!xmlPreview_) xmlPreview_ = new XmlPreviewWindow(*this);
    xmlPreview_->showBeside();
}

QString FrmEdit::rootNameText() const { return Text1->text(); }

QString FrmEdit::encodingText() const { return txtEncoding->text(); }

void FrmEdit::selectTreeIndex(int treeIndex) {
    QTreeWidgetItem* node = TreeView1->node(treeIndex);
    if (!node || !ResolvePendingEdit()) return;
    TreeView1->scrollToItem(node);
    TreeView1->selectNode(node);
    TreeView1_NodeClick(node);
    activateWindow();
}

void FrmEdit::focusRootName() {
    activateWindow();
    Text1->setFocus();
    Text1->selectAll();
}

}  // namespace trelmo::ui
