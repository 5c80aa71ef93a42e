#pragma once
// The CSV preview pane: the records of the CSV chosen with "CSVを開く" (or
// dropped), listed with their columns, the columns the schema uses marked.
// The list is the source of the columns dragged onto the tree.

#include <QObject>
#include <string>

#include "engine/messages.h"

namespace trelmo::ui {

class CommonDialog;
class CsvPreviewView;
class PreviewModel;
class SchemaDocument;

class CsvPreviewPane : public QObject {
    Q_OBJECT
public:
    CsvPreviewPane(const SchemaDocument& document, CommonDialog& dialog, MessageSink& messages,
                   QObject* parent = nullptr);

    // The list, for the window to place.
    CsvPreviewView* csvPreview() const { return csvPreview_; }
    PreviewModel& records() const { return *records_; }
    // The file listed; empty for none.
    const std::string& path() const { return path_; }
    int columnCount() const;

    // Empties the list, asks for a CSV and lists it.
    void chooseAndOpen();
    // Lists the file, read afresh even when it is the one listed.
    void open(const std::string& path);
    // Nothing listed. False when emptying failed, which is told.
    bool clear();

signals:
    // A file is being opened (read afresh, even the same file).
    void opened();
    // A file was listed with this many columns.
    void columnsChanged(int count);
    // The list was emptied or filled.
    void listChanged();

private:
    void markUsedColumns();
    void showError(const std::exception& error);

    const SchemaDocument& document_;
    CommonDialog& dialog_;
    MessageSink& messages_;
    CsvPreviewView* csvPreview_;
    PreviewModel* records_;
    std::string path_;
};

}  // namespace trelmo::ui
