// Opening a schema file.
#include "ui/editor/frm_edit.h"

namespace trelmo::ui {

void FrmEdit::mnuFileOpenDSD_Click() { OpenSchema(); }

void FrmEdit::OpenSchema() {
    // Asks for a .dsd file and shows it (to come).
}

}  // namespace trelmo::ui
