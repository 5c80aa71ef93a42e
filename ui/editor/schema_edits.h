#pragma once
// The undoable edits of the schema, one command per kind. Each keeps just what
// it needs to apply and to reverse its change, makes the change through the
// document (which announces it), and names the element that its last step
// touched, for the editor to select afterwards.

#include <QString>
#include <QUndoCommand>
#include <exception>
#include <memory>
#include <vector>

#include "engine/xml/dom.h"
#include "ui/editor/schema_document.h"

namespace trelmo::ui {

class SchemaEdit : public QUndoCommand {
public:
    explicit SchemaEdit(SchemaDocument& document) : document_(document) {}

    // Makes the change before the edit is pushed, so that a failure reaches
    // the caller and leaves nothing in the history; the push then finds the
    // change made and its first redo() does nothing.
    void applyFirst();

    void redo() final;
    void undo() final;
    // What stopped the last redo() or undo(), which the stack cannot report;
    // null when it went through.
    std::exception_ptr error() const { return error_; }
    // The element to show after the last step; empty for none.
    const xml::Node& touched() const { return touched_; }

protected:
    friend class EditGroup;
    virtual void apply() = 0;
    virtual void revert() = 0;
    SchemaDocument& document_;
    xml::Node touched_;

private:
    bool applied_ = false;
    std::exception_ptr error_;
};

// New elements appended in order as the last children of parent, as one step.
// It touches the new node when it is one (showNew), else the parent.
class InsertNodesEdit : public SchemaEdit {
public:
    InsertNodesEdit(SchemaDocument& document, xml::Node parent, std::vector<xml::Node> nodes,
                    bool showNew);

private:
    void apply() override;
    void revert() override;
    xml::Node parent_;
    std::vector<xml::Node> nodes_;
    bool showNew_;
};

// An element removed with everything below it, and with the white space that
// indented it in a loaded file; undo puts both back in place.
class DeleteNodeEdit : public SchemaEdit {
public:
    DeleteNodeEdit(SchemaDocument& document, xml::Node node);

private:
    void apply() override;
    void revert() override;
    xml::Node parent_;
    xml::Node node_;
    xml::Node next_;    // the sibling it stood before, empty when it was last
    xml::Node indent_;  // the white-space text just before it, or empty
};

// Attributes of one element set to new values or removed.
class SetPropertiesEdit : public SchemaEdit {
public:
    // From the element's current values to `changes`; a value equal to the
    // current one is no change.
    SetPropertiesEdit(SchemaDocument& document, xml::Node element,
                      const std::vector<PropertyChange>& changes);
    bool changesAnything() const { return !after_.empty(); }

private:
    void apply() override;
    void revert() override;
    xml::Node element_;
    std::vector<PropertyChange> after_;
    std::vector<PropertyChange> before_;  // in reverse order
};

// One document setting; consecutive changes of the same setting merge.
class SetSettingEdit : public SchemaEdit {
public:
    SetSettingEdit(SchemaDocument& document, Setting which, QString value);
    int id() const override { return 1000 + static_cast<int>(which_); }
    bool mergeWith(const QUndoCommand* other) override;

private:
    void apply() override;
    void revert() override;
    Setting which_;
    QString before_;
    QString after_;
};

// Edits made and taken back together, as one step: in order, and undone in
// reverse. It touches what its first part touched.
class EditGroup : public SchemaEdit {
public:
    EditGroup(SchemaDocument& document, std::vector<std::unique_ptr<SchemaEdit>> parts);

private:
    void apply() override;
    void revert() override;
    std::vector<std::unique_ptr<SchemaEdit>> parts_;
};

}  // namespace trelmo::ui
