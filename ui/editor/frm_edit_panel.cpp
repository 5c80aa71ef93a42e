// The properties panel: the selected node's name and data source, the
// register button that checks and stores them, and the question before
// values typed but not registered would be lost.
#include <QComboBox>
#include <QEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QTreeWidget>

#include "engine/convert/schema_check.h"
#include "engine/error.h"
#include "ui/editor/frm_edit.h"
#include "ui/editor/load_dsd.h"
#include "ui/editor/schema_edits.h"
#include "ui/editor/schema_tree_view.h"

namespace trelmo::ui {

namespace {

const char* const kDataSourceMessage =
    "データソースを指定してください。\r\n（CSVの左から数えて何列目を挿入したいのかということです。）";
const Message kPendingQuestion{"ノード名またはデータソースが登録されていません。登録しますか？",
                               MsgButtons::YesNoCancel, MsgIcon::None, 0};

// Input methods type full-width digits, signs and blanks; the number
// conversion reads their ASCII forms.
std::string asciiNumberText(const QString& typed) {
    QString text = typed;
    for (QChar& c : text) {
        const char16_t u = c.unicode();
        if (u >= u'\uFF10' && u <= u'\uFF19')
            c = QChar(u'0' + (u - u'\uFF10'));
        else if (u == u'\uFF0B')
            c = QChar(u'+');
        else if (u == u'\uFF0D' || u == u'\u2212')
            c = QChar(u'-');
        else if (u == u'\u3000')
            c = QChar(u' ');
    }
    return text.toStdString();
}

std::string lowerKind(const xml::Node& e) {
    return QString::fromStdString(e.baseName()).toLower().toStdString();
}

bool isDataKind(std::string_view kind) {
    return kind == nodekind::Text || kind == nodekind::CDataSection || kind == nodekind::Comment;
}

}  // namespace

// An enabled field has the window background, a disabled one light grey.
void FrmEdit::SetFieldEnabled(QWidget* field, bool enabled) {
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, enabled ? QGuiApplication::palette().color(QPalette::Base)
                                             : oleColor(0xC0C0C0));
    field->setPalette(palette);
    field->setEnabled(enabled);
}

// A click on the node shown keeps what was typed into the panel; any other
// node, or none, is loaded.
void FrmEdit::TreeView1_NodeClick(QTreeWidgetItem* node) {
    if (!node) {
        ShowNoNode();
        return;
    }
    if (TreeView1->treeIndex(node) == shownIndex_ && HasPendingEdit()) return;
    MyTreeView1_NodeClick(node);
}

void FrmEdit::MyTreeView1_NodeClick(QTreeWidgetItem* xNode) {
    try {
        shownIndex_ = 0;
        txtName->clear();
        Combo2->setCurrentIndex(-1);
        Combo2->clearEditText();
        SetFieldEnabled(Combo2, false);  // until the kind is known to take one
        SetFieldEnabled(ListView1, true);

        const int k = TreeIndexOf(xNode);
        const xml::Node e = document_->element(k);
        shownIndex_ = k;
        cmdApply->setEnabled(true);
        const QString name = QString::fromStdString(e.attribute("name").value_or(""));
        const QString ds = QString::fromStdString(e.attribute("DataSource").value_or(""));
        const std::string kind = lowerKind(e);

        if (kind == nodekind::Element) {
            SetFieldEnabled(txtName, true);
            txtName->setText(name);
            SetFieldEnabled(Combo2, false);
        } else if (kind == nodekind::Attribute) {
            SetFieldEnabled(txtName, true);
            txtName->setText(name);
            SetFieldEnabled(Combo2, true);
            Combo2->setEditText(ds);
        } else if (isDataKind(kind)) {
            SetFieldEnabled(txtName, false);
            SetFieldEnabled(Combo2, true);
            Combo2->setEditText(ds);
        } else {
            SetFieldEnabled(txtName, false);
        }
    } catch (const std::exception& e) {
        const auto* runtime = dynamic_cast<const RuntimeError*>(&e);
        services_.messages.show((runtime ? runtime->description() : std::string(e.what())) +
                                "\r\nTreeView1_NodeClick");
    }
}

