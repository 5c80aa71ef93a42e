// The properties panel: a clicked node's name and data source, and the
// register button that checks and stores them.
#include <QComboBox>
#include <QEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPalette>
#include <QTreeWidget>

#include "engine/error.h"
#include "engine/text/number.h"
#include "ui/editor/frm_edit.h"
#include "ui/editor/load_dsd.h"
#include "ui/editor/schema_edits.h"
#include "ui/editor/schema_tree_view.h"

namespace trelmo::ui {

namespace {

const char* const kDataSourceMessage =
    "データソースを指定してください。\r\n（CSVの左から数えて何列目を挿入したいのかということです。）";

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

void FrmEdit::TreeView1_NodeClick(QTreeWidgetItem* node) { MyTreeView1_NodeClick(node); }

void FrmEdit::MyTreeView1_NodeClick(QTreeWidgetItem* xNode) {
    try {
        txtName->clear();
        Combo2->setCurrentIndex(-1);
        Combo2->clearEditText();
        SetFieldEnabled(Combo2, false);  // until the kind is known to take one
        SetFieldEnabled(ListView1, true);

        const xml::Node e = SchemaElement(TreeIndexOf(xNode));
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
    txtName->clear();
    SetFieldEnabled(Combo2, false);
}

void FrmEdit::Field_GotFocus(QWidget* field) {
    QLineEdit* edit = field == Combo2 ? Combo2->lineEdit() : qobject_cast<QLineEdit*>(field);
    if (edit && !edit->text().isEmpty()) edit->selectAll();
}

bool FrmEdit::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn && (watched == txtName || watched == Combo2))
        Field_GotFocus(static_cast<QWidget*>(watched));
    return QDialog::eventFilter(watched, event);
}

void FrmEdit::cmdApply_Click() {
    try {
        if (!SchemaDoc) return;
        QTreeWidgetItem* selected = TreeView1->selectedNode();
        if (!selected) return;
        const xml::Node e = SchemaElement(TreeIndexOf(selected));
        const std::string kind = lowerKind(e);
        const std::string name = txtName->text().toStdString();
        const std::string ds = Combo2->currentText().toStdString();
        const auto require = [this](bool given, const char* message, QWidget* field) {
            if (given) return true;
            services_.messages.show(message);
            field->setFocus();
            return false;
        };
        // The data source is stored as the decimal text of a 16-bit integer.
        const auto number = [](const std::string& text) { return std::to_string(toInt16(text)); };

        if (kind == nodekind::Element) {
            if (!require(!name.empty(), "要素の名前が必要です。", txtName)) return;
            StoreProperties(e, {{"name", name}});
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
            StoreProperties(e, {{"name", name}, {"DataSource", source}});
        } else if (isDataKind(kind)) {
            if (!require(!ds.empty(), kDataSourceMessage, Combo2)) return;
            StoreProperties(e, {{"DataSource", number(ds)}});
        }
        RefreshNodeList();
    } catch (const std::exception& e) {
        showError(e, MsgIcon::Critical);
    }
}

// One register is one step of the history, and a change unless it gives
// every attribute the value it has. A failure is told as SetNodeAttribute
// tells it.
void FrmEdit::StoreProperties(const xml::Node& element,
                              const std::vector<std::pair<std::string, std::string>>& values) {
    auto edit = std::make_unique<SetPropertiesEdit>(element, values);
    if (!edit->changesAnything()) return;
    try {
        PushEdit(std::move(edit));
    } catch (const RuntimeError& e) {
        showError(e, MsgIcon::None);
        return;
    }
    Modified = true;
    emit schemaChanged();
}

}  // namespace trelmo::ui
