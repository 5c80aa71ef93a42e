#pragma once
// ListView2, the CSV preview, as a source of columns: a column dragged by its
// header or by any cell carries its number under a MIME type of our own, which
// the schema tree takes.

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
};

}  // namespace trelmo::ui
