// Saving the schema: the check, the save dialog and the file.
#include "engine/error.h"
#include "ui/common/engine_path.h"
#include "ui/editor/frm_edit.h"

namespace trelmo::ui {

void FrmEdit::SaveSchema() {
    try {
        if (!document_->doc()) return;
        if (!ResolvePendingEdit()) return;
        if (!ValidateSchema()) return;
        FileDialogSettings& dlg = CommonDialog1.settings;
        dlg.title = QStringLiteral("保存");
        dlg.fileName.clear();
        dlg.cancelError = true;
        dlg.defaultExt = QStringLiteral("dsd");
        dlg.filter = QStringLiteral("DataSourceDefinition(*.dsd)|*.dsd|すべてのﾌｧｲﾙ (*.*)|*.*");
        dlg.flags = dlgflags::OverwritePrompt;
    } catch (const std::exception& e) {
        showError(e, MsgIcon::Critical);
        return;
    }
    if (!CommonDialog1.choose(FileDialogMode::Save, services_.messages)) return;

    // The DOM writes a new file and puts it in place only when every byte was
    // written, so a failed write leaves an existing file as it was.
    try {
        document_->doc()->save(enginePath(CommonDialog1.settings.fileName));
    } catch (const std::exception& e) {
        showError(e, MsgIcon::None);
        return;
    }
    document_->setModified(false);
}

}  // namespace trelmo::ui
