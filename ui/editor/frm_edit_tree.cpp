// Rebuilding the tree and the node list from SchemaDoc, and the data-source
// choices.
#include <QComboBox>
#include <QLineEdit>
#include <QTreeWidget>
#include <algorithm>
#include <memory>

#include "engine/error.h"
#include "ui/editor/frm_edit.h"
#include "ui/editor/load_dsd.h"
#include "ui/editor/schema_tree_view.h"
#include "ui/editor/skip_step.h"

namespace trelmo::ui {

namespace {
constexpr std::size_t kMaxInt16 = 32767;
}

void FrmEdit::RebuildViews() {
    TreeView1->clearNodes();
    ListView1->clear();
    document_->selectNodeList();
    MakeTree(*TreeView1, *document_->doc(), services_.messages);
}

void FrmEdit::RefreshNodeList() {
    QList<QTreeWidgetItem*> rows;
    try {
        document_->selectNodeList();
        ListView1->clear();
        rows.reserve(static_cast<qsizetype>(std::min(document_->nodeList().size(), kMaxInt16)));
        for (const xml::Node& e : document_->nodeList()) {
            // Rows are counted in 16 bits; those made before the overflow stay.
            if (static_cast<std::size_t>(rows.size()) == kMaxInt16) throw overflowError();
            auto row = std::make_unique<QTreeWidgetItem>();
            FillNodeRow(*row, e);
            rows.append(row.release());
        }
        ListView1->addTopLevelItems(rows);
    } catch (const std::exception& e) {
        ListView1->addTopLevelItems(rows);  // the rows made so far stay
        showError(e, MsgIcon::Critical);
    }
}

void FrmEdit::FillNodeRow(QTreeWidgetItem& row, const xml::Node& e) {
    row.setText(0, QString::fromStdString(e.name()));
    QString name, source;
    if (e.attributeCount() > 0) {
        const std::string n = e.attribute("name").value_or("");
        name = n.empty() ? QStringLiteral("--") : QString::fromStdString(n);
        source = QString::fromStdString(e.attribute("DataSource").value_or(""));
    }
    row.setText(1, name);
    row.setText(2, source);
}

void FrmEdit::FillDataSourceList(std::int16_t count) {
    QStringList items;
    for (int i = 1; i <= count; ++i) items.append(QString::number(i));
    Combo2->clear();
    Combo2->addItems(items);
    // Filling picks no item and leaves the box empty.
    Combo2->setCurrentIndex(-1);
    Combo2->clearEditText();
}

void FrmEdit::ShowDocument(xml::Document doc) {
    document_->replace(std::move(doc));
    ShowSchemaDoc();
}

void FrmEdit::ShowSchemaDoc() {
    if (!document_->doc()) return;
    skipFailingStep([&] { TreeView1->clearNodes(); });
    skipFailingStep([&] { document_->selectNodeList(); });
    skipFailingStep([&] { MakeTree(*TreeView1, *document_->doc(), services_.messages); });
    skipFailingStep([&] { Text1->clear(); });
    skipFailingStep([&] {
        if (auto root = document_->doc()->documentElement().attribute("root"))
            Text1->setText(QString::fromStdString(*root));
    });
    skipFailingStep([&] {
        if (auto encoding = document_->doc()->documentElement().attribute("encoding"))
            txtEncoding->setText(QString::fromStdString(*encoding));
    });
    RefreshNodeList();
    ShowTopNode();
}

void FrmEdit::ShowTopNode() {
    QTreeWidgetItem* top = TreeView1->node(1);
    if (!top) {
        ShowNoNode();
        return;
    }
    TreeView1->selectNode(top);
    MyTreeView1_NodeClick(top);
}

int FrmEdit::TreeIndexOf(const QTreeWidgetItem* node) const {
    const int index = TreeView1->treeIndex(node);
    if (static_cast<std::size_t>(index) > kMaxInt16) throw overflowError();
    return index;
}

}  // namespace trelmo::ui
