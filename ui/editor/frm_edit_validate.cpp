// The check before saving: the window's document settings go into SchemaDoc,
// then every element must follow the rule of its kind, and every name the
// output is built with must be one the output can carry. The steps are the
// engine's (schema_check.h), which the XML preview runs too; here the first
// element that breaks a rule is reported, selected in the tree and shown in
// the panel.
#include <QLineEdit>
#include <QTreeWidget>

#include "engine/convert/schema_check.h"
#include "engine/error.h"
#include "ui/editor/frm_edit.h"
#include "ui/editor/preview_model.h"
#include "ui/editor/schema_tree_view.h"

namespace trelmo::ui {

bool FrmEdit::ValidateSchema() {
    // The node's own tree node, selected and shown as a click does.
    const auto selectNode = [this](std::size_t position) {
        QTreeWidgetItem* node = TreeView1->node(static_cast<int>(position));
        if (!node) throw subscriptOutOfRangeError();
        TreeView1->scrollToItem(node);
        TreeView1->setCurrentItem(node);
        MyTreeView1_NodeClick(node);  // "登録" writes into the node shown
    };
    const auto say = [this](const std::string& text) {
        services_.messages.show(Message{text, MsgButtons::Ok, MsgIcon::None, 0});
    };
    try {
        const std::string root = Text1->text().toStdString();
        if (!RootNameGiven(root)) {
            say(kNoRootName);
            Text1->setText(QString::fromUtf8(kRootPlaceholder));
            return false;
        }

        // The settings stay in the document whatever the check finds later.
        ApplySaveSettings(*document_->doc(), root, txtEncoding->text().toStdString());
        if (!document_->doc()->documentElement()) throw RuntimeError(err::XmlDom, kNoSchemaElement);
        document_->selectNodeList();
        const SchemaCheck check = CheckSchemaNodes(document_->nodeList(), root, OutputEncodingOf(*document_->doc()));
        if (const std::optional<SchemaFault>& fault = check.fault) {
            if (fault->node == 0) {  // the root name
                say(fault->message);
                Text1->setFocus();
                return false;
            }
            if (fault->selectFirst) selectNode(fault->node);
            say(fault->message);
            if (!fault->selectFirst) selectNode(fault->node);
            return false;
        }
        // A data source that converts into error text: saved only when told.
        const std::vector<xml::Node>& elements = document_->nodeList();
        const auto columns = static_cast<std::size_t>(ListView2Items->columnCount());
        if (const std::optional<SchemaFault> warning = CheckDataSources(elements, columns)) {
            selectNode(warning->node);
            const Message question{warning->message, MsgButtons::YesNo, MsgIcon::Exclamation, 1};
            if (services_.messages.show(question) != MsgAnswer::Yes) return false;
        }

        if (check.bound == 0) {
            const Message question{kNothingBound, MsgButtons::OkCancel, MsgIcon::None, 0};
            return services_.messages.show(question) == MsgAnswer::Ok;
        }
        return true;
    } catch (const std::exception& e) {
        showError(e, MsgIcon::Critical);
        return false;
    }
}

}  // namespace trelmo::ui
