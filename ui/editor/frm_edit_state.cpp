// Showing, closing and resizing the editor, and a new schema.
#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QShowEvent>
#include <QTreeView>
#include <QTreeWidget>

#include "engine/error.h"
#include "ui/editor/frm_edit.h"
#include "ui/editor/load_dsd.h"
#include "ui/editor/preview_model.h"
#include "ui/editor/schema_tree_view.h"

namespace trelmo::ui {

// Every showing starts as the first: no document, no history, the controls
// as laid out and Modified false. What is saved is always what is shown.
void FrmEdit::Form_Load() {
    document_->setModified(false);
    document_->clear();
    CommonDialog1.settings = FileDialogSettings{};
    TreeView1->clearNodes();
    ListView1->clear();
    ListView2Items->clearItems();
    ListView2Items->clearHeaders();
    csvPreviewPath_.clear();
    Text1->clear();
    txtEncoding->clear();
    Text2->setText("/RootNodeName");
    txtName->clear();
    Combo2->clear();
    Combo2->clearEditText();
    SetFieldEnabled(txtName, true);
    ShowNoNode();
    SetFieldEnabled(ListView1, true);
    emit schemaChanged();
}

void FrmEdit::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) Form_Load();
    QDialog::showEvent(event);
}

// The client area follows the window; the preview list keeps its full width.
void FrmEdit::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    const int menuHeight = menuBar_->sizeHint().height();
    menuBar_->setGeometry(0, 0, width(), menuHeight);
    client_->setGeometry(0, menuHeight, width(), std::max(0, height() - menuHeight));
    Form_Resize();
}

void FrmEdit::Form_Resize() {
    const QRect r = ListView2->geometry();
    ListView2->setGeometry(0, r.top(), client_->width(), r.height());
}

namespace {
const Message kSaveQuestion{"変更されています。保存しますか？", MsgButtons::YesNoCancel,
                            MsgIcon::None, 0};
}

bool FrmEdit::QueryUnload() {
    if (!ResolvePendingEdit()) return false;
    if (!document_->isModified()) return true;
    switch (services_.messages.show(kSaveQuestion)) {
    case MsgAnswer::Yes:
        SaveSchema();  // the window stays open whatever the save does
        return false;
    case MsgAnswer::No: return true;
    default: return false;
    }
}

bool FrmEdit::MayReplaceSchema() {
    if (!ResolvePendingEdit()) return false;
    if (!document_->isModified()) return true;
    switch (services_.messages.show(kSaveQuestion)) {
    case MsgAnswer::Yes:
        SaveSchema();
        return !document_->isModified();  // only a save that went through
    case MsgAnswer::No:
        document_->setModified(false);  // the changes are dropped
        return true;
    default: return false;
    }
}

void FrmEdit::mnuFileNew_Click() {
    if (MayReplaceSchema()) NewSchema();
}

void FrmEdit::closeEvent(QCloseEvent* event) {
    if (!QueryUnload()) {
        event->ignore();
        return;
    }
    closing_ = true;
    QDialog::closeEvent(event);  // hides the window through reject()
    closing_ = false;
}

// Only a close hides the window: Escape, which QDialog takes for reject(),
// leaves it open.
void FrmEdit::reject() {
    if (closing_) QDialog::reject();
}

void FrmEdit::mnuFileExit_Click() { close(); }

void FrmEdit::Text1_Change() {
    Text2->setText("/" + Text1->text());
    emit schemaChanged();
}

// The root name and the encoding belong to the schema, so typing them is a
// change; without a schema there is nothing to change.
void FrmEdit::Setting_Edited() {
    if (document_->doc() && document_->doc()->documentElement()) document_->setModified(true);
}

void FrmEdit::NewSchema() {
    try {
        document_->replace();
        xml::Document& doc = *document_->doc();
        doc.appendChild(doc.createProcessingInstruction("xml", "version=\"1.0\""));
        xml::Node top = doc.appendChild(doc.createElement(nodekind::Element));
        SetNodeAttribute("name", "element", top);
        txtEncoding->clear();
        Text1->setText("RootNode");
        TreeView1->clearNodes();
        ListView1->clear();
        ListView2Items->clearItems();
        ListView2Items->clearHeaders();
        csvPreviewPath_.clear();
        document_->selectNodeList();
        MakeTree(*TreeView1, doc, services_.messages);
        RefreshNodeList();
        FillDataSourceList(5);
        document_->setModified(true);
        ShowTopNode();
    } catch (const std::exception& e) {
        showError(e, MsgIcon::Critical);
    }
    document_->notifyChanged();
}

void FrmEdit::SetNodeAttribute(const std::string& attrName, const std::string& value,
                               xml::Node element) {
    try {
        element.setAttribute(attrName, value);
    } catch (const std::exception& e) {
        showError(e, MsgIcon::None);
    }
}

void FrmEdit::showError(const std::exception& error, MsgIcon icon) {
    const auto* runtime = dynamic_cast<const RuntimeError*>(&error);
    services_.messages.show(runtime ? runtime->description() : std::string(error.what()), icon);
}

}  // namespace trelmo::ui
