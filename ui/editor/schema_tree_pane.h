#pragma once
// The schema tree and the node list beside it, kept to the document by its
// signals: an element is highlighted through select(), and every change of
// the highlighted element comes out as selectionChanged. Tree index k, row
// k - 1 and the document's nodeList()[k - 1] are the same element.

#include <QObject>

#include "engine/messages.h"
#include "engine/xml/dom.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace trelmo::ui {

class ImageList;
class SchemaDocument;
class SchemaTreeView;
class XsdFacts;

class SchemaTreePane : public QObject {
    Q_OBJECT
public:
    SchemaTreePane(SchemaDocument& document, const ImageList& images, MessageSink& messages,
                   QObject* parent = nullptr);

    // The two widgets, for the window to place.
    SchemaTreeView* schemaTree() const { return schemaTree_; }
    QTreeWidget* nodeList() const { return nodeList_; }

    // The highlighted element; empty for none.
    xml::Node selected() const;
    // Highlights the element (its ancestors expanded) without asking, and
    // announces it; an element not in the tree highlights none.
    void select(const xml::Node& element);
    // After an edit: the tree as a fresh build leaves it, only the top node
    // open, then the element highlighted.
    void selectAfterEdit(const xml::Node& element);
    // Tree index of an element, 0 for none; past 32,767 the overflow error.
    int treeIndexOf(const xml::Node& element) const;
    // Edits after which the views were rebuilt because they did not match.
    int viewRebuilds() const { return rebuilds_; }
    // The XSD's word on each node, shown in the node list beside its own columns.
    void setXsdFacts(const XsdFacts* facts);

signals:
    // The highlighted element changed (empty for none), or was clicked again.
    void selectionChanged(const xml::Node& element);

private:
    void rebuild();
    void fillRows();
    void inserted(int first, int count);
    void removed(int first, int count);
    bool insertViews(int first, int count);
    bool removeViews(int first, int count);
    void rowChanged(const xml::Node& element);
    void fillRow(QTreeWidgetItem& row, const xml::Node& element) const;
    void fillXsdColumns();
    void announce(QTreeWidgetItem* item);
    void showError(const std::exception& error);

    SchemaDocument& document_;
    MessageSink& messages_;
    SchemaTreeView* schemaTree_;
    QTreeWidget* nodeList_;
    const XsdFacts* xsdFacts_ = nullptr;
    int rebuilds_ = 0;
    bool announced_ = false;  // select() saw the tree announce
};

// A row of the node list: the element's kind, name ("--" for none) and data source.
void fillNodeRow(QTreeWidgetItem& row, const xml::Node& element);

}  // namespace trelmo::ui
