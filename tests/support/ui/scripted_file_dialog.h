#pragma once
// A file-dialog backend for tests: answers from a queue of choices, cancels
// and failures, and records how each dialog was shown.

#include <deque>
#include <string>
#include <vector>

#include "ui/common/file_dialog.h"

namespace trelmo::test {

class ScriptedFileDialog : public ui::FileDialogBackend {
public:
    struct Shown {
        ui::FileDialogMode mode;
        ui::FileDialogSettings settings;
    };

    // The next dialogs answer, in order; with nothing queued a dialog cancels.
    void choose(const QString& path) { script_.push_back({Kind::Choose, path, 0, {}}); }
    void cancel() { script_.push_back({Kind::Cancel, {}, 0, {}}); }
    void fail(int number, std::string description) {
        script_.push_back({Kind::Fail, {}, number, std::move(description)});
    }

    std::optional<QString> run(ui::FileDialogMode mode, const ui::FileDialogSettings& settings) override;

    std::vector<Shown> shown;

private:
    enum class Kind { Choose, Cancel, Fail };
    struct Step {
        Kind kind;
        QString path;
        int number;
        std::string description;
    };
    std::deque<Step> script_;
};

}  // namespace trelmo::test
