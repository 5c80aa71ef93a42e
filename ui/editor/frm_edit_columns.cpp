// The schema built from the CSV's columns: the command "CSVの列から作成(&G)"
// with its dialog, columns of the CSV preview dropped onto tree nodes, and the
// headers of the columns that the schema uses marked in the preview.
#include <QAction>
#include <QMenu>
#include <QTreeWidget>
#include <algorithm>

#include "engine/convert/column_names.h"
#include "engine/error.h"
#include "engine/text/number.h"
#include "ui/editor/column_nodes.h"
#include "ui/editor/column_uses.h"
#include "ui/editor/columns_dialog.h"
#include "ui/editor/frm_edit.h"
#include "ui/editor/load_dsd.h"
#include "ui/editor/preview_model.h"
#include "ui/editor/schema_edits.h"
#include "ui/editor/schema_tree_view.h"

namespace trelmo::ui {

namespace {

// Kinds whose data source a dropped column sets, compared as the properties
// panel compares them.
bool isLeafKind(const xml::Node& e) {
    const std::string kind = QString::fromStdString(e.baseName()).toLower().toStdString();
    return kind == nodekind::Attribute || kind == nodekind::Text ||
           kind == nodekind::CDataSection || kind == nodekind::Comment;
}

}  // namespace

void FrmEdit::createColumnsCommand() {
    PopMnu->addSeparator();
    PopMnuColumns = PopMnu->addAction(QStringLiteral("CSVの列から作成(&G)"));
    PopMnuColumns->setObjectName("PopMnuColumns");
    PopMnuColumns->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    PopMnuColumns->setEnabled(false);
    addAction(PopMnuColumns);
    connect(PopMnuColumns, &QAction::triggered, this, [this] { PopMnuColumns_Click(); });

    TreeView1->setColumnTarget([this](const QTreeWidgetItem* node) { return TakesColumn(node); });
    connect(TreeView1, &SchemaTreeView::columnDropped, this,
            [this](QTreeWidgetItem* node, int column) { TreeView1_ColumnDrop(node, column); });
    connect(TreeView1, &QTreeWidget::itemSelectionChanged, this, [this] { UpdateColumnsCommand(); });
    connect(this, &FrmEdit::schemaChanged, this, [this] {
        UpdateColumnsCommand();
        RefreshColumnMarks();
    });
}

void FrmEdit::UpdateColumnsCommand() {
    const int t = SchemaTreeView::treeIndex(TreeView1->selectedNode());
    const bool element = SchemaDoc && t >= 1 && static_cast<std::size_t>(t) <= SchemaNodeList.size() &&
                         SchemaNodeList[static_cast<std::size_t>(t - 1)].name() == nodekind::Element;
    PopMnuColumns->setEnabled(element && ListView2Items->columnCount() > 0);
}

void FrmEdit::PopMnuColumns_Click() {
    try {
        UpdateColumnsCommand();
        if (!PopMnuColumns->isEnabled()) return;
        const xml::Node target = SchemaElement(TreeIndexOf(TreeView1->selectedNode()));
        auto* dialog = new ColumnsDialog(*ListView2Items, encodingText().toStdString(),
                                         SchemaNodeList.size(), namesFromFirstRecord_,
                                         services_.messages, this);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        connect(dialog, &QDialog::accepted, this, [this, dialog, target] {
            namesFromFirstRecord_ = dialog->namesFromFirstRecord();
            InsertColumns(target, dialog->chosen());
        });
        dialog->open();
    } catch (const std::exception& e) {
        showError(e, MsgIcon::Critical);
    }
}

void FrmEdit::InsertColumns(const xml::Node& target, const std::vector<ColumnNode>& columns) {
    try {
        // The dialog is modal, but the document could have been replaced.
        if (columns.empty() || !SchemaDoc ||
            std::find(SchemaNodeList.begin(), SchemaNodeList.end(), target) == SchemaNodeList.end())
            return;
        PushEdit(std::make_unique<InsertNodesEdit>(target, makeColumnNodes(*SchemaDoc, columns)));
    } catch (const std::exception& e) {
        showError(e, MsgIcon::Critical);
        return;
    }
    // Shown as a step of the history is: the target selected with its new children.
    ShowStep(undoStack_->index() - 1);
}

bool FrmEdit::TakesColumn(const QTreeWidgetItem* node) const {
    const int t = SchemaTreeView::treeIndex(node);
    if (!SchemaDoc || t < 1 || static_cast<std::size_t>(t) > SchemaNodeList.size()) return false;
    const xml::Node& e = SchemaNodeList[static_cast<std::size_t>(t - 1)];
    return e.name() == nodekind::Element || isLeafKind(e);
}

// On an element, a child element holding a text node bound to the column; on
// any other node, its data source stored as "登録" stores it.
void FrmEdit::TreeView1_ColumnDrop(QTreeWidgetItem* node, int column) {
    try {
        if (!TakesColumn(node)) return;
        const xml::Node e = SchemaElement(TreeIndexOf(node));
        const std::string source = std::to_string(toInt16(std::to_string(column)));
        if (e.name() != nodekind::Element) {
            TreeView1->selectNode(node);
            StoreProperties(e, {{"DataSource", source}});
            RefreshNodeList();
            MyTreeView1_NodeClick(node);
            return;
        }
        if (SchemaNodeList.size() + 2 > kMaxSchemaElements) {
            services_.messages.show(tooManyElementsMessage(SchemaNodeList.size() + 2),
                                    MsgIcon::Exclamation);
            return;
        }
        std::string name = convert::defaultColumnName(static_cast<std::size_t>(column));
        if (namesFromFirstRecord_) {
            const std::string first = ListView2Items->cell(0, column - 1).toStdString();
            if (convert::NameRule(encodingText().toStdString()).usable(first)) name = first;
        }
        const xml::Node child = makeColumnNode(*SchemaDoc, {column, ColumnKind::Element, name});
        PushEdit(std::make_unique<InsertNodeEdit>(e, child));
    } catch (const std::exception& e) {
        showError(e, MsgIcon::Critical);
        return;
    }
    ShowStep(undoStack_->index() - 1);  // the new element selected
}

void FrmEdit::RefreshColumnMarks() {
    std::vector<QString> tooltips;
    try {
        if (SchemaDoc) {
            const auto uses = columnUses(*SchemaDoc, ListView2Items->columnCount());
            tooltips.reserve(uses.size());
            for (const std::vector<std::string>& nodes : uses) {
                QString text;
                if (!nodes.empty()) text = QStringLiteral("この列を使うノード：");
                for (const std::string& n : nodes) text += "\n" + QString::fromStdString(n);
                tooltips.push_back(std::move(text));
            }
        }
    } catch (const std::exception& e) {
        showError(e, MsgIcon::Critical);
    }
    ListView2Items->setColumnUses(std::move(tooltips));
}

}  // namespace trelmo::ui
