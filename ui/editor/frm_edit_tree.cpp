// Rebuilding the tree and the node list from SchemaDoc, and the data-source
// choices.
#include <QComboBox>
#include <QLineEdit>
#include <QTreeWidget>

#include "engine/error.h"
#include "ui/editor/frm_edit.h"
#include "ui/editor/load_dsd.h"
#include "ui/editor/schema_tree_view.h"

namespace trelmo::ui {

namespace {
constexpr std::size_t kMaxInt16 = 32767;
}

void FrmEdit::SelectSchemaNodeList() {
    if (SchemaDoc)
        SchemaNodeList = SchemaDoc->documentElement().selectAllElements();
    else
        SchemaNodeList.clear();
}

void FrmEdit::RebuildViews() {
    TreeView1->clearNodes();
    ListView1->clear();
    SelectSchemaNodeList();
    MakeTree(*TreeView1, *SchemaDoc, services_.messages);
}

void FrmEdit::RefreshNodeList() {
    QList<QTreeWidgetItem*> rows;
    try {
        SelectSchemaNodeList();
        ListView1->clear();
        if (SchemaNodeList.size() > kMaxInt16) throw overflowError();
        rows.reserve(static_cast<qsizetype>(SchemaNodeList.size()));
        for (const xml::Node& e : SchemaNodeList) {
            auto* row = new QTreeWidgetItem;
            row->setText(0, QString::fromStdString(e.name()));
            if (e.attributeCount() > 0) {
                const std::string name = e.attribute("name").value_or("");
                row->setText(1, name.empty() ? QStringLiteral("--") : QString::fromStdString(name));
                row->setText(2, QString::fromStdString(e.attribute("DataSource").value_or("")));
            }
            rows.append(row);
        }
        ListView1->addTopLevelItems(rows);
    } catch (const std::exception& e) {
        ListView1->addTopLevelItems(rows);  // the rows made so far stay
        showError(e, MsgIcon::Critical);
    }
    emit schemaChanged();
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
    SchemaDoc = std::move(doc);
    ShowSchemaDoc();
}

void FrmEdit::ShowSchemaDoc() {
    if (!SchemaDoc) return;
    const auto step = [](auto&& work) {
        try {
            work();
        } catch (const std::exception&) {
        }
    };
    step([&] { TreeView1->clearNodes(); });
    step([&] { SelectSchemaNodeList(); });
    step([&] { MakeTree(*TreeView1, *SchemaDoc, services_.messages); });
    step([&] { Text1->clear(); });
    step([&] {
        if (auto root = SchemaDoc->documentElement().attribute("root"))
            Text1->setText(QString::fromStdString(*root));
    });
    step([&] {
        if (auto encoding = SchemaDoc->documentElement().attribute("encoding"))
            txtEncoding->setText(QString::fromStdString(*encoding));
    });
    RefreshNodeList();
}

xml::Node FrmEdit::SchemaElement(int treeIndex) const {
    if (treeIndex < 1 || static_cast<std::size_t>(treeIndex) > SchemaNodeList.size())
        throw subscriptOutOfRangeError();
    return SchemaNodeList[static_cast<std::size_t>(treeIndex - 1)];
}

int FrmEdit::TreeIndexOf(const QTreeWidgetItem* node) const {
    const int index = SchemaTreeView::treeIndex(node);
    if (static_cast<std::size_t>(index) > kMaxInt16) throw overflowError();
    return index;
}

}  // namespace trelmo::ui
