#pragma once
// File dialogs over QFileDialog (Qt's own dialog, the same on every desktop).

#include <QFileDialog>
#include <QPointer>
#include <QStringList>

#include "ui/common/file_dialog.h"

namespace trelmo::ui {

class QtFileDialogBackend final : public FileDialogBackend {
public:
    // Without an owner, each dialog is parented to the active window.
    explicit QtFileDialogBackend(QWidget* owner = nullptr) : owner_(owner) {}
    std::optional<QString> run(FileDialogMode mode, const FileDialogSettings& settings) override;

private:
    QPointer<QWidget> owner_;
};

// "description|pattern|description|pattern" as Qt name filters that show each
// description as written. "*.*" also matches names without a dot, ';' separates
// patterns, and every pattern matches in either letter case.
QStringList qtNameFilters(const QString& filter);

// Sets up the dialog for one use (separate so tests can check it).
void configureFileDialog(QFileDialog& dialog, FileDialogMode mode, const FileDialogSettings& settings);

}  // namespace trelmo::ui
