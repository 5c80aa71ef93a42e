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

InsertNodeEdit::InsertNodeEdit(xml::Node parent, xml::Node node)
    : parent_(std::move(parent)), node_(std::move(node)) {}

void InsertNodeEdit::apply() {
    parent_.appendChild(node_);
    touched_ = node_;
}

void InsertNodeEdit::revert() {
    parent_.removeChild(node_);
    touched_ = parent_;
}

namespace {
bool isIndent(const xml::Node& n) {
    return n.type() == xml::NodeType::Text &&
           n.value().find_first_not_of(" \t\r\n") == std::string::npos;
}
}  // namespace

DeleteNodeEdit::DeleteNodeEdit(xml::Node node) : parent_(node.parent()), node_(std::move(node)) {
    const std::size_t count = parent_.childCount();
    for (std::size_t i = 0; i < count; ++i) {
        if (parent_.child(i) == node_) {
            next_ = parent_.child(i + 1);
            if (i > 0 && isIndent(parent_.child(i - 1))) indent_ = parent_.child(i - 1);
            break;
        }
    }
}

void DeleteNodeEdit::apply() {
    parent_.removeChild(node_);
    if (indent_) parent_.removeChild(indent_);
    touched_ = parent_;
}

void DeleteNodeEdit::revert() {
    parent_.insertBefore(node_, next_);
    if (indent_) parent_.insertBefore(indent_, node_);
    touched_ = node_;
}

SetPropertiesEdit::SetPropertiesEdit(
    xml::Node element, const std::vector<std::pair<std::string, std::string>>& values)
    : element_(std::move(element)) {
    for (const auto& [name, value] : values) {
        std::optional<std::string> before = element_.attribute(name);
        if (before != value) changes_.push_back({name, std::move(before), value});
    }
    touched_ = element_;
}

void SetPropertiesEdit::apply() {
    for (const Change& c : changes_) element_.setAttribute(c.name, c.after);
}

void SetPropertiesEdit::revert() {
    for (auto c = changes_.rbegin(); c != changes_.rend(); ++c) {
        if (c->before)
            element_.setAttribute(c->name, *c->before);
        else
            element_.removeAttribute(c->name);
    }
}

}  // namespace trelmo::ui
