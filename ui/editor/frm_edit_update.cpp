// Bringing the views up to date after one edit without rebuilding them: an
// edit inserts or removes one subtree, which is one run of SchemaNodeList, so
// only that run's tree nodes and list rows change.
#include <QTreeWidget>
#include <algorithm>
#include <memory>

#include "engine/error.h"
#include "ui/editor/frm_edit.h"
#include "ui/editor/load_dsd.h"
#include "ui/editor/schema_tree_view.h"

namespace trelmo::ui {

namespace {

constexpr std::size_t kMaxInt16 = 32767;

int elementsIn(const QTreeWidgetItem* item) {
    int count = 1;
    for (int i = 0; i < item->childCount(); ++i) count += elementsIn(item->child(i));
    return count;
}

// The position of element e among the element children of its parent.
int elementPosition(const xml::Node& e) {
    const xml::Node parent = e.parent();
    int position = 0;
    for (std::size_t i = 0; i < parent.childCount(); ++i) {
        const xml::Node c = parent.child(i);
        if (c == e) return position;
        if (c.type() == xml::NodeType::Element) ++position;
    }
    throw subscriptOutOfRangeError();
}

}  // namespace

void FrmEdit::UpdateViews(const xml::Node& touched, bool collapse) {
    const std::vector<xml::Node> before = document_->nodeList();
    document_->selectNodeList();
    bool patched = false;
    try {
        patched = PatchViews(before, touched, collapse);
    } catch (const RuntimeError&) {
        patched = false;  // rebuilt below, which tells what fails
    }
    if (patched) return;
    ++rebuiltViews_;
    if (collapse) RebuildViews();
    RefreshNodeList();
}

bool FrmEdit::PatchViews(const std::vector<xml::Node>& before, const xml::Node& touched,
                         bool collapse) {
    const std::vector<xml::Node>& after = document_->nodeList();
    // The views must show `before` in full, and `after` must fit the list.
    if (TreeView1->nodeCount() != static_cast<int>(before.size()) ||
        ListView1->topLevelItemCount() != static_cast<int>(before.size()) ||
        after.size() > kMaxInt16 || after.empty())
        return false;
    std::size_t head = 0;
    while (head < before.size() && head < after.size() && before[head] == after[head]) ++head;
    std::size_t tail = 0;
    while (tail < before.size() - head && tail < after.size() - head &&
           before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    const std::size_t removed = before.size() - head - tail;
    const std::size_t added = after.size() - head - tail;
    if (removed > 0 && added > 0) return false;  // more than one subtree changed
    const int at = static_cast<int>(head) + 1;      // the tree index of the run

    if (removed > 0) {
        QTreeWidgetItem* top = TreeView1->node(at);
        if (!top || !top->parent() || elementsIn(top) != static_cast<int>(removed)) return false;
        TreeView1->removeNodes(top);
        for (std::size_t i = 0; i < removed; ++i) delete ListView1->takeTopLevelItem(at - 1);
    }
    if (added > 0) {
        const xml::Node& e = after[head];
        const auto parent = std::find(after.begin(), after.begin() + static_cast<long>(head), e.parent());
        if (parent == after.begin() + static_cast<long>(head)) return false;
        QTreeWidgetItem* parentNode = TreeView1->node(static_cast<int>(parent - after.begin()) + 1);
        QTreeWidgetItem* top = TreeView1->insertNodes(parentNode, elementPosition(e), at, [&](QTreeWidgetItem* p) {
            AddTreeNodes(e, p, *TreeView1);
        });
        if (!top || elementsIn(top) != static_cast<int>(added)) return false;
        std::vector<std::unique_ptr<QTreeWidgetItem>> made;
        for (std::size_t i = head; i < head + added; ++i) {
            made.push_back(std::make_unique<QTreeWidgetItem>());
            FillNodeRow(*made.back(), after[i]);
        }
        QList<QTreeWidgetItem*> rows;
        for (auto& row : made) rows.append(row.release());
        ListView1->insertTopLevelItems(at - 1, rows);
    }
    if (const auto found = std::find(after.begin(), after.end(), touched); found != after.end())
        FillNodeRow(*ListView1->topLevelItem(static_cast<int>(found - after.begin())), touched);
    if (collapse) {
        TreeView1->collapseAll();
        TreeView1->node(1)->setExpanded(true);
    }
    return true;
}

}  // namespace trelmo::ui
