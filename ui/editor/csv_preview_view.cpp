#include "ui/editor/csv_preview_view.h"

#include <QApplication>
#include <QDrag>
#include <QHeaderView>
#include <QMimeData>
#include <QMouseEvent>
#include <QStyle>

namespace trelmo::ui {

QMimeData* csvColumnMimeData(int column) {
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(kCsvColumnMimeType), QByteArray::number(column));
    return data;
}

std::optional<int> csvColumnOf(const QMimeData* data) {
    const QString type = QString::fromLatin1(kCsvColumnMimeType);
    if (!data || !data->hasFormat(type)) return std::nullopt;
    bool ok = false;
    const int column = data->data(type).toInt(&ok);
    if (!ok || column < 1) return std::nullopt;
    return column;
}

CsvPreviewView::CsvPreviewView(QWidget* parent) : QTreeView(parent) {
    // A dragged header carries its column instead of moving it.
    header()->setSectionsMovable(false);
    header()->viewport()->installEventFilter(this);
}

// The section under the pointer, unless the pointer is on its edges, where a
// press resizes it.
int CsvPreviewView::sectionToDrag(const QPoint& pos) const {
    const int section = header()->logicalIndexAt(pos);
    if (section < 0) return -1;
    const int grip = header()->style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, header());
    const int left = header()->sectionViewportPosition(section);
    const int right = left + header()->sectionSize(section);
    return pos.x() < left + grip || pos.x() >= right - grip ? -1 : section;
}

void CsvPreviewView::pressed(const QPoint& pos, int column) {
    pressPos_ = pos;
    pressColumn_ = column;
}

bool CsvPreviewView::dragIfMoved(const QPoint& pos, Qt::MouseButtons buttons) {
    if (pressColumn_ < 0 || !(buttons & Qt::LeftButton)) return false;
    if ((pos - pressPos_).manhattanLength() < QApplication::startDragDistance()) return false;
    const int column = pressColumn_ + 1;
    pressColumn_ = -1;
    auto* drag = new QDrag(this);
    drag->setMimeData(csvColumnMimeData(column));
    drag->exec(Qt::CopyAction);
    return true;
}

void CsvPreviewView::mousePressEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    pressed(event->position().toPoint(),
            event->button() == Qt::LeftButton && index.isValid() ? index.column() : -1);
    QTreeView::mousePressEvent(event);
}

void CsvPreviewView::mouseMoveEvent(QMouseEvent* event) {
    if (!dragIfMoved(event->position().toPoint(), event->buttons())) QTreeView::mouseMoveEvent(event);
}

bool CsvPreviewView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == header()->viewport()) {
        if (event->type() == QEvent::MouseButtonPress) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            const QPoint pos = mouse->position().toPoint();
            pressed(pos, mouse->button() == Qt::LeftButton ? sectionToDrag(pos) : -1);
        } else if (event->type() == QEvent::MouseMove) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (dragIfMoved(mouse->position().toPoint(), mouse->buttons())) return true;
        }
    }
    return QTreeView::eventFilter(watched, event);
}

}  // namespace trelmo::ui
