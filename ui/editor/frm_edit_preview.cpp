// The CSV preview in ListView2, and one data-source choice per column.
#include <limits>

#include "engine/convert/conversion.h"
#include "engine/csv/csv.h"
#include "engine/error.h"
#include "ui/common/engine_path.h"
#include "ui/editor/frm_edit.h"
#include "ui/editor/preview_model.h"
#include "ui/editor/skip_step.h"

namespace trelmo::ui {

// A new list of choices empties the data-source box, so typed values are
// settled first.
void FrmEdit::mnuFileOpenCSV_Click() {
    if (!ResolvePendingEdit() || !ClearCsvPreview()) return;
    OpenCSVPreview();
    emit schemaChanged();
}

void FrmEdit::OpenCsvFile(const QString& path) {
    if (!ResolvePendingEdit() || !ClearCsvPreview()) return;
    LoadCsvPreview(enginePath(path));
    emit schemaChanged();
}

bool FrmEdit::ClearCsvPreview() {
    try {
        ListView2Items->clearItems();
        ListView2Items->clearHeaders();
    } catch (const std::exception& e) {
        showError(e, MsgIcon::Critical);
        return false;
    }
    csvPreviewPath_.clear();
    return true;
}

void FrmEdit::OpenCSVPreview() {
    try {
        FileDialogSettings& dlg = CommonDialog1.settings;
        dlg.title = QStringLiteral("CSVを選択してください");
        dlg.fileName.clear();
        dlg.cancelError = true;
        dlg.defaultExt = QStringLiteral("csv");
        dlg.filter = QStringLiteral("CSVファイル(*.csv)|*.csv|すべてのﾌｧｲﾙ (*.*)|*.*");
        dlg.flags = dlgflags::FileMustExist | dlgflags::ExtensionDifferent | dlgflags::HideReadOnly;
    } catch (const std::exception& e) {
        showError(e, MsgIcon::Critical);
        return;
    }
    if (!CommonDialog1.choose(FileDialogMode::Open, services_.messages)) return;
    LoadCsvPreview(enginePath(CommonDialog1.settings.fileName));
}

void FrmEdit::LoadCsvPreview(const std::string& path) {
    csvPreviewPath_ = path;
    emit csvOpened();

    // From here a failing step is skipped and the next one runs. A file
    // without records, or that cannot be read, leaves the list empty and is
    // told as a conversion tells it; a record longer than the first ends the
    // list before it.
    try {
        try {
            // The views see the whole list at once, when the load ends.
            const PreviewModel::BulkLoad bulk(*ListView2Items);
            CSV().LoadCSVToListView(path, *ListView2Items);
        } catch (const RuntimeError& e) {
            const bool listed = ListView2Items->rowCount() > 0;
            if (e.number() != err::SubscriptOutOfRange)
                services_.messages.show(e.description(), MsgIcon::Exclamation);
            else if (!listed)
                services_.messages.show(kNoValidData, MsgIcon::Exclamation);
        }
        skipFailingStep([&] {
            const int columns = ListView2Items->columnCount();
            if (columns > std::numeric_limits<std::int16_t>::max()) throw overflowError();
            FillDataSourceList(static_cast<std::int16_t>(columns));
        });
    } catch (const std::exception& e) {
        showError(e, MsgIcon::Critical);
    }
}

}  // namespace trelmo::ui
