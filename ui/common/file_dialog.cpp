// Placeholder until the dialog seam lands.
#include "ui/common/file_dialog.h"

namespace trelmo::ui {

void CommonDialog::showOpen() { show(FileDialogMode::Open); }
void CommonDialog::showSave() { show(FileDialogMode::Save); }
void CommonDialog::show(FileDialogMode mode) {
    auto chosen = backend_.run(mode, settings);
    settings.fileName = chosen.value_or(QString());
}

}  // namespace trelmo::ui
