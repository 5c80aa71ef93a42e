#pragma once
// The table of the dialog "CSVの列から作成": one row per column of the CSV
// preview with whether to make a node of it, its number, sample values, the
// name to give and the kind. It proposes the names and marks those that the
// output cannot use.

#include <QAbstractTableModel>
#include <QStringList>
#include <string>
#include <vector>

#include "engine/convert/column_names.h"
#include "ui/editor/column_nodes.h"

namespace trelmo::ui {

class ColumnsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Section { Use, Number, Sample, Name, Kind, SectionCount };

    // firstRecord: each column's value in the first record; samples: the text
    // shown as its sample; encoding: the output encoding the names must fit;
    // takenAttributes: the names of the attributes the element has already.
    ColumnsModel(std::vector<std::string> firstRecord, QStringList samples, const std::string& encoding,
                 std::vector<std::string> takenAttributes = {}, QObject* parent = nullptr);

    // Proposes every name again: "列N", or the first record's values.
    void setNamesFromFirstRecord(bool on);
    bool namesFromFirstRecord() const { return fromFirstRecord_; }

    // Checks or clears every row.
    void setAllUsed(bool use);

    // Every checked row that needs a name has one the output can use, and no
    // attribute row's name is another checked attribute row's or one the
    // element has: the attributes go on one element, whose child elements may
    // share a name.
    bool namesUsable() const { return problems_ == 0; }
    // The checked rows, in column order.
    std::vector<ColumnNode> chosen() const;
    // The schema elements the checked rows make.
    std::size_t elementsToMake() const;

    static QString kindText(ColumnKind kind);
    static constexpr ColumnKind kKinds[] = {ColumnKind::Element, ColumnKind::Attribute,
                                            ColumnKind::CData, ColumnKind::Comment};

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    // Whether every name is usable changed.
    void namesUsableChanged(bool usable);

private:
    enum class Problem { None, NotUsable, Duplicate };
    struct Row {
        bool use = true;
        ColumnKind kind = ColumnKind::Element;
        QString name;
        Problem problem = Problem::None;
    };
    static bool needsName(const Row& row) {
        return row.use && row.kind != ColumnKind::Comment;
    }
    // Checks every row's name again and tells the views.
    void checkNames();

    std::vector<std::string> firstRecord_;
    std::vector<std::string> takenAttributes_;
    QStringList samples_;
    convert::NameRule rule_;
    std::vector<Row> rows_;
    bool fromFirstRecord_ = false;
    int problems_ = 0;
};

}  // namespace trelmo::ui
