// Saving the schema.
#include "ui/editor/frm_edit.h"

namespace trelmo::ui {

void FrmEdit::SaveSchema() {
    // Checks the schema and writes it to a file chosen in the save dialog (to come).
}

}  // namespace trelmo::ui
