#pragma once
// TreeView1: the schema tree. Nodes carry no key; a node is known by its tree
// index, its 1-based position in the order the nodes were added.

#include <QTreeWidget>
#include <functional>
#include <vector>

#include "ui/editor/image_list.h"

namespace trelmo::ui {

class SchemaTreeView : public QTreeWidget {
    Q_OBJECT
public:
    // Item data roles: the picture indexes and the tree index of a node.
    static constexpr int PictureRole = Qt::UserRole + 1;
    static constexpr int SelectedPictureRole = Qt::UserRole + 2;
    static constexpr int TreeIndexRole = Qt::UserRole + 3;

    SchemaTreeView(const ImageList& images, QWidget* parent = nullptr);

    // Adds a node as the last child of parent (top level when null).
    QTreeWidgetItem* addNode(QTreeWidgetItem* parent, const QString& text, int image,
                             int selectedImage, const QColor& textColor);
    void clearNodes();

    int nodeCount() const { return static_cast<int>(nodes_.size()); }
    // The node with this tree index, or null.
    QTreeWidgetItem* node(int treeIndex) const;
    // The tree index of a node of this tree, 0 for none.
    static int treeIndex(const QTreeWidgetItem* item);

    QTreeWidgetItem* selectedNode() const;
    // Scrolls the node into view (expanding its ancestors), expands it and
    // makes it the selected node.
    void selectNode(QTreeWidgetItem* item);

    // The node drawn as a drop target: outlined, apart from the selection.
    QTreeWidgetItem* dropHighlight() const { return dropHighlight_; }
    void setDropHighlight(QTreeWidgetItem* item);
    static QColor dropOutlineColor(const QPalette& palette);

    // Columns of the CSV preview dragged onto the tree: the nodes for which
    // acceptsColumn is true take one, marked while the pointer is over them.
    void setColumnTarget(std::function<bool(const QTreeWidgetItem*)> acceptsColumn);

signals:
    // A mouse button was released over the tree (viewport coordinates).
    void mouseUp(Qt::MouseButton button, const QPoint& pos);
    // The user picked a node with the mouse or the keyboard.
    void nodeClick(QTreeWidgetItem* item);
    // A column (counted from 1) was dropped onto a node that takes one.
    void columnDropped(QTreeWidgetItem* item, int column);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    const ImageList& images_;
    std::vector<QTreeWidgetItem*> nodes_;  // in order of addition
    QTreeWidgetItem* dropHighlight_ = nullptr;
    Qt::MouseButton releasing_ = Qt::NoButton;
    std::function<bool(const QTreeWidgetItem*)> acceptsColumn_;
    // The node a dragged column would be dropped onto, null for none.
    QTreeWidgetItem* columnTargetAt(const QDropEvent* event) const;
};

}  // namespace trelmo::ui
