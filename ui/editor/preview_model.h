#pragma once
// The table behind ListView2, the CSV preview: numbered columns, one row per
// record. LoadCSVToListView fills it through the generic list interface.
// Each row keeps its fields in one buffer, so large files stay cheap.

#include <QAbstractTableModel>
#include <QStringList>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/csv/csv.h"

namespace trelmo::ui {

class PreviewModel : public QAbstractTableModel, public CsvListTarget {
    Q_OBJECT
public:
    explicit PreviewModel(QObject* parent = nullptr);

    // CsvListTarget
    void clearHeaders() override;
    void addHeader(const std::string& text) override;
    void clearItems() override;
    void addItem(std::vector<std::string> fields) override;

    // Fills without telling the views row by row; they see the result when
    // the load ends (with the object's destruction).
    class BulkLoad {
    public:
        explicit BulkLoad(PreviewModel& model);
        ~BulkLoad();
        BulkLoad(const BulkLoad&) = delete;
        BulkLoad& operator=(const BulkLoad&) = delete;

    private:
        PreviewModel& model_;
    };

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The text of one cell, empty for a field that the record lacks.
    QString cell(int row, int column) const;

    // Marks the headers of the columns that the schema uses: bold, with a
    // mark, and a tooltip listing the nodes (one text per column, empty for
    // a column no node uses).
    void setColumnUses(std::vector<QString> tooltips);

private:
    struct Row {
        std::string text;                 // the fields one after another
        std::vector<std::uint32_t> ends;  // end offset of each field in text
    };

    QStringList headers_;
    std::vector<Row> rows_;
    std::vector<QString> uses_;  // per column, the tooltip of a used one
    bool bulk_ = false;
};

}  // namespace trelmo::ui
