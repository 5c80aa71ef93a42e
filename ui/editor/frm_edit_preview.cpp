// The CSV preview in ListView2.
#include "ui/editor/frm_edit.h"

namespace trelmo::ui {

void FrmEdit::mnuFileOpenCSV_Click() { OpenCSVPreview(); }

void FrmEdit::OpenCSVPreview() {
    // Asks for a CSV file and lists it in ListView2 (to come).
}

}  // namespace trelmo::ui
