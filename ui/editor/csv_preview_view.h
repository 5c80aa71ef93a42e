#pragma once
// ListView2, the CSV preview, as a source of columns: a column dragged by its
// header or by any cell carries its number under a MIME type of our own, which
// the schema tree takes. The schema's header records, which a conversion
// skips, stay at the top of the list greyed and marked, and the last of them
// titles the columns beside their numbers.

#include <QTreeView>
#include <optional>

class QMimeData;

namespace trelmo::ui {

inline constexpr const char* kCsvColumnMimeType = "application/x-trelmo-csv-column";

// The data of a dragged column (counted from 1), and the column of dropped
// data, or nothing when it is not a column of ours.
QMimeData* csvColumnMimeData(int column);
std::optional<int> csvColumnOf(const QMimeData* data);

class CsvPreviewView : public QTreeView {
    Q_OBJECT
public:
    explicit CsvPreviewView(QWidget* parent = nullptr);

    // The number of leading rows that are header records (the schema's
    // `header`); 0 for none.
    void setHeaderCount(int count);
    int headerCount() const { return headerCount_; }
    bool isHeaderRow(int row) const { return row >= 0 && row < headerCount_; }
    // A column's title as the list shows it: its number, and the column's
    // text in the last header record when there is one ("3: 部署").
    QString columnTitle(int column) const;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A press of the left button on a column, then a move beyond the drag
    // distance, drags that column.
    void pressed(const QPoint& pos, int column);
    int sectionToDrag(const QPoint& pos) const;
    bool dragIfMoved(const QPoint& pos, Qt::MouseButtons buttons);

    QPoint pressPos_;
    int pressColumn_ = -1;  // 0-based; -1 when no press started a drag
    int headerCount_ = 0;
};

}  // namespace trelmo::ui
