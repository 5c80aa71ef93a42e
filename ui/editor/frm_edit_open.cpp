// Opening a schema file.
#include <QLineEdit>
#include <QTreeWidget>

#include "engine/convert/parse_xml.h"
#include "ui/common/engine_path.h"
#include "ui/editor/frm_edit.h"
#include "ui/editor/schema_tree_view.h"
#include "ui/editor/skip_step.h"

namespace trelmo::ui {

// Asks about unsaved changes, empties the editor, then opens; the CSV
// preview, Text1 and Combo2 stay as they are.
void FrmEdit::mnuFileOpenDSD_Click() {
    if (!ClearForOpen()) return;
    OpenSchema();
}

void FrmEdit::OpenSchemaFile(const QString& path) { OpenSchemaFile(enginePath(path)); }

void FrmEdit::OpenSchemaFile(const std::string& path) {
    if (!ClearForOpen()) return;
    LoadSchemaFile(path);
}

bool FrmEdit::ClearForOpen() {
    if (!MayReplaceSchema()) return false;
    try {
        ListView1->clear();
        TreeView1->clearNodes();
        document_->clear();
        txtName->clear();
        txtEncoding->clear();
        ShowNoNode();
    } catch (const std::exception& e) {
        showError(e, MsgIcon::Critical);
        return false;
    }
    return true;
}

void FrmEdit::OpenSchema() {
    try {
        FileDialogSettings& dlg = CommonDialog1.settings;
        dlg.title = QStringLiteral("開く");
        dlg.fileName.clear();
        dlg.cancelError = true;
        dlg.filter = QStringLiteral("スキーマﾌｧｲﾙ (*.dsd)|*.dsd|すべてのﾌｧｲﾙ (*.*)|*.*");
        dlg.flags = dlgflags::FileMustExist | dlgflags::HideReadOnly;
    } catch (const std::exception& e) {
        showError(e, MsgIcon::Critical);
        return;
    }
    if (!CommonDialog1.choose(FileDialogMode::Open, services_.messages)) return;
    LoadSchemaFile(enginePath(CommonDialog1.settings.fileName));
}

void FrmEdit::LoadSchemaFile(const std::string& path) {
    // From here a failing step is skipped and the next one runs. The parser
    // tells about a file that does not load; nothing more is said here.
    try {
        bool loaded = false;
        skipFailingStep([&] {
            document_->replace();
        });
        skipFailingStep([&] {
            if (document_->doc()) ParseXML(services_.messages).Parse(*document_->doc(), path, xml::SourceFile::RegularOnly);
        });
        skipFailingStep([&] { loaded = document_->doc() && isLoaded(*document_->doc()); });
        if (loaded) ShowSchemaDoc();
    } catch (const std::exception& e) {
        showError(e, MsgIcon::Critical);
    }
    document_->notifyChanged();
}

}  // namespace trelmo::ui
