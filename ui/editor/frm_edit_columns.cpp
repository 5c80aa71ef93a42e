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
#include "ui/editor/schema_document.h"
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
    PopMnuColumns->setShortcutContext(Qt::WidgetWithChildrenShortcut);  // not from the XML preview
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

// Enabled with a schema, as the insert commands are: used where it cannot
// work, it says why.
void FrmEdit::UpdateColumnsCommand() { PopMnuColumns->setEnabled(document_->doc().has_value()); }

void FrmEdit::PopMnuColumns_Click() {
    try {
        QTreeWidgetItem* selected = CommandTarget();
        if (!selected) return;
        const auto refuse = [this](const char* why) {
            services_.messages.show(Message{why, MsgButtons::Ok, MsgIcon::Exclamation, 0});
        };
        if (ListView2Items->columnCount() == 0)
            return refuse("CSVを開いてください。CSVのプレビューの列からノードを作ります。");
        const xml::Node target = document_->element(TreeIndexOf(selected));
        if (target.name() != nodekind::Element) return refuse("elementにしか子要素を挿入できません。");
        std::vector<std::string> attributes;
        for (const xml::Node& child : target.children())
            if (child.name() == nodekind::Attribute) attributes.push_back(child.attribute("name").value_or(""));
        auto* dialog = new ColumnsDialog(*ListView2Items, encodingText().toStdString(),
                                         document_->nodeList().size(), std::move(attributes), namesFromFirstRecord_,
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
    SchemaDocument::Step shown;
    shown.taken = true;
    try {
        // The dialog is modal, but the document could have been replaced.
        const std::vector<xml::Node>& list = document_->nodeList();
        if (columns.empty() || !document_->doc() ||
            std::find(list.begin(), list.end(), target) == list.end())
            return;
        auto edit = std::make_unique<InsertNodesEdit>(target, makeColumnNodes(*document_->doc(), columns));
        const SchemaEdit& made = *edit;
        document_->push(std::move(edit));
        shown.touched = made.touched();
    } catch (const std::exception& e) {
        showError(e, MsgIcon::Critical);
        return;
    }
    // Shown as a step of the history is: the target selected with its new children.
    ShowStep(shown);
}

bool FrmEdit::TakesColumn(const QTreeWidgetItem* node) const {
    const std::vector<xml::Node>& list = document_->nodeList();
    const int t = TreeView1->treeIndex(node);
    if (!document_->doc() || t < 1 || static_cast<std::size_t>(t) > list.size()) return false;
    const xml::Node& e = list[static_cast<std::size_t>(t - 1)];
    return e.name() == nodekind::Element || isLeafKind(e);
}

// On an element, a child element holding a text node bound to the column; on
// any other node, its data source stored as "登録" stores it.
void FrmEdit::TreeView1_ColumnDrop(QTreeWidgetItem* node, int column) {
    SchemaDocument::Step shown;
    shown.taken = true;
    try {
        if (!TakesColumn(node) || !ResolvePendingEdit()) return;
        const xml::Node e = document_->element(TreeIndexOf(node));
        const std::string source = std::to_string(toInt16(std::to_string(column)));
        if (e.name() != nodekind::Element) {
            TreeView1->selectNode(node);
            if (StoreProperties(e, {{"DataSource", source}})) UpdateViews(e, false);
            MyTreeView1_NodeClick(node);
            return;
        }
        const std::size_t count = document_->nodeList().size();
        if (count + 2 > kMaxSchemaElements) {
            services_.messages.show(tooManyElementsMessage(count + 2),
                                    MsgIcon::Exclamation);
            return;
        }
        std::string name = convert::defaultColumnName(static_cast<std::size_t>(column));
        if (namesFromFirstRecord_) {
            const std::string first = ListView2Items->cell(0, column - 1).toStdString();
            if (convert::NameRule(encodingText().toStdString()).usable(first)) name = first;
        }
        const xml::Node child = makeColumnNode(*document_->doc(), {column, ColumnKind::Element, name});
        document_->push(std::make_unique<InsertNodeEdit>(e, child));
        shown.touched = child;
    } catch (const std::exception& e) {
        showError(e, MsgIcon::Critical);
        return;
    }
    ShowStep(shown);  // the new element selected
}

void FrmEdit::RefreshColumnMarks() {
    std::vector<QString> tooltips;
    try {
        if (document_->doc()) {
            const auto uses = columnUses(*document_->doc(), ListView2Items->columnCount());
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
