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

// Qt's file dialog keeps its last folder, history and column widths in a
// settings file of the user's; the program keeps no settings between runs, so
// this sends Qt's settings nowhere (for the whole process).
void keepNoQtSettings();

// Sets up the dialog for one use (separate so tests can check it).
void configureFileDialog(QFileDialog& dialog, FileDialogMode mode, const FileDialogSettings& settings);

// Qt's file dialog as the choosers show it. Opening a file that must exist,
// a name typed without extension that is not found as it is gets the default
// extension before the check ("people" finds people.csv); a name not found
// either way is refused with Qt's "file not found" message.
class ChooserDialog final : public QFileDialog {
public:
    ChooserDialog(QWidget* parent, FileDialogMode mode, const FileDialogSettings& settings);
    void accept() override;

private:
    bool mustExist_ = false;
    QString openExt_;  // the default extension of an open dialog
};

}  // namespace trelmo::ui
