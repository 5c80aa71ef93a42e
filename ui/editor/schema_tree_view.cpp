#include "ui/editor/schema_tree_view.h"

#include <QDragEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

#include "ui/editor/csv_preview_view.h"

namespace trelmo::ui {

namespace {
// Outlines the drop-highlight node, so that the node under the pointer is
// told apart from the selected one, which the commands act on.
class DropHighlightDelegate : public QStyledItemDelegate {
public:
    explicit DropHighlightDelegate(SchemaTreeView* tree) : QStyledItemDelegate(tree), tree_(tree) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        QTreeWidgetItem* drop = tree_->dropHighlight();
        if (!drop || tree_->indexFromItem(drop) != index) return;
        painter->save();
        painter->setPen(QPen(SchemaTreeView::dropOutlineColor(option.palette), 1));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
        painter->restore();
    }

private:
    SchemaTreeView* tree_;
};
}  // namespace

SchemaTreeView::SchemaTreeView(const ImageList& images, QWidget* parent)
    : QTreeWidget(parent), images_(images) {
    setHeaderHidden(true);
    setColumnCount(1);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setRootIsDecorated(true);
    setIconSize(QSize(16, 16));
    setItemDelegate(new DropHighlightDelegate(this));
    connect(this, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item, int) {
        if (releasing_ == Qt::LeftButton) emit nodeClick(item);
    });
}

QTreeWidgetItem* SchemaTreeView::addNode(QTreeWidgetItem* parent, const QString& text, int image,
                                         int selectedImage, const QColor& textColor) {
    auto* item = new QTreeWidgetItem(QStringList{text});
    item->setIcon(0, images_.icon(image, selectedImage));
    item->setForeground(0, textColor);
    item->setData(0, PictureRole, image);
    item->setData(0, SelectedPictureRole, selectedImage);
    nodes_.push_back(item);
    item->setData(0, TreeIndexRole, static_cast<int>(nodes_.size()));
    if (parent)
        parent->addChild(item);
    else
        addTopLevelItem(item);
    return item;
}

void SchemaTreeView::clearNodes() {
    dropHighlight_ = nullptr;
    nodes_.clear();
    clear();
}

QTreeWidgetItem* SchemaTreeView::node(int treeIndex) const {
    if (treeIndex < 1 || treeIndex > nodeCount()) return nullptr;
    return nodes_[static_cast<std::size_t>(treeIndex - 1)];
}

int SchemaTreeView::treeIndex(const QTreeWidgetItem* item) {
    return item ? item->data(0, TreeIndexRole).toInt() : 0;
}

QTreeWidgetItem* SchemaTreeView::selectedNode() const {
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

void SchemaTreeView::selectNode(QTreeWidgetItem* item) {
    if (!item) return;
    for (QTreeWidgetItem* p = item->parent(); p; p = p->parent()) p->setExpanded(true);
    scrollToItem(item);
    item->setExpanded(true);
    setCurrentItem(item);
}

QColor SchemaTreeView::dropOutlineColor(const QPalette& palette) {
    return palette.color(QPalette::Active, QPalette::Highlight);
}

void SchemaTreeView::setDropHighlight(QTreeWidgetItem* item) {
    if (item == dropHighlight_) return;
    dropHighlight_ = item;
    viewport()->update();
}

// The right button neither selects nor clicks: it only raises mouseUp, so the
// commands of the pop-up menu act on the node selected before. A press on
// empty space keeps the selection, and with it the node the panel shows.
void SchemaTreeView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton || !itemAt(event->position().toPoint())) {
        if (event->button() == Qt::LeftButton) setFocus(Qt::MouseFocusReason);
        event->accept();
        return;
    }
    QTreeWidget::mousePressEvent(event);
}

void SchemaTreeView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::RightButton) {
        releasing_ = event->button();
        QTreeWidget::mouseReleaseEvent(event);  // may emit itemClicked
        releasing_ = Qt::NoButton;
    } else {
        event->accept();
    }
    emit mouseUp(event->button(), event->position().toPoint());
}

void SchemaTreeView::keyPressEvent(QKeyEvent* event) {
    QTreeWidgetItem* before = currentItem();
    QTreeWidget::keyPressEvent(event);
    QTreeWidgetItem* after = currentItem();
    if (after && after != before && after->isSelected()) emit nodeClick(after);
}

void SchemaTreeView::setColumnTarget(std::function<bool(const QTreeWidgetItem*)> acceptsColumn) {
    acceptsColumn_ = std::move(acceptsColumn);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDropIndicatorShown(false);
}

QTreeWidgetItem* SchemaTreeView::columnTargetAt(const QDropEvent* event) const {
    if (!acceptsColumn_ || !csvColumnOf(event->mimeData())) return nullptr;
    QTreeWidgetItem* item = itemAt(event->position().toPoint());
    return item && acceptsColumn_(item) ? item : nullptr;
}

// Only columns of the CSV preview are taken; anything else is left to the
// window. A column is taken where a node under the pointer accepts it.
void SchemaTreeView::dragEnterEvent(QDragEnterEvent* event) {
    if (!csvColumnOf(event->mimeData())) {
        event->ignore();
        return;
    }
    // Taken on entering, so that the moves over the nodes follow.
    event->acceptProposedAction();
    setDropHighlight(columnTargetAt(event));
}

void SchemaTreeView::dragMoveEvent(QDragMoveEvent* event) {
    if (!csvColumnOf(event->mimeData())) {
        event->ignore();
        return;
    }
    QTreeWidget::dragMoveEvent(event);  // scrolls near the edges
    QTreeWidgetItem* target = columnTargetAt(event);
    setDropHighlight(target);
    if (target)
        event->acceptProposedAction();
    else
        event->ignore();
}

void SchemaTreeView::dragLeaveEvent(QDragLeaveEvent* event) {
    setDropHighlight(nullptr);
    QTreeWidget::dragLeaveEvent(event);
}

void SchemaTreeView::dropEvent(QDropEvent* event) {
    QTreeWidgetItem* target = columnTargetAt(event);
    setDropHighlight(nullptr);
    setState(NoState);
    if (!target) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    emit columnDropped(target, *csvColumnOf(event->mimeData()));
}

}  // namespace trelmo::ui
