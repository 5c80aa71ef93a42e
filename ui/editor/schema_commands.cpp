#include "ui/editor/schema_commands.h"

#include <QTreeWidget>
#include <algorithm>

#include "engine/convert/column_names.h"
#include "engine/error.h"
#include "engine/text/number.h"
#include "ui/editor/column_nodes.h"
#include "ui/editor/columns_dialog.h"
#include "ui/editor/csv_preview_pane.h"
#include "ui/editor/load_dsd.h"
#include "ui/editor/preview_model.h"
#include "ui/editor/schema_document.h"
#include "ui/editor/schema_edits.h"
#include "ui/editor/schema_tree_pane.h"
#include "ui/editor/schema_tree_view.h"

namespace trelmo::ui {

namespace {

const Message kNoNodeSelected{"ノードを選択してください。", MsgButtons::Ok, MsgIcon::Exclamation,
                              0};

int depthOf(xml::Node e) {
    int depth = 0;
    for (; e && e.type() == xml::NodeType::Element; e = e.parent()) ++depth;
    return depth;
}

// Kinds whose data source a dropped column sets, compared as the properties
// panel compares them.
bool isLeafKind(const xml::Node& e) {
    const std::string kind = QString::fromStdString(e.baseName()).toLower().toStdString();
    return kind == nodekind::Attribute || kind == nodekind::Text ||
           kind == nodekind::CDataSection || kind == nodekind::Comment;
}

}  // namespace

SchemaCommands::SchemaCommands(SchemaDocument& document, SchemaTreePane& tree, CsvPreviewPane& csv,
                               MessageSink& messages, QWidget* window)
    : QObject(window),
      document_(document),
      tree_(tree),
      csv_(csv),
      messages_(messages),
      window_(window) {}

void SchemaCommands::showError(const std::exception& error) {
    messages_.show(describeError(error), MsgIcon::Critical);
}

xml::Node SchemaCommands::target() {
    if (!document_.doc()) return {};
    const xml::Node selected = tree_.selected();
    if (!selected) messages_.show(kNoNodeSelected);
    return selected;
}

void SchemaCommands::insert(std::string_view kind) {
    try {
        const xml::Node parent = target();
        if (!parent) return;
        tree_.treeIndexOf(parent);  // past the 16-bit count, the overflow error
        if (parent.name() != nodekind::Element) {
            messages_.show(Message{"elementにしか子要素を挿入できません。", MsgButtons::Ok,
                                   MsgIcon::Exclamation, 0});
            return;
        }
        // A schema nested deeper than a load reads would neither open nor convert.
        if (depthOf(parent) >= xml::Document::kMaxLoadDepth) {
            messages_.show(Message{"これより深い階層には挿入できません（最大" +
                                       std::to_string(xml::Document::kMaxLoadDepth) + "階層）。",
                                   MsgButtons::Ok, MsgIcon::Exclamation, 0});
            return;
        }
        xml::Node n = document_.doc()->createElement(kind);
        if (kind == nodekind::Attribute || kind == nodekind::Element) n.setAttribute("name", kind);
        document_.insertNodes(parent, {n});
        tree_.selectAfterEdit(n);
    } catch (const std::exception& e) {
        showError(e);
    }
}

void SchemaCommands::deleteSelected() {
    try {
        const xml::Node node = target();
        if (!node) return;
        if (tree_.treeIndexOf(node) < 2) {
            messages_.show(Message{"削除できません", MsgButtons::Ok, MsgIcon::Exclamation, 0});
            return;
        }
        const xml::Node parent = node.parent();
        document_.removeNode(node);
        tree_.selectAfterEdit(parent);
    } catch (const std::exception& e) {
        showError(e);
    }
}

bool SchemaCommands::columnsAvailable() const { return document_.doc().has_value(); }

void SchemaCommands::chooseColumns() {
    try {
        const xml::Node parent = target();
        if (!parent) return;
        const auto refuse = [this](const char* why) {
            messages_.show(Message{why, MsgButtons::Ok, MsgIcon::Exclamation, 0});
        };
        if (csv_.columnCount() == 0)
            return refuse("CSVを開いてください。CSVのプレビューの列からノードを作ります。");
        if (parent.name() != nodekind::Element) return refuse("elementにしか子要素を挿入できません。");
        std::vector<std::string> attributes;
        for (const xml::Node& child : parent.children())
            if (child.name() == nodekind::Attribute) attributes.push_back(child.attribute("name").value_or(""));
        auto* dialog = new ColumnsDialog(csv_.records(), document_.encoding().toStdString(),
                                         document_.nodeList().size(), std::move(attributes),
                                         namesFromFirstRecord_, messages_, window_);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        connect(dialog, &QDialog::accepted, this, [this, dialog, parent] {
            namesFromFirstRecord_ = dialog->namesFromFirstRecord();
            insertColumns(parent, dialog->chosen());
        });
        dialog->open();
    } catch (const std::exception& e) {
        showError(e);
    }
}

void SchemaCommands::insertColumns(const xml::Node& parent, const std::vector<ColumnNode>& columns) {
    try {
        // The dialog is modal, but the document could have been replaced.
        if (columns.empty() || !document_.doc() || document_.indexOf(parent) < 0) return;
        auto insert = std::make_unique<InsertNodesEdit>(
            document_, parent, makeColumnNodes(*document_.doc(), columns), false);
        // Names taken from the first record make it the header line, in the same step.
        if (namesFromFirstRecord_ && document_.headerRows() == 0) {
            std::vector<std::unique_ptr<SchemaEdit>> parts;
            parts.push_back(std::move(insert));
            parts.push_back(std::make_unique<SetSettingEdit>(document_, Setting::HeaderRows,
                                                             QStringLiteral("1")));
            document_.push(std::make_unique<EditGroup>(document_, std::move(parts)));
        } else {
            document_.push(std::move(insert));
        }
        tree_.selectAfterEdit(parent);  // the target with its new children
    } catch (const std::exception& e) {
        showError(e);
    }
}

bool SchemaCommands::takesColumn(const xml::Node& e) const {
    return document_.doc() && e && document_.indexOf(e) >= 0 &&
           (e.name() == nodekind::Element || isLeafKind(e));
}

// On an element, a child element holding a text node bound to the column; on
// any other node, its data source stored as "登録" stores it.
void SchemaCommands::dropColumn(const xml::Node& e, int column) {
    try {
        if (!takesColumn(e)) return;
        const std::string source = std::to_string(toInt16(std::to_string(column)));
        if (e.name() != nodekind::Element) {
            tree_.select(e);
            try {
                document_.setProperties(e, {{"DataSource", source}});
            } catch (const RuntimeError& error) {
                messages_.show(error.description());
            }
            return;
        }
        const std::size_t count = document_.nodeList().size();
        if (count + 2 > kMaxSchemaElements) {
            messages_.show(tooManyElementsMessage(count + 2), MsgIcon::Exclamation);
            return;
        }
        std::string name = convert::defaultColumnName(static_cast<std::size_t>(column));
        if (namesFromFirstRecord_) {
            const std::string first = csv_.records().cell(0, column - 1).toStdString();
            if (convert::NameRule(document_.encoding().toStdString()).usable(first)) name = first;
        }
        const xml::Node child = makeColumnNode(*document_.doc(), {column, ColumnKind::Element, name});
        document_.insertNodes(e, {child});
        tree_.selectAfterEdit(child);
    } catch (const std::exception& error) {
        showError(error);
    }
}

void SchemaCommands::undo() {
    const SchemaDocument::Step step = document_.undo();
    showStep(step.taken, step.touched, step.error);
}

void SchemaCommands::redo() {
    const SchemaDocument::Step step = document_.redo();
    showStep(step.taken, step.touched, step.error);
}

// A step of the history is shown as the edit itself was; a step of a
// setting leaves the highlight where it is.
void SchemaCommands::showStep(bool taken, const xml::Node& touched, const std::exception_ptr& error) {
    if (!taken || !document_.doc()) return;
    try {
        if (touched) tree_.selectAfterEdit(touched);
        if (error) std::rethrow_exception(error);
    } catch (const std::exception& e) {
        showError(e);
    }
}

}  // namespace trelmo::ui