void FrmEdit::ShowNoNode() {
    shownIndex_ = 0;
    txtName->clear();
    Combo2->setCurrentIndex(-1);
    Combo2->clearEditText();
    SetFieldEnabled(txtName, false);
    SetFieldEnabled(Combo2, false);
    cmdApply->setEnabled(false);
}

bool FrmEdit::HasPendingEdit() const {
    const std::vector<xml::Node>& list = document_->nodeList();
    if (shownIndex_ < 1 || static_cast<std::size_t>(shownIndex_) > list.size()) return false;
    const xml::Node& e = list[static_cast<std::size_t>(shownIndex_ - 1)];
    const auto differs = [&](const QString& typed, const char* attribute) {
        return typed.toStdString() != e.attribute(attribute).value_or("");
    };
    return (txtName->isEnabled() && differs(txtName->text(), "name")) ||
           (Combo2->isEnabled() && differs(Combo2->currentText(), "DataSource"));
}

bool FrmEdit::ResolvePendingEdit() {
    if (!HasPendingEdit()) return true;
    switch (services_.messages.show(kPendingQuestion)) {
    case MsgAnswer::Yes:
        cmdApply_Click();
        return !HasPendingEdit();  // only a register that went through
    case MsgAnswer::No:
        MyTreeView1_NodeClick(TreeView1->node(shownIndex_));  // the typed values are dropped
        return true;
    default: return false;
    }
}

void FrmEdit::Field_GotFocus(QWidget* field) {
    QLineEdit* edit = field == Combo2 ? Combo2->lineEdit() : qobject_cast<QLineEdit*>(field);
    if (edit && !edit->text().isEmpty()) edit->selectAll();
}

bool FrmEdit::eventFilter(QObject* watched, QEvent* event) {
    if (FileDrag(event)) return true;
    if (event->type() == QEvent::FocusIn && (watched == txtName || watched == Combo2))
        Field_GotFocus(static_cast<QWidget*>(watched));
    return QDialog::eventFilter(watched, event);
}

void FrmEdit::cmdApply_Click() {
    try {
        if (!document_->doc() || shownIndex_ < 1) return;
        const xml::Node e = document_->element(shownIndex_);
        const std::string kind = lowerKind(e);
        const std::string name = txtName->text().toStdString();
        const std::string ds = asciiNumberText(Combo2->currentText());
        const auto require = [this](bool given, const char* message, QWidget* field) {
            if (given) return true;
            services_.messages.show(message);
            field->setFocus();
            return false;
        };
        // The data source is stored as the decimal text of a 16-bit integer.
        const auto number = [](const std::string& text) { return std::to_string(DataSourceNumber(text)); };

        if (kind == nodekind::Element) {
            if (!require(!name.empty(), "要素の名前が必要です。", txtName)) return;
            if (!StoreProperties(e, {{"name", name}})) return;
        } else if (kind == nodekind::Attribute) {
            if (!require(!name.empty(), "属性の名前が必要です。", txtName)) return;
            if (!require(!ds.empty(), kDataSourceMessage, Combo2)) return;
            std::string source;
            try {
                source = number(ds);
            } catch (const RuntimeError&) {
                StoreProperties(e, {{"name", name}});  // the name is kept, as typed
                throw;
            }
            if (!StoreProperties(e, {{"name", name}, {"DataSource", source}})) return;
        } else if (isDataKind(kind)) {
            if (!require(!ds.empty(), kDataSourceMessage, Combo2)) return;
            if (!StoreProperties(e, {{"DataSource", number(ds)}})) return;
        }
        UpdateViews(e, false);  // the list row; the tree shows kinds only
        // The panel shows what was stored (a data source as its number).
        MyTreeView1_NodeClick(TreeView1->node(shownIndex_));
    } catch (const std::exception& e) {
        showError(e, MsgIcon::Critical);
    }
}

// One register is one step of the history, and a change unless it gives
// every attribute the value it has. A failure is told as SetNodeAttribute
// tells it.
bool FrmEdit::StoreProperties(const xml::Node& element,
                              const std::vector<std::pair<std::string, std::string>>& values) {
    auto edit = std::make_unique<SetPropertiesEdit>(element, values);
    if (!edit->changesAnything()) return true;
    try {
        document_->push(std::move(edit));
    } catch (const RuntimeError& e) {
        showError(e, MsgIcon::None);
        return false;
    }
    return true;
}

}  // namespace trelmo::ui
