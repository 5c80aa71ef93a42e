// The check before saving: the window's document settings go into SchemaDoc,
// then every element must follow the rule of its kind, and every name the
// output is built with must be an XML name. The first element that breaks a
// rule is reported, selected in the tree and shown in the panel.
#include <QLineEdit>
#include <QTreeWidget>

#include "engine/error.h"
#include "ui/editor/frm_edit.h"
#include "ui/editor/load_dsd.h"
#include "ui/editor/schema_tree_view.h"
#include "ui/editor/skip_step.h"

namespace trelmo::ui {

namespace {

constexpr std::size_t kMaxInt16 = 32767;

const char* const kRootPlaceholder = "ルートノードの要素名";
const char* const kNoRootName = "ルートノードの要素名を入力してください。";
const char* const kNoAttributes = "要素名またはデータソースを指定してください：\r\n";
const char* const kNoName = "要素名を指定してください：\r\n";
const char* const kElementWithDataSource = "elementにデータソースは必要ありません：\r\n";
const char* const kNoDataSource = "データソースを指定してください：\r\n";
const char* const kUnknownKind = "対象外のノードタイプがあります:\r\n<";
const char* const kNotAnXmlName = "XMLで使えない名前です：\r\n";
const char* const kNothingBound =
    "データソースが一つも設定されていません。\r\nデータが挿入されませんがよろしいですか？";

bool given(const xml::Node& e, std::string_view attribute) {
    const std::optional<std::string> value = e.attribute(attribute);
    return value && !value->empty();
}

// Throws what saving would raise for this declaration (a broken declaration,
// an encoding the writer cannot use), before it is put into the schema.
void checkDeclaration(const std::string& data) {
    xml::Document probe;
    probe.appendChild(probe.createProcessingInstruction("xml", data));
    static_cast<void>(probe.xml());
}

// Whether the DOM, and so the converter that builds the output with it,
// takes the text as an element or an attribute name.
class NameCheck {
public:
    bool element(const std::string& name) const {
        return skipFailingStep([&] { scratch_.createElement(name); });
    }
    bool attribute(const std::string& name) const {
        return skipFailingStep([&] { scratch_.createElement("a").setAttribute(name, ""); });
    }

private:
    xml::Document scratch_;
};

}  // namespace

bool FrmEdit::ValidateSchema() {
    const auto say = [this](const std::string& text) {
        services_.messages.show(Message{text, MsgButtons::Ok, MsgIcon::None, 0});
    };
    try {
        const std::string root = Text1->text().toStdString();
        if (root.empty() || root == kRootPlaceholder) {
            say(kNoRootName);
            Text1->setText(QString::fromUtf8(kRootPlaceholder));
            return false;
        }

        // The settings stay in the document whatever the check finds later.
        const std::string encoding = txtEncoding->text().toStdString();
        const std::string declaration = "version=\"1.0\" encoding=\"" + encoding + "\"";
        // A rejected encoding leaves the declaration as it was.
        if (!encoding.empty()) checkDeclaration(declaration);
        xml::Node top = document_->doc()->asNode();
        if (top.childCount() > kMaxInt16) throw overflowError();
        bool replaced = false;
        for (std::size_t i = 0; i < top.childCount(); ++i) {
            xml::Node n = top.child(i);
            if (n.type() == xml::NodeType::ProcessingInstruction) {
                if (!encoding.empty() && n.name() == "xml") {
                    top.replaceChild(document_->doc()->createProcessingInstruction("xml", declaration), n);
                    replaced = true;
                }
            } else if (n.type() == xml::NodeType::Element) {
                if (!encoding.empty()) n.setAttribute("encoding", encoding);
                n.setAttribute("root", root);
            }
        }
        if (!encoding.empty() && !replaced)
            top.insertBefore(document_->doc()->createProcessingInstruction("xml", declaration), top.child(0));

        if (!document_->doc()->documentElement())
            throw RuntimeError(err::XmlDom, "スキーマに要素がありません。");
        document_->selectNodeList();
        if (document_->nodeList().size() > kMaxInt16) throw overflowError();
        int bound = 0;  // attribute, text, comment and cdatasection nodes with a data source

        // Shows the message and selects the node's own tree node.
        const auto fail = [&](std::size_t i, const std::string& text, bool selectFirst = false) {
            QTreeWidgetItem* node = TreeView1->node(static_cast<int>(i) + 1);
            const auto select = [&] {
                if (!node) throw subscriptOutOfRangeError();
                TreeView1->scrollToItem(node);
                TreeView1->setCurrentItem(node);
                MyTreeView1_NodeClick(node);  // "登録" writes into the node shown
            };
            if (selectFirst) select();
            say(text);
            if (!selectFirst) select();
            return false;
        };
        for (std::size_t i = 0; i < document_->nodeList().size(); ++i) {
            const xml::Node& node = document_->nodeList()[i];
            const std::string kind = node.name();
            if (node.attributeCount() == 0) return fail(i, kNoAttributes + kind);
            if (kind == nodekind::Element) {
                if (!given(node, "name")) return fail(i, kNoName + kind);
                if (given(node, "DataSource")) return fail(i, kElementWithDataSource + kind);
            } else if (kind == nodekind::Attribute) {
                if (!given(node, "name")) return fail(i, kNoName + kind);
                if (!given(node, "DataSource")) return fail(i, kNoDataSource + kind);
                ++bound;
            } else if (kind == nodekind::Text || kind == nodekind::Comment ||
                       kind == nodekind::CDataSection) {
                if (!given(node, "DataSource")) {
                    // A cdatasection whose DataSource is there but empty is
                    // selected before the message comes up.
                    const bool selectFirst =
                        kind == nodekind::CDataSection && node.attribute("DataSource").has_value();
                    return fail(i, kNoDataSource + kind, selectFirst);
                }
                ++bound;
            } else {
                return fail(i, kUnknownKind + kind + "> ");
            }
        }

        // The names the output is built with, which the converter refuses
        // unless XML can use them.
        const NameCheck names;
        if (!names.element(root)) {
            say(kNotAnXmlName + std::string("最上位の要素名"));
            Text1->setFocus();
            return false;
        }
        for (std::size_t i = 0; i < document_->nodeList().size(); ++i) {
            const xml::Node& node = document_->nodeList()[i];
            const std::string kind = node.name();
            const std::string name = node.attribute("name").value_or("");
            if ((kind == nodekind::Element && !names.element(name)) ||
                (kind == nodekind::Attribute && !names.attribute(name)))
                return fail(i, kNotAnXmlName + kind);
        }

        if (bound == 0) {
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
