#pragma once
// The schema being edited, as one object: SchemaDoc, SchemaNodeList, Modified
// and the history of edits. The editor window, the XML preview, drops and
// generated nodes all change the schema through it and follow its one
// signal; tests drive it without widgets.

#include <QObject>
#include <exception>
#include <memory>
#include <optional>
#include <vector>

#include "engine/xml/dom.h"

class QUndoStack;

namespace trelmo::ui {

class SchemaEdit;

class SchemaDocument : public QObject {
    Q_OBJECT
public:
    explicit SchemaDocument(QObject* parent = nullptr);
    ~SchemaDocument() override;

    // SchemaDoc: empty until a schema is made or opened.
    const std::optional<xml::Document>& doc() const { return doc_; }
    std::optional<xml::Document>& doc() { return doc_; }
    // SchemaNodeList: every element of SchemaDoc, "//*", as last selected.
    const std::vector<xml::Node>& nodeList() const { return nodeList_; }
    bool isModified() const { return modified_; }
    void setModified(bool modified) { modified_ = modified; }

    // A new document (the previous one dropped; by default an empty one) with
    // a new history; the node list stays until it is selected again. Or no
    // document, no node list and no history.
    xml::Document& replace(xml::Document doc = xml::Document{});
    void clear();
    // Selects SchemaNodeList again from SchemaDoc.
    void selectNodeList();
    // The schema element of tree index k (SchemaNodeList[k - 1]); raises the
    // subscript error for an index outside the list.
    xml::Node element(int treeIndex) const;

    // Makes the edit and records it; a failing edit throws and is not
    // recorded. The schema then counts as changed.
    void push(std::unique_ptr<SchemaEdit> edit);
    // A step back or forth in the history. After a step that failed the
    // history is cleared, as it no longer matches the document.
    struct Step {
        bool taken = false;          // there was a step to take
        xml::Node touched;           // the element to show after it
        std::exception_ptr error;    // what stopped it, null when it went through
    };
    Step undo();
    Step redo();
    QUndoStack& history() { return *history_; }
    void clearHistory();

    // Tells the views that the schema has changed.
    void notifyChanged() { emit changed(); }

signals:
    // The schema has changed: its structure, a node's properties, or the
    // document itself.
    void changed();

private:
    Step step(int index);

    std::optional<xml::Document> doc_;
    std::vector<xml::Node> nodeList_;
    bool modified_ = false;
    QUndoStack* history_ = nullptr;
};

}  // namespace trelmo::ui
