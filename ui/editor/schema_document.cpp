#include "ui/editor/schema_document.h"

#include <QUndoStack>

#include "engine/error.h"
#include "ui/editor/schema_edits.h"

namespace trelmo::ui {

SchemaDocument::SchemaDocument(QObject* parent)
    : QObject(parent), history_(new QUndoStack(this)) {}

SchemaDocument::~SchemaDocument() = default;

xml::Document& SchemaDocument::replace(xml::Document doc) {
    clearHistory();
    doc_ = std::move(doc);
    emit changed();
    return *doc_;
}

void SchemaDocument::clear() {
    clearHistory();
    nodeList_.clear();
    doc_.reset();
    emit changed();
}

void SchemaDocument::selectNodeList() {
    if (doc_)
        nodeList_ = doc_->documentElement().selectAllElements();
    else
        nodeList_.clear();
}

xml::Node SchemaDocument::element(int treeIndex) const {
    if (treeIndex < 1 || static_cast<std::size_t>(treeIndex) > nodeList_.size())
        throw subscriptOutOfRangeError();
    return nodeList_[static_cast<std::size_t>(treeIndex - 1)];
}

void SchemaDocument::push(std::unique_ptr<SchemaEdit> edit) {
    edit->applyFirst();
    history_->push(edit.release());
    modified_ = true;
    emit changed();
}

SchemaDocument::Step SchemaDocument::undo() {
    if (!history_->canUndo()) return {};
    history_->undo();
    return step(history_->index());
}

SchemaDocument::Step SchemaDocument::redo() {
    if (!history_->canRedo()) return {};
    history_->redo();
    return step(history_->index() - 1);
}

SchemaDocument::Step SchemaDocument::step(int index) {
    const auto* edit = dynamic_cast<const SchemaEdit*>(history_->command(index));
    if (!edit) return {};
    Step taken{true, edit->touched(), edit->error()};
    if (taken.error) clearHistory();
    modified_ = true;
    emit changed();
    return taken;
}

void SchemaDocument::clearHistory() { history_->clear(); }

}  // namespace trelmo::ui
