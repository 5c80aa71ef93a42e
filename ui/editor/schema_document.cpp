#include "ui/editor/schema_document.h"

#include <QScopeGuard>
#include <QSignalBlocker>
#include <QUndoStack>
#include <algorithm>

#include "engine/convert/schema_check.h"
#include "engine/error.h"
#include "ui/editor/schema_edits.h"

namespace trelmo::ui {

namespace {

// The top element's attribute of each setting stored there.
std::string_view attributeOf(Setting which) {
    switch (which) {
    case Setting::Xsd: return "xsd";
    case Setting::Namespace: return "namespace";
    case Setting::HeaderRows: return "header";
    default: return {};
    }
}

bool lowerEquals(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return (x >= 'A' && x <= 'Z' ? x + 32 : x) == (y >= 'A' && y <= 'Z' ? y + 32 : y);
           });
}

bool isBelow(const xml::Node& node, const xml::Node& ancestor) {
    for (xml::Node p = node.parent(); p; p = p.parent())
        if (p == ancestor) return true;
    return false;
}

void collectElements(const xml::Node& node, std::vector<xml::Node>& out) {
    if (node.type() != xml::NodeType::Element) return;
    out.push_back(node);
    for (const xml::Node& c : node.children()) collectElements(c, out);
}

}  // namespace

std::optional<xml::Attribute> attributeAnyCase(const xml::Node& element, std::string_view name) {
    if (!element) return std::nullopt;
    for (xml::Attribute& a : element.attributes())
        if (lowerEquals(a.name, name)) return std::move(a);
    return std::nullopt;
}

SchemaDocument::SchemaDocument(QObject* parent)
    : QObject(parent), history_(new QUndoStack(this)) {
    connect(history_, &QUndoStack::cleanChanged, this, [this] { announceModified(); });
}

SchemaDocument::~SchemaDocument() = default;

int SchemaDocument::indexOf(const xml::Node& element) const {
    const auto found = std::find(nodeList_.begin(), nodeList_.end(), element);
    return found == nodeList_.end() ? -1 : static_cast<int>(found - nodeList_.begin());
}

xml::Node SchemaDocument::element(int treeIndex) const {
    if (treeIndex < 1 || static_cast<std::size_t>(treeIndex) > nodeList_.size())
        throw subscriptOutOfRangeError();
    return nodeList_[static_cast<std::size_t>(treeIndex - 1)];
}

bool SchemaDocument::isModified() const { return markedModified_ || !history_->isClean(); }

void SchemaDocument::setModified(bool modified) {
    markedModified_ = modified;
    if (!modified) history_->setClean();
    announceModified();
}

void SchemaDocument::setFilePath(std::string path) {
    if (path == filePath_) return;
    filePath_ = std::move(path);
    emit filePathChanged();
}

void SchemaDocument::announceModified() {
    if (isModified() == lastModified_) return;
    lastModified_ = isModified();
    emit modifiedChanged(lastModified_);
}

void SchemaDocument::replace(xml::Document doc) {
    history_->clear();
    doc_ = std::move(doc);
    filePath_.clear();
    nodeList_.clear();
    const xml::Node top = doc_->documentElement();
    if (top) collectElements(top, nodeList_);
    rootName_ = QString::fromStdString(top.attribute("root").value_or(""));
    encoding_ = QString::fromStdString(top.attribute("encoding").value_or(""));
    markedModified_ = false;
    emit reset();
    announceModified();
}

void SchemaDocument::replace(xml::Document doc, const QString& rootName) {
    QSignalBlocker quiet(this);  // one reset, with the root name
    replace(std::move(doc));
    rootName_ = rootName;
    quiet.unblock();
    emit reset();
    announceModified();
}

void SchemaDocument::clear(const QString& rootName) {
    history_->clear();
    nodeList_.clear();
    doc_.reset();
    filePath_.clear();
    rootName_ = rootName;
    encoding_.clear();
    emit reset();
    announceModified();
}

QString SchemaDocument::setting(Setting which) const {
    if (which == Setting::RootName) return rootName_;
    if (which == Setting::Encoding) return encoding_;
    if (!doc_) return {};
    const auto found = attributeAnyCase(doc_->documentElement(), attributeOf(which));
    return found ? QString::fromStdString(found->value) : QString();
}

