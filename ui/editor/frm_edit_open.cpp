// Opening a schema file.
#include <QLineEdit>
#include <QTreeWidget>

#include "engine/parse_xml.h"
#include "ui/editor/frm_edit.h"
#include "ui/editor/schema_tree_view.h"

namespace trelmo::ui {

// Empties the editor, then opens; the CSV preview, Text1, Combo2 and
// Modified stay as they are.
void FrmEdit::mnuFileOpenDSD_Click() {
    try {
        ListView1->clear();
        TreeView1->clearNodes();
        SchemaDoc.reset();
        SchemaNodeList.clear();
        txtName->clear();
        txtEncoding->clear();
    } catch (const std::exception& e) {
        showError(e, MsgIcon::Critical);
        return;
    }
    OpenSchema();
    emit schemaChanged();
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
    const std::string path = CommonDialog1.settings.fileName.toStdString();

    // From here a failing step is skipped and the next one runs. The parser
    // tells about a file that does not load; nothing more is said here.
    const auto step = [](auto&& work) {
        try {
            work();
        } catch (const std::exception&) {
        }
    };
    bool loaded = false;
    step([&] { SchemaDoc.emplace(); });
    step([&] {
        if (SchemaDoc) ParseXML(services_.messages).Parse(*SchemaDoc, path);
    });
    step([&] { loaded = SchemaDoc && isLoaded(*SchemaDoc); });
    if (!loaded) return;
    ShowSchemaDoc();
}

}  // namespace trelmo::ui
