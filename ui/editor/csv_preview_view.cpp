#include "ui/editor/csv_preview_view.h"

#include <QApplication>
#include <QDrag>
#include <QHeaderView>
#include <QHelpEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QToolTip>
#include <algorithm>

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

namespace {

const char* const kHeaderRowTip = "見出し行（変換されません）";

// Header rows greyed, in italics, on a tinted ground, with a tooltip. The
// current cell is framed, so that a column shows within a selected row.
class HeaderRowsDelegate : public QStyledItemDelegate {
public:
    explicit HeaderRowsDelegate(CsvPreviewView& view) : QStyledItemDelegate(&view), view_(view) {}

    bool helpEvent(QHelpEvent* event, QAbstractItemView* itemView, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override {
        if (event->type() == QEvent::ToolTip && view_.isHeaderRow(index.row())) {
            QToolTip::showText(event->globalPos(), QString::fromUtf8(kHeaderRowTip), itemView);
            return true;
        }
        return QStyledItemDelegate::helpEvent(event, itemView, option, index);
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        if (index != view_.currentIndex()) return;
        const bool selected = option.state & QStyle::State_Selected;
        painter->save();
        painter->setPen(QPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Highlight), 2));
        painter->drawRect(option.rect.adjusted(1, 1, -1, -1));
        painter->restore();
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (!view_.isHeaderRow(index.row())) return;
        const QColor grey = option->palette.color(QPalette::Disabled, QPalette::Text);
        option->palette.setColor(QPalette::Text, grey);
        option->palette.setColor(QPalette::HighlightedText, grey);
        option->font.setItalic(true);
        option->backgroundBrush = option->palette.brush(QPalette::AlternateBase);
    }

private:
    const CsvPreviewView& view_;
};

// Column titles from the view, which knows the header records.
class ColumnTitleHeader : public QHeaderView {
public:
    explicit ColumnTitleHeader(const CsvPreviewView& view) : QHeaderView(Qt::Horizontal), view_(view) {}

protected:
    void initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const override {
        QHeaderView::initStyleOptionForIndex(option, logicalIndex);
        option->text = view_.columnTitle(logicalIndex);
    }

private:
    const CsvPreviewView& view_;
};

}  // namespace

CsvPreviewView::CsvPreviewView(QWidget* parent) : QTreeView(parent) {
    setHeader(new ColumnTitleHeader(*this));
    setItemDelegate(new HeaderRowsDelegate(*this));
    // A dragged header carries its column instead of moving it.
    header()->setSectionsMovable(false);
    header()->viewport()->installEventFilter(this);
}

void CsvPreviewView::setHeaderCount(int count) {
    count = std::max(count, 0);
    if (count == headerCount_) return;
    headerCount_ = count;
    viewport()->update();
    header()->viewport()->update();
}

QString CsvPreviewView::columnTitle(int column) const {
    const QAbstractItemModel* list = model();
    const QString number = list ? list->headerData(column, Qt::Horizontal).toString() : QString();
    const int last = list ? std::min(headerCount_, list->rowCount()) - 1 : -1;
    if (last < 0) return number;
    const QString title = list->index(last, column).data().toString().simplified();  // one line
    return title.isEmpty() ? number : number + QStringLiteral(": ") + title;
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
