#include "ui/common/file_dialog.h"

#include <QFileInfo>

#include "engine/error.h"

namespace trelmo::ui {
namespace {

// The chosen name with the default extension when it has none. An open
// dialog keeps a name that exists as it is.
QString withDefaultExt(const QString& path, const QString& defaultExt, FileDialogMode mode) {
    if (defaultExt.isEmpty()) return path;
    const QFileInfo info(path);
    if (info.fileName().contains(QLatin1Char('.'))) return path;
    if (mode == FileDialogMode::Open && info.exists()) return path;
    return path + QLatin1Char('.') + defaultExt;
}

}  // namespace

void CommonDialog::showOpen() { show(FileDialogMode::Open); }
void CommonDialog::showSave() { show(FileDialogMode::Save); }

void CommonDialog::show(FileDialogMode mode) {
    FileDialogSettings shown = settings;
    if (shown.initDir.isEmpty()) shown.initDir = lastFolder_;
    const std::optional<QString> chosen = backend_.run(mode, shown);
    if (!chosen || chosen->isEmpty()) {
        settings.fileName.clear();
        if (settings.cancelError) throw RuntimeError(err::Cancelled, "キャンセルされました。");
        return;
    }
    settings.fileName = withDefaultExt(*chosen, settings.defaultExt, mode);
    lastFolder_ = QFileInfo(settings.fileName).absolutePath();
}

bool CommonDialog::choose(FileDialogMode mode, MessageSink& messages) {
    try {
        show(mode);
    } catch (const RuntimeError& e) {
        if (e.number() != err::Cancelled) messages.show(e.description());
        return false;
    } catch (const std::exception& e) {
        messages.show(e.what());
        return false;
    }
    return !settings.fileName.isEmpty();
}

bool CommonDialog::choose(FileDialogMode mode, const QString& title, const QString& filter, int flags,
                          MessageSink& messages) {
    settings.title = title;
    settings.fileName.clear();
    settings.cancelError = true;
    settings.filter = filter;
    settings.flags = flags;
    return choose(mode, messages);
}

}  // namespace trelmo::ui
