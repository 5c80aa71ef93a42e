#include "ui/start/editor_start.h"

#include <QCoreApplication>

namespace trelmo::ui {

std::unique_ptr<FrmEdit> showSchemaEditor(UiServices& services, const std::string& file) {
    auto editor = std::make_unique<FrmEdit>(services);
    // Closing goes through the editor's question about unsaved changes; once
    // it has closed there is nothing left to show.
    QObject::connect(editor.get(), &QDialog::finished, QCoreApplication::instance(), &QCoreApplication::quit);
    editor->show();
    if (!file.empty()) editor->openSchemaFile(file);
    return editor;
}

}  // namespace trelmo::ui
