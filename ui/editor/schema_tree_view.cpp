#include "ui/editor/schema_tree_view.h"

#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>
#include <utility>

#include "ui/editor/csv_preview_view.h"

namespace trelmo::ui {

namespace {
// Outlines the node a dragged column would be dropped onto, apart from the
// selected one.
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
    setUniformRowHeights(true);
    setItemDelegate(new DropHighlightDelegate(this));
    connect(this, &QTreeWidget::itemSelectionChanged, this, &SchemaTreeView::selectionMoved);
}

QTreeWidgetItem* SchemaTreeView::addNode(QTreeWidgetItem* parent, const QString& text, int image,
                                         int selectedImage, const QColor& textColor) {
    auto* item = new QTreeWidgetItem(QStringList{text});
    item->setIcon(0, images_.icon(image, selectedImage));
    item->setForeground(0, textColor);
    item->setData(0, PictureRole, image);
    item->setData(0, SelectedPictureRole, selectedImage);
    nodes_.push_back(item);
    if (parent)
        parent->addChild(item);
    else
        addTopLevelItem(item);
    return item;
}

void SchemaTreeView::clearNodes() {
    dropHighlight_ = nullptr;
    nodes_.clear();
    announced_ = nullptr;
    clear();
    announced_ = nullptr;
}

QTreeWidgetItem* SchemaTreeView::node(int treeIndex) const {
    if (treeIndex < 1 || treeIndex > nodeCount()) return nullptr;
    return nodes_[static_cast<std::size_t>(treeIndex - 1)];
}

int SchemaTreeView::treeIndex(const QTreeWidgetItem* item) const {
    if (!item) return 0;
    const auto found = std::find(nodes_.begin(), nodes_.end(), item);
    return found == nodes_.end() ? 0 : static_cast<int>(found - nodes_.begin()) + 1;
}

QTreeWidgetItem* SchemaTreeView::insertNodes(QTreeWidgetItem* parent, int position, int treeIndex,
                                             const std::function<void(QTreeWidgetItem*)>& build) {
    const auto first = static_cast<std::ptrdiff_t>(nodes_.size());
    // Until the new nodes are placed, a failing or unfit build leaves the
    // list of nodes as it was (the holder deletes the nodes themselves).
    struct Trim {
        std::vector<QTreeWidgetItem*>& nodes;
        std::size_t size;
        bool placed = false;
        ~Trim() {
            if (!placed) nodes.resize(size);
        }
    } trim{nodes_, static_cast<std::size_t>(first)};
    QTreeWidgetItem holder;  // detached: the new nodes are built below it
    build(&holder);
    if (holder.childCount() != 1 || treeIndex < 1 || treeIndex - 1 > first) return nullptr;
    trim.placed = true;
    std::rotate(nodes_.begin() + treeIndex - 1, nodes_.begin() + first, nodes_.end());
    QTreeWidgetItem* top = holder.takeChild(0);
    parent->insertChild(position, top);
    return top;
}

void SchemaTreeView::removeNodes(QTreeWidgetItem* top) {
    const int at = treeIndex(top);
    if (at == 0) return;
    int count = 0;
    const std::function<void(const QTreeWidgetItem*)> countBelow = [&](const QTreeWidgetItem* i) {
        ++count;
        for (int c = 0; c < i->childCount(); ++c) countBelow(i->child(c));
    };
    countBelow(top);
    for (int i = at - 1; i < at - 1 + count; ++i)
        if (nodes_[static_cast<std::size_t>(i)] == announced_) announced_ = nullptr;
    nodes_.erase(nodes_.begin() + at - 1, nodes_.begin() + at - 1 + count);
    dropHighlight_ = nullptr;
    delete top;
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
    const bool asked = std::exchange(asked_, true);
    setCurrentItem(item);
    asked_ = asked;
}

void SchemaTreeView::selectionMoved() {
    if (reverting_ || moving_) return;
    QTreeWidgetItem* now = selectedNode();
    if (now == announced_) return;
    if (!asked_ && !mayLeave()) {
        reverting_ = true;
        setCurrentItem(announced_);
        if (!announced_) clearSelection();
        reverting_ = false;
        return;
    }
    announced_ = now;
    emit nodeClick(now);
}

QColor SchemaTreeView::dropOutlineColor(const QPalette& palette) {
    return palette.color(QPalette::Active, QPalette::Highlight);
}

void SchemaTreeView::setDropHighlight(QTreeWidgetItem* item) {
    if (item == dropHighlight_) return;
    dropHighlight_ = item;
    viewport()->update();
}

// A press on another node asks first whether the selection may leave the
// selected one. The right button selects the node under the pointer and
// brings up the pop-up menu over it. A press on empty space keeps the
// selection, and with it the node the panel shows.
void SchemaTreeView::mousePressEvent(QMouseEvent* event) {
    QTreeWidgetItem* hit = itemAt(event->position().toPoint());
    pressSelected_ = selectedNode();
    asked_ = false;
    if (hit && hit != pressSelected_ &&
        (event->button() == Qt::LeftButton || event->button() == Qt::RightButton)) {
        if (!mayLeave()) {
            event->accept();
            return;
        }
        asked_ = true;
    }
    if (event->button() == Qt::RightButton || !hit) {
        if (event->button() != Qt::MiddleButton) setFocus(Qt::MouseFocusReason);
        if (hit && event->button() == Qt::RightButton) {
            setCurrentItem(hit);
            asked_ = false;
            if (selectedNode() == hit) emit popupRequested(event->position().toPoint());
        }
        event->accept();
        return;
    }
    QTreeWidget::mousePressEvent(event);
}

// A left click on the highlighted node loads it again; a drag that moved the
// selection asked when it moved.
void SchemaTreeView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        QTreeWidget::mouseReleaseEvent(event);
        QTreeWidgetItem* after = selectedNode();
        const QTreeWidgetItem* hit = itemAt(event->position().toPoint());
        if (after == pressSelected_ && hit && hit == after) emit nodeClick(after);
    } else if (event->button() != Qt::RightButton) {
        QTreeWidget::mouseReleaseEvent(event);
    } else {
        event->accept();
    }
    pressSelected_ = nullptr;
    asked_ = false;
}

// Any key that moves the selection asks (selectionMoved); Delete deletes the
// selected node; the Menu key and Shift+F10 bring up the pop-up menu.
void SchemaTreeView::keyPressEvent(QKeyEvent* event) {
    const bool shiftF10 = event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier;
    if (event->key() == Qt::Key_Menu || shiftF10) {
        requestPopup();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        if (selectedNode()) emit deletePressed();
        event->accept();
        return;
    }
    asked_ = false;
    moveThenAsk([&] { QTreeWidget::keyPressEvent(event); });
}

// A drag with the button down can move the selection too.
void SchemaTreeView::mouseMoveEvent(QMouseEvent* event) {
    moveThenAsk([&] { QTreeWidget::mouseMoveEvent(event); });
}

void SchemaTreeView::moveThenAsk(const std::function<void()>& move) {
    moving_ = true;
    move();
    moving_ = false;
    selectionMoved();
}

void SchemaTreeView::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() != QContextMenuEvent::Mouse) requestPopup();
    event->accept();
}

// At the selected node, or at the top of the tree when none is selected.
void SchemaTreeView::requestPopup() {
    QTreeWidgetItem* item = selectedNode();
    if (item) scrollToItem(item);
    const QRect rect = item ? visualItemRect(item) : QRect();
    emit popupRequested(item ? QPoint(rect.left() + rect.height(), rect.bottom())
                             : QPoint(0, 0));
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
