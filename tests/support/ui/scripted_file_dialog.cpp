#include "tests/support/ui/scripted_file_dialog.h"

#include "engine/error.h"

namespace trelmo::test {

std::optional<QString> ScriptedFileDialog::run(ui::FileDialogMode mode, const ui::FileDialogSettings& settings) {
    shown.push_back({mode, settings});
    if (script_.empty()) return std::nullopt;
    const Step step = script_.front();
    script_.pop_front();
    switch (step.kind) {
    case Kind::Choose: return step.path;
    case Kind::Cancel: return std::nullopt;
    case Kind::Fail: throw RuntimeError(step.number, step.description);
    }
    return std::nullopt;
}

}  // namespace trelmo::test
