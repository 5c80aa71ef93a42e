#pragma once
// The undoable edits of the schema, one command per kind. Each keeps just what
// it needs to apply and to reverse its change, and names the element that its
// last step touched, for the editor to select afterwards.

#include <QUndoCommand>
#include <exception>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/xml/dom.h"

namespace trelmo::ui {

class SchemaEdit : public QUndoCommand {
public:
    // Makes the change before the edit is pushed, so that a failure reaches
    // the caller and leaves nothing in the history; the push then finds the
    // change made and its first redo() does nothing.
    void applyFirst();

    void redo() final;
    void undo() final;
    // What stopped the last redo() or undo(), which the stack cannot report;
    // null when it went through.
    std::exception_ptr error() const { return error_; }
    // The element to show after the last step.
    const xml::Node& touched() const { return touched_; }

protected:
    virtual void apply() = 0;
    virtual void revert() = 0;
    xml::Node touched_;

private:
    bool applied_ = false;
    std::exception_ptr error_;
};

// A new element appended as the last child of parent.
class InsertNodeEdit : public SchemaEdit {
public:
    InsertNodeEdit(xml::Node parent, xml::Node node);

private:
    void apply() override;
    void revert() override;
    xml::Node parent_;
    xml::Node node_;
};

// An element removed with everything below it, and with the white space that
// indented it in a loaded file; undo puts both back in place.
class DeleteNodeEdit : public SchemaEdit {
public:
    explicit DeleteNodeEdit(xml::Node node);

private:
    void apply() override;
    void revert() override;
    xml::Node parent_;
    xml::Node node_;
    xml::Node next_;    // the sibling it stood before, empty when it was last
    xml::Node indent_;  // the white-space text just before it, or empty
};

// Attributes of one element set to new values.
class SetPropertiesEdit : public SchemaEdit {
public:
    // From the element's current values to `values`; a value equal to the
    // current one is no change.
    SetPropertiesEdit(xml::Node element,
                      const std::vector<std::pair<std::string, std::string>>& values);
    bool changesAnything() const { return !changes_.empty(); }

private:
    struct Change {
        std::string name;
        std::optional<std::string> before;  // nullopt: the attribute was absent
        std::string after;
    };
    void apply() override;
    void revert() override;
    xml::Node element_;
    std::vector<Change> changes_;
};

}  // namespace trelmo::ui
