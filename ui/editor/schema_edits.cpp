#include "ui/editor/schema_edits.h"

namespace trelmo::ui {

void SchemaEdit::applyFirst() {
    apply();
    applied_ = true;
}

// Called by the stack, which must not see an exception: a failure is kept
// for the editor to report.
void SchemaEdit::redo() {
    error_ = nullptr;
    if (std::exchange(applied_, false)) return;
    try {
        apply();
    } catch (...) {
        error_ = std::current_exception();
    }
}

void SchemaEdit::undo() {
    error_ = nullptr;
    try {
        revert();
    } catch (...) {
        error_ = std::current_exception();
    }
}

InsertNodesEdit::InsertNodesEdit(SchemaDocument& document, xml::Node parent,
                                 std::vector<xml::Node> nodes, bool showNew)
    : SchemaEdit(document), parent_(std::move(parent)), nodes_(std::move(nodes)), showNew_(showNew) {}

void InsertNodesEdit::apply() {
    document_.attach(parent_, nodes_, {});
    touched_ = showNew_ && nodes_.size() == 1 ? nodes_.front() : parent_;
}

void InsertNodesEdit::revert() {
    document_.detach(nodes_);
    touched_ = parent_;
}

namespace {
bool isIndent(const xml::Node& n) {
    return n.type() == xml::NodeType::Text &&
           n.value().find_first_not_of(" \t\r\n") == std::string::npos;
}
}  // namespace

DeleteNodeEdit::DeleteNodeEdit(SchemaDocument& document, xml::Node node)
    : SchemaEdit(document), parent_(node.parent()), node_(std::move(node)) {
    const std::vector<xml::Node> siblings = parent_.children();
    for (std::size_t i = 0; i < siblings.size(); ++i) {
        if (siblings[i] == node_) {
            if (i + 1 < siblings.size()) next_ = siblings[i + 1];
            if (i > 0 && isIndent(siblings[i - 1])) indent_ = siblings[i - 1];
            break;
        }
    }
}

void DeleteNodeEdit::apply() {
    document_.detach({node_});
    if (indent_) parent_.removeChild(indent_);
    touched_ = parent_;
}

void DeleteNodeEdit::revert() {
    document_.attach(parent_, {node_}, next_);
    if (indent_) parent_.insertBefore(indent_, node_);
    touched_ = node_;
}

SetPropertiesEdit::SetPropertiesEdit(SchemaDocument& document, xml::Node element,
                                     const std::vector<PropertyChange>& changes)
    : SchemaEdit(document), element_(std::move(element)) {
    for (const auto& [name, value] : changes) {
        std::optional<std::string> before = element_.attribute(name);
        if (before == value) continue;
        after_.emplace_back(name, value);
        before_.insert(before_.begin(), {name, std::move(before)});
    }
    touched_ = element_;
}

void SetPropertiesEdit::apply() { document_.changeAttributes(element_, after_); }

void SetPropertiesEdit::revert() { document_.changeAttributes(element_, before_); }

SetSettingEdit::SetSettingEdit(SchemaDocument& document, Setting which, QString value)
    : SchemaEdit(document), which_(which), before_(document.setting(which)), after_(std::move(value)) {}

bool SetSettingEdit::mergeWith(const QUndoCommand* other) {
    const auto* next = dynamic_cast<const SetSettingEdit*>(other);
    if (!next || next->which_ != which_) return false;
    after_ = next->after_;
    return true;
}

void SetSettingEdit::apply() { document_.changeSetting(which_, after_); }

void SetSettingEdit::revert() { document_.changeSetting(which_, before_); }

EditGroup::EditGroup(SchemaDocument& document, std::vector<std::unique_ptr<SchemaEdit>> parts)
    : SchemaEdit(document), parts_(std::move(parts)) {}

// A part that fails takes back the parts made before it, so that the group
// is made whole or not at all.
void EditGroup::apply() {
    std::size_t made = 0;
    try {
        for (; made < parts_.size(); ++made) parts_[made]->apply();
    } catch (...) {
        while (made > 0) parts_[--made]->revert();
        throw;
    }
    touched_ = parts_.empty() ? xml::Node{} : parts_.front()->touched();
}

void EditGroup::revert() {
    for (auto part = parts_.rbegin(); part != parts_.rend(); ++part) (*part)->revert();
    touched_ = parts_.empty() ? xml::Node{} : parts_.front()->touched();
}

}  // namespace trelmo::ui
