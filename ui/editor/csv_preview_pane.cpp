#include "ui/editor/csv_preview_pane.h"

#include <QHeaderView>
#include <limits>

#include "engine/convert/conversion.h"
#include "engine/csv/csv.h"
#include "engine/error.h"
#include "ui/common/engine_path.h"
#include "ui/common/file_dialog.h"
#include "ui/editor/column_uses.h"
#include "ui/editor/csv_preview_view.h"
#include "ui/editor/preview_model.h"
#include "ui/editor/schema_document.h"
#include "ui/editor/skip_step.h"
#include "ui/editor/twips.h"

namespace trelmo::ui {

CsvPreviewPane::CsvPreviewPane(const SchemaDocument& document, CommonDialog& dialog,
                               MessageSink& messages, QObject* parent)
    : QObject(parent),
      document_(document),
      dialog_(dialog),
      messages_(messages),
      csvPreview_(new CsvPreviewView),
      records_(new PreviewModel(this)) {
    csvPreview_->setModel(records_);
    csvPreview_->setRootIsDecorated(false);
    csvPreview_->setItemsExpandable(false);
    csvPreview_->setUniformRowHeights(true);
    csvPreview_->setSelectionBehavior(QAbstractItemView::SelectRows);
    csvPreview_->header()->setStretchLastSection(false);
    csvPreview_->header()->setDefaultSectionSize(px(1440));

    // The marks follow every change of the schema's nodes.
    const auto mark = [this] { markUsedColumns(); };
    connect(&document_, &SchemaDocument::reset, this, mark);
    connect(&document_, &SchemaDocument::nodesInserted, this, mark);
    connect(&document_, &SchemaDocument::nodesRemoved, this, mark);
    connect(&document_, &SchemaDocument::nodeChanged, this, mark);
    // The schema's header records are marked in the list.
    const auto header = [this] { csvPreview_->setHeaderCount(document_.headerRows()); };
    connect(&document_, &SchemaDocument::reset, this, header);
    connect(&document_, &SchemaDocument::settingsChanged, this, header);
}

int CsvPreviewPane::columnCount() const { return records_->columnCount(); }

bool CsvPreviewPane::clear() {
    try {
        records_->clearItems();
        records_->clearHeaders();
    } catch (const std::exception& e) {
        showError(e);
        return false;
    }
    path_.clear();
    emit listChanged();
    return true;
}

void CsvPreviewPane::chooseAndOpen() {
    if (!clear()) return;
    dialog_.settings.defaultExt = QStringLiteral("csv");
    if (!dialog_.choose(FileDialogMode::Open, QStringLiteral("CSVを選択してください"),
                        QStringLiteral("CSVファイル(*.csv)|*.csv|すべてのﾌｧｲﾙ (*.*)|*.*"),
                        dlgflags::FileMustExist | dlgflags::ExtensionDifferent | dlgflags::HideReadOnly, messages_))
        return;
    open(enginePath(dialog_.settings.fileName));
}

void CsvPreviewPane::open(const std::string& path) {
    if (!clear()) return;
    path_ = path;
    emit opened();

    // From here a failing step is skipped and the next one runs. A file
    // without records, or that cannot be read, leaves the list empty and is
    // told as a conversion tells it; a record longer than the first ends the
    // list before it.
    try {
        try {
            // The views see the whole list at once, when the load ends.
            const PreviewModel::BulkLoad bulk(*records_);
            CSV().LoadCSVToListView(path, *records_);
        } catch (const RuntimeError& e) {
            const bool listed = records_->rowCount() > 0;
            if (e.number() != err::SubscriptOutOfRange)
                messages_.show(e.description(), MsgIcon::Exclamation);
            else if (!listed)
                messages_.show(kNoValidData, MsgIcon::Exclamation);
        }
        skipFailingStep([&] {
            const int columns = records_->columnCount();
            if (columns > std::numeric_limits<std::int16_t>::max()) throw overflowError();
            emit columnsChanged(columns);
        });
    } catch (const std::exception& e) {
        showError(e);
    }
    markUsedColumns();
    csvPreview_->setHeaderCount(document_.headerRows());
    emit listChanged();
}

void CsvPreviewPane::markUsedColumns() {
    std::vector<QString> tooltips;
    try {
        if (document_.doc()) {
            const auto uses = columnUses(*document_.doc(), records_->columnCount());
            tooltips.reserve(uses.size());
            for (const std::vector<std::string>& nodes : uses) {
                QString text;
                if (!nodes.empty()) text = QStringLiteral("この列を使うノード：");
                for (const std::string& n : nodes) text += "\n" + QString::fromStdString(n);
                tooltips.push_back(std::move(text));
            }
        }
    } catch (const std::exception& e) {
        showError(e);
    }
    records_->setColumnUses(std::move(tooltips));
}

void CsvPreviewPane::showError(const std::exception& error) {
    messages_.show(describeError(error), MsgIcon::Critical);
}

}  // namespace trelmo::ui
