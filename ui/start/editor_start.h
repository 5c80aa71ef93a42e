#pragma once
// The schema editor as a program of its own (trelmo-edit).

#include <QString>
#include <memory>
#include <string>

#include "ui/common/services.h"
#include "ui/editor/frm_edit.h"

namespace trelmo::ui {

// Shows the editor, without an owner, and opens `file` in it when one is
// given, as "スキーマを開く" does after its dialog (with its messages). Once the
// editor closes the application's event loop ends.
std::unique_ptr<FrmEdit> showSchemaEditor(UiServices& services, const std::string& file);

}  // namespace trelmo::ui
