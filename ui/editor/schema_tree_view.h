#pragma once
// The schema tree widget. Nodes carry no key; a node is known by its tree
// index, its 1-based position in the order the nodes were added. Every change
// of the highlighted node, by the mouse, the keyboard or the program, is
// announced once by nodeClick; the user's changes ask mayLeaveSelection first.

#include <QTreeWidget>
#include <functional>
#include <vector>

#include "ui/editor/image_list.h"

namespace trelmo::ui {

class SchemaTreeView : public QTreeWidget {
    Q_OBJECT
public:
    // Item data roles: the picture indexes of a node.
    static constexpr int PictureRole = Qt::UserRole + 1;
    static constexpr int SelectedPictureRole = Qt::UserRole + 2;

    SchemaTreeView(const ImageList& images, QWidget* parent = nullptr);

    // Adds a node as the last child of parent (top level when null).
    QTreeWidgetItem* addNode(QTreeWidgetItem* parent, const QString& text, int image,
                             int selectedImage, const QColor& textColor);
    void clearNodes();
    // The nodes that `build` adds (with addNode, below the item it is given),
    // placed as child `position` of parent, the first of them at tree index
    // `treeIndex`; the later nodes' tree indexes shift. Returns the top node.
    QTreeWidgetItem* insertNodes(QTreeWidgetItem* parent, int position, int treeIndex,
                                 const std::function<void(QTreeWidgetItem*)>& build);
    // Removes the node with everything below it; the later nodes' tree
    // indexes shift back.
    void removeNodes(QTreeWidgetItem* top);

    int nodeCount() const { return static_cast<int>(nodes_.size()); }
    // The node with this tree index, or null.
    QTreeWidgetItem* node(int treeIndex) const;
    // The tree index of a node of this tree, 0 for none.
    int treeIndex(const QTreeWidgetItem* item) const;

    QTreeWidgetItem* selectedNode() const;
    // Scrolls the node into view (expanding its ancestors), expands it and
    // makes it the selected node, without asking mayLeaveSelection.
    void selectNode(QTreeWidgetItem* item);

    // Asked before the user moves the selection away from the selected node;
    // false keeps it where it is.
    std::function<bool()> mayLeaveSelection;

    // The node drawn as a drop target: outlined, apart from the selection.
    QTreeWidgetItem* dropHighlight() const { return dropHighlight_; }
    void setDropHighlight(QTreeWidgetItem* item);
    static QColor dropOutlineColor(const QPalette& palette);

    // Columns of the CSV preview dragged onto the tree: the nodes for which
    // acceptsColumn is true take one, marked while the pointer is over them.
    void setColumnTarget(std::function<bool(const QTreeWidgetItem*)> acceptsColumn);

signals:
    // The highlighted node changed to item (or none), or the user clicked
    // the highlighted one.
    void nodeClick(QTreeWidgetItem* item);
    // The Delete key on the selected node.
    void deletePressed();
    // The pop-up menu asked for with the right button over the selected node
    // or from the keyboard, at this point of the viewport.
    void popupRequested(const QPoint& pos);
    // A column (counted from 1) was dropped onto a node that takes one.
    void columnDropped(QTreeWidgetItem* item, int column);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    bool mayLeave() const { return !mayLeaveSelection || mayLeaveSelection(); }
    // Announces a new highlighted node, or takes the selection back to the
    // announced one when the user may not leave it.
    void selectionMoved();
    // Runs a move of the base class with the question held back until it
    // ends, then asks (and takes the selection back) or announces.
    void moveThenAsk(const std::function<void()>& move);
    void requestPopup();
    // The node a dragged column would be dropped onto, null for none.
    QTreeWidgetItem* columnTargetAt(const QDropEvent* event) const;

    const ImageList& images_;
    std::vector<QTreeWidgetItem*> nodes_;  // in order of addition
    QTreeWidgetItem* pressSelected_ = nullptr;  // the selected node when a button went down
    bool asked_ = false;                        // mayLeaveSelection was asked for this move
    bool reverting_ = false;                    // the selection is being taken back
    bool moving_ = false;                       // within moveThenAsk
    QTreeWidgetItem* announced_ = nullptr;      // the node nodeClick last named
    QTreeWidgetItem* dropHighlight_ = nullptr;
    std::function<bool(const QTreeWidgetItem*)> acceptsColumn_;
};

}  // namespace trelmo::ui