void SchemaDocument::setSetting(Setting which, const QString& value) {
    if (setting(which) == value) return;
    const bool inDom = which != Setting::RootName && which != Setting::Encoding;
    if (!doc_ || !doc_->documentElement()) {
        if (!inDom) changeSetting(which, value);  // nothing to record it in
        return;
    }
    push(std::make_unique<SetSettingEdit>(*this, which, value));
}

void SchemaDocument::changeSetting(Setting which, const QString& value) {
    if (which == Setting::RootName) {
        rootName_ = value;
    } else if (which == Setting::Encoding) {
        encoding_ = value;
    } else if (doc_) {
        xml::Node top = doc_->documentElement();
        const std::string name(attributeOf(which));
        const bool empty = value.isEmpty() || (which == Setting::HeaderRows && value.toInt() == 0);
        while (const auto old = attributeAnyCase(top, name)) top.removeAttribute(old->name);
        if (!empty) top.setAttribute(name, value.toStdString());
    }
    emit settingsChanged(which);
}

void SchemaDocument::writeSaveSettings() {
    ApplySaveSettings(*doc_, rootName_.toStdString(), encoding_.toStdString());
}

int SchemaDocument::subtreeSize(int index) const {
    const xml::Node& top = nodeList_[static_cast<std::size_t>(index)];
    std::size_t end = static_cast<std::size_t>(index) + 1;
    while (end < nodeList_.size() && isBelow(nodeList_[end], top)) ++end;
    return static_cast<int>(end) - index;
}

// The DOM first, so that a refused change leaves the list as it was; a
// failure part way leaves the list matching what was placed.
void SchemaDocument::attach(const xml::Node& parent, const std::vector<xml::Node>& nodes,
                            const xml::Node& before) {
    std::vector<xml::Node> added;
    const auto announce = qScopeGuard([&] {
        if (added.empty()) return;
        const int parentIndex = indexOf(parent);
        if (parentIndex < 0) return;
        // After the parent and the subtrees of the elements before the first node.
        int at = parentIndex + 1;
        for (const xml::Node& sibling : parent.children()) {
            if (sibling == nodes.front()) break;
            if (sibling.type() == xml::NodeType::Element) at += subtreeSize(at);
        }
        nodeList_.insert(nodeList_.begin() + at, added.begin(), added.end());
        emit nodesInserted(at, static_cast<int>(added.size()));
    });
    for (const xml::Node& node : nodes) {
        xml::Node(parent).insertBefore(node, before);
        collectElements(node, added);
    }
}

void SchemaDocument::detach(const std::vector<xml::Node>& nodes) {
    int first = -1, count = 0;
    for (const xml::Node& node : nodes) {
        const int at = indexOf(node);
        if (at >= 0 && first < 0) first = at;
        if (at >= 0) count += subtreeSize(at);
    }
    for (auto n = nodes.rbegin(); n != nodes.rend(); ++n) n->parent().removeChild(*n);
    if (count == 0) return;
    nodeList_.erase(nodeList_.begin() + first, nodeList_.begin() + first + count);
    emit nodesRemoved(first, count);
}

void SchemaDocument::changeAttributes(const xml::Node& element,
                                      const std::vector<PropertyChange>& changes) {
    xml::Node e = element;
    for (const auto& [name, value] : changes) {
        if (value)
            e.setAttribute(name, *value);
        else
            e.removeAttribute(name);
    }
    emit nodeChanged(element);
}

void SchemaDocument::insertNodes(const xml::Node& parent, std::vector<xml::Node> nodes) {
    const bool one = nodes.size() == 1;
    push(std::make_unique<InsertNodesEdit>(*this, parent, std::move(nodes), one));
}

void SchemaDocument::removeNode(const xml::Node& node) {
    push(std::make_unique<DeleteNodeEdit>(*this, node));
}

bool SchemaDocument::setProperties(const xml::Node& element,
                                   const std::vector<PropertyChange>& changes) {
    auto edit = std::make_unique<SetPropertiesEdit>(*this, element, changes);
    if (!edit->changesAnything()) return false;
    push(std::move(edit));
    return true;
}

void SchemaDocument::push(std::unique_ptr<SchemaEdit> edit) {
    edit->applyFirst();
    history_->push(edit.release());
    announceModified();
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
    if (taken.error) {
        history_->clear();
        markedModified_ = true;  // the document is neither the saved one nor its history's
    }
    announceModified();
    return taken;
}

}  // namespace trelmo::ui
