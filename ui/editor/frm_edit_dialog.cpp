// The file dialog of the editor's file commands.
#include "engine/error.h"
#include "ui/editor/frm_edit.h"

namespace trelmo::ui {

bool FrmEdit::ChooseFile(FileDialogMode mode) {
    try {
        if (mode == FileDialogMode::Save)
            CommonDialog1.showSave();
        else
            CommonDialog1.showOpen();
    } catch (const RuntimeError& e) {
        if (e.number() != err::Cancelled) services_.messages.show(e.description());
        return false;
    } catch (const std::exception& e) {
        showError(e, MsgIcon::None);
        return false;
    }
    return !CommonDialog1.settings.fileName.isEmpty();
}

}  // namespace trelmo::ui
