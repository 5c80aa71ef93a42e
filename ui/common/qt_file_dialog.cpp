#include "ui/common/qt_file_dialog.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

#include "ui/common/qt_cursor.h"

namespace trelmo::ui {
namespace {

// One pattern of the filter as Qt wildcards.
QStringList qtPatterns(const QString& pattern) {
    QStringList result;
    for (QString p : pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        p = p.trimmed();
        if (p.isEmpty()) continue;
        if (p == QLatin1String("*.*")) p = QStringLiteral("*");
        result << p;
        // Files made on other systems often have upper-case extensions.
        if (p.toUpper() != p) result << p.toUpper();
    }
    return result;
}

}  // namespace

QStringList qtNameFilters(const QString& filter) {
    QStringList result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QStringList patterns = qtPatterns(parts[i + 1]);
        if (patterns.isEmpty()) continue;
        // Qt reads the patterns from the last parentheses and, with
        // HideNameFilterDetails, shows only what comes before them.
        result << parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return result;
}

void configureFileDialog(QFileDialog& dialog, FileDialogMode mode, const FileDialogSettings& settings) {
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    dialog.setWindowTitle(settings.title);
    const bool save = mode == FileDialogMode::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // "File must exist" has no meaning for a save dialog.
    const bool mustExist = !save && (settings.flags & dlgflags::FileMustExist) != 0;
    dialog.setFileMode(mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !(save && (settings.flags & dlgflags::OverwritePrompt)));
    // For opening, CommonDialog adds the default extension itself, and only
    // to a name that does not exist as it is.
    dialog.setDefaultSuffix(save ? settings.defaultExt : QString());

    const QStringList filters = qtNameFilters(settings.filter);
    if (filters.isEmpty()) {
        dialog.setNameFilters({});
    } else {
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(filters.first());
    }

    // Always start from a definite folder: nothing is remembered between runs.
    const QFileInfo given(settings.fileName);
    if (!settings.fileName.isEmpty() && given.isAbsolute()) {
        dialog.setDirectory(given.absolutePath());
        dialog.selectFile(given.fileName());
    } else {
        dialog.setDirectory(QDir::currentPath());
        if (!settings.fileName.isEmpty()) dialog.selectFile(settings.fileName);
    }
}

std::optional<QString> QtFileDialogBackend::run(FileDialogMode mode, const FileDialogSettings& settings) {
    QWidget* parent = owner_.data();
    if (!parent) parent = QApplication::activeModalWidget();
    if (!parent) parent = QApplication::activeWindow();
    QFileDialog dialog(parent);
    configureFileDialog(dialog, mode, settings);
    const NormalPointer pointer;
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.first().isEmpty()) return std::nullopt;
    return QDir::toNativeSeparators(chosen.first());
}

}  // namespace trelmo::ui
