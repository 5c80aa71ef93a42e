#include "ui/editor/schema_tree_pane.h"

#include <QHeaderView>
#include <QTreeWidget>
#include <memory>

#include "engine/error.h"
#include "ui/editor/load_dsd.h"
#include "ui/editor/properties_panel.h"
#include "ui/editor/schema_document.h"
#include "ui/editor/schema_tree_view.h"
#include "ui/editor/twips.h"
#include "ui/editor/xsd_facts.h"

namespace trelmo::ui {

namespace {

constexpr std::size_t kMaxInt16 = 32767;
// The node list's columns after its own three: what the XSD says of the node.
constexpr int kRequiredColumn = 3;
constexpr int kLabelColumn = 4;

int elementsIn(const QTreeWidgetItem* item) {
    int count = 1;
    for (int i = 0; i < item->childCount(); ++i) count += elementsIn(item->child(i));
    return count;
}

// The position of element e among the element children of its parent.
int elementPosition(const xml::Node& e) {
    int position = 0;
    for (const xml::Node& c : e.parent().children()) {
        if (c == e) return position;
        if (c.type() == xml::NodeType::Element) ++position;
    }
    throw subscriptOutOfRangeError();
}

}  // namespace

void fillNodeRow(QTreeWidgetItem& row, const xml::Node& e) {
    row.setText(0, QString::fromStdString(e.name()));
    QString name, source;
    if (e.attributeCount() > 0) {
        const std::string n = e.attribute("name").value_or("");
        name = n.empty() ? QStringLiteral("--") : QString::fromStdString(n);
        source = dataSourceText(e);
    }
    row.setText(1, name);
    row.setText(2, source);
}

SchemaTreePane::SchemaTreePane(SchemaDocument& document, const ImageList& images,
                               MessageSink& messages, QObject* parent)
    : QObject(parent),
      document_(document),
      messages_(messages),
      schemaTree_(new SchemaTreeView(images)),
      nodeList_(new QTreeWidget) {
    nodeList_->setColumnCount(5);
    nodeList_->setHeaderLabels({"NodeType", "NodeName", "DataSource", QStringLiteral("必須"), QStringLiteral("ラベル")});
    nodeList_->setRootIsDecorated(false);
    nodeList_->setUniformRowHeights(true);
    nodeList_->header()->setStretchLastSection(false);
    nodeList_->header()->setDefaultSectionSize(px(1440));

    connect(schemaTree_, &SchemaTreeView::nodeClick, this, &SchemaTreePane::announce);
    connect(&document_, &SchemaDocument::reset, this, &SchemaTreePane::rebuild);
    connect(&document_, &SchemaDocument::nodesInserted, this, &SchemaTreePane::inserted);
    connect(&document_, &SchemaDocument::nodesRemoved, this, &SchemaTreePane::removed);
    connect(&document_, &SchemaDocument::nodeChanged, this, &SchemaTreePane::rowChanged);
}

void SchemaTreePane::setXsdFacts(const XsdFacts* facts) {
    xsdFacts_ = facts;
    if (facts) connect(facts, &XsdFacts::changed, this, &SchemaTreePane::fillXsdColumns);
    fillXsdColumns();
}

void SchemaTreePane::fillRow(QTreeWidgetItem& row, const xml::Node& element) const {
    fillNodeRow(row, element);
    const std::optional<xsd::NodeFacts> facts = xsdFacts_ ? xsdFacts_->of(element) : std::nullopt;
    row.setText(kRequiredColumn, facts && facts->required ? QStringLiteral("必須") : QString());
    row.setText(kLabelColumn, facts ? QString::fromStdString(facts->label) : QString());
}

void SchemaTreePane::fillXsdColumns() {
    const auto& list = document_.nodeList();
    for (int i = 0; i < nodeList_->topLevelItemCount() && static_cast<std::size_t>(i) < list.size(); ++i)
        fillRow(*nodeList_->topLevelItem(i), list[static_cast<std::size_t>(i)]);
}

xml::Node SchemaTreePane::selected() const {
    const int k = schemaTree_->treeIndex(schemaTree_->selectedNode());
    const auto& list = document_.nodeList();
    return k >= 1 && static_cast<std::size_t>(k) <= list.size() ? list[static_cast<std::size_t>(k - 1)]
                                                                : xml::Node{};
}

int SchemaTreePane::treeIndexOf(const xml::Node& element) const {
    const int index = document_.indexOf(element) + 1;
    if (static_cast<std::size_t>(index) > kMaxInt16) throw overflowError();
    return index;
}

// A node past the 16-bit count is not shown: the panel shows none.
void SchemaTreePane::announce(QTreeWidgetItem* item) {
    announced_ = true;
    const int k = schemaTree_->treeIndex(item);
    const auto& list = document_.nodeList();
    if (static_cast<std::size_t>(k) > kMaxInt16) {
        messages_.show(overflowError().description());
        emit selectionChanged({});
        return;
    }
    emit selectionChanged(k >= 1 && static_cast<std::size_t>(k) <= list.size()
                              ? list[static_cast<std::size_t>(k - 1)]
                              : xml::Node{});
}

void SchemaTreePane::select(const xml::Node& element) {
    QTreeWidgetItem* item = schemaTree_->node(document_.indexOf(element) + 1);
    announced_ = false;
    if (item)
        schemaTree_->selectNode(item);
    else
        schemaTree_->clearSelection();
    if (!announced_) announce(item);
}

void SchemaTreePane::selectAfterEdit(const xml::Node& element) {
    if (QTreeWidgetItem* top = schemaTree_->node(1)) {
        schemaTree_->collapseAll();
        top->setExpanded(true);
    }
    select(element);
}

// The tree and the rows built afresh, the top node highlighted.
void SchemaTreePane::rebuild() {
    schemaTree_->clearNodes();
    nodeList_->clear();
    const auto& doc = document_.doc();
    if (doc && doc->documentElement()) {
        MakeTree(*schemaTree_, *doc, messages_);
        fillRows();
    }
    select(document_.nodeList().empty() ? xml::Node{} : document_.nodeList().front());
}

void SchemaTreePane::fillRows() {
    QList<QTreeWidgetItem*> rows;
    try {
        rows.reserve(static_cast<qsizetype>(std::min(document_.nodeList().size(), kMaxInt16)));
        for (const xml::Node& e : document_.nodeList()) {
            // Rows are counted in 16 bits; those made before the overflow stay.
            if (static_cast<std::size_t>(rows.size()) == kMaxInt16) throw overflowError();
            auto row = std::make_unique<QTreeWidgetItem>();
            fillRow(*row, e);
            rows.append(row.release());
        }
        nodeList_->addTopLevelItems(rows);
    } catch (const std::exception& e) {
        nodeList_->addTopLevelItems(rows);  // the rows made so far stay
        showError(e);
    }
}

void SchemaTreePane::showError(const std::exception& error) {
    messages_.show(describeError(error), MsgIcon::Critical);
}

// Views that do not show the list before the change are rebuilt, counted.
void SchemaTreePane::inserted(int first, int count) {
    bool patched = false;
    try {
        patched = insertViews(first, count);
    } catch (const RuntimeError&) {
        patched = false;  // rebuilt below, which tells what fails
    }
    if (patched) return;
    ++rebuilds_;
    rebuild();
}

void SchemaTreePane::removed(int first, int count) {
    if (removeViews(first, count)) return;
    ++rebuilds_;
    rebuild();
}

// The run holds the subtrees of consecutive siblings.
bool SchemaTreePane::insertViews(int first, int count) {
    const auto& after = document_.nodeList();
    const int before = static_cast<int>(after.size()) - count;
    if (schemaTree_->nodeCount() != before || nodeList_->topLevelItemCount() != before ||
        after.size() > kMaxInt16)
        return false;
    const xml::Node parent = after[static_cast<std::size_t>(first)].parent();
    QTreeWidgetItem* parentNode = schemaTree_->node(document_.indexOf(parent) + 1);
    if (!parentNode) return false;
    int position = elementPosition(after[static_cast<std::size_t>(first)]);
    for (int i = first; i < first + count; ++position) {
        const xml::Node& e = after[static_cast<std::size_t>(i)];
        if (e.parent() != parent) return false;
        QTreeWidgetItem* top = schemaTree_->insertNodes(
            parentNode, position, i + 1, [&](QTreeWidgetItem* p) { AddTreeNodes(e, p, *schemaTree_); });
        if (!top) return false;
        i += elementsIn(top);
        if (i > first + count) return false;
    }
    QList<QTreeWidgetItem*> rows;
    for (int i = first; i < first + count; ++i) {
        auto row = std::make_unique<QTreeWidgetItem>();
        fillRow(*row, after[static_cast<std::size_t>(i)]);
        rows.append(row.release());
    }
    nodeList_->insertTopLevelItems(first, rows);
    return true;
}

bool SchemaTreePane::removeViews(int first, int count) {
    const int before = static_cast<int>(document_.nodeList().size()) + count;
    if (schemaTree_->nodeCount() != before || nodeList_->topLevelItemCount() != before) return false;
    for (int removed = 0; removed < count;) {
        QTreeWidgetItem* top = schemaTree_->node(first + 1);
        if (!top || !top->parent()) return false;
        removed += elementsIn(top);
        if (removed > count) return false;
        schemaTree_->removeNodes(top);
    }
    for (int i = 0; i < count; ++i) delete nodeList_->takeTopLevelItem(first);
    return true;
}

void SchemaTreePane::rowChanged(const xml::Node& element) {
    const int index = document_.indexOf(element);
    if (QTreeWidgetItem* row = nodeList_->topLevelItem(index)) fillRow(*row, element);
}

}  // namespace trelmo::ui
