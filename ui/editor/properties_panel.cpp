#include "ui/editor/properties_panel.h"

#include <QComboBox>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QScopeGuard>

#include "engine/error.h"
#include "engine/convert/schema_check.h"
#include "ui/editor/load_dsd.h"
#include "ui/editor/schema_document.h"
#include "ui/editor/twips.h"

namespace trelmo::ui {

namespace {

const char* const kDataSourceMessage =
    "データソースを指定してください。\r\n（CSVの左から数えて何列目を挿入したいのかということです。）";
const Message kPendingQuestion{"ノード名またはデータソースが登録されていません。登録しますか？",
                               MsgButtons::YesNoCancel, MsgIcon::None, 0};
constexpr const char* kValue = "Value";

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

// A node's fixed value: its Value attribute (any case) when it has no data source.
std::optional<std::string> fixedValueOf(const xml::Node& e) {
    if (!e.attribute("DataSource").value_or("").empty()) return std::nullopt;
    const auto value = attributeAnyCase(e, kValue);
    return value ? std::optional<std::string>(value->value) : std::nullopt;
}

QString text(const char* utf8) { return QString::fromUtf8(utf8); }

}  // namespace

QString dataSourceText(const xml::Node& e) {
    if (const auto fixed = fixedValueOf(e)) return text("固定: ") + QString::fromStdString(*fixed);
    return QString::fromStdString(e.attribute("DataSource").value_or(""));
}

QString PropertiesPanel::fixedValueChoice() { return text("固定値"); }

PropertiesPanel::PropertiesPanel(SchemaDocument& document, MessageSink& messages, QWidget* parent)
    : QGroupBox(text("要素名とCSVのフィールド番号"), parent), document_(document), messages_(messages) {
    setObjectName("Frame1");
    nodeNameLabel = place(new QLabel(text("ノード名"), this), "lblName", 150, 240, 2055, 255);
    nodeNameEdit = place(new QLineEdit(this), "txtName", 120, 540, 2115, 285);
    dataSourceLabel = place(new QLabel(text("データソース"), this), "Label1", 2370, 240, 1455, 255);
    dataSourceBox = place(new QComboBox(this), "Combo2", 2370, 540, 1155, 300);
    dataSourceBox->setEditable(true);
    dataSourceBox->setInsertPolicy(QComboBox::NoInsert);
    registerButton = place(new QPushButton(text("登録"), this), "cmdApply", 3600, 520, 765, 345);
    registerButton->setAutoDefault(false);
    sourceKindBox = place(new QComboBox(this), "sourceKindBox", 120, 930, 1050, 300);
    sourceKindBox->addItems({text("列"), fixedValueChoice()});
    fixedValueEdit = place(new QLineEdit(this), "fixedValueEdit", 1230, 930, 3135, 285);
    setTabOrder(dataSourceBox, sourceKindBox);
    setTabOrder(sourceKindBox, fixedValueEdit);
    setTabOrder(fixedValueEdit, registerButton);

    connect(registerButton, &QPushButton::clicked, this, [this] { registerEdits(); });
    // Enter in any box registers.
    for (QLineEdit* box : {nodeNameEdit, dataSourceBox->lineEdit(), fixedValueEdit})
        connect(box, &QLineEdit::returnPressed, this, [this] { registerEdits(); });
    connect(sourceKindBox, &QComboBox::currentIndexChanged, this, [this] { kindChosen(); });
    nodeNameEdit->installEventFilter(this);
    dataSourceBox->installEventFilter(this);
    fixedValueEdit->installEventFilter(this);

    // The node shown follows its changes (an undo, a dropped column: every
    // command settles the typed values first) and goes when it leaves the
    // schema. While registering, the panel shows what it stores itself.
    connect(&document_, &SchemaDocument::nodeChanged, this, [this](const xml::Node& e) {
        if (e == shown_ && !storing_) load(e);
    });
    connect(&document_, &SchemaDocument::nodesRemoved, this, [this] {
        if (shown_ && document_.indexOf(shown_) < 0) showNone();
    });
    showNone();
}

// An enabled field has the window background, a disabled one light grey.
void PropertiesPanel::setFieldEnabled(QWidget* field, bool enabled) {
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, enabled ? QGuiApplication::palette().color(QPalette::Base)
                                             : oleColor(0xC0C0C0));
    field->setPalette(palette);
    field->setEnabled(enabled);
}

void PropertiesPanel::clearAll() {
    dataSourceBox->clear();
    showNone();
}

void PropertiesPanel::setDataSourceChoices(int count) {
    const QString shownText = dataSourceBox->currentText();
    QStringList items;
    for (int i = 1; i <= count; ++i) items.append(QString::number(i));
    dataSourceBox->clear();
    dataSourceBox->addItems(items);
    dataSourceBox->setCurrentIndex(-1);
    dataSourceBox->setEditText(shownText);
}

void PropertiesPanel::showNode(const xml::Node& element) {
    if (!element) {
        showNone();
        return;
    }
    if (element == shown_ && hasPendingEdit()) return;
    load(element);
}

void PropertiesPanel::showNone() {
    shown_ = {};
    takesSource_ = false;
    nodeNameEdit->clear();
    dataSourceBox->setCurrentIndex(-1);
    dataSourceBox->clearEditText();
    sourceKindBox->setCurrentIndex(0);
    fixedValueEdit->clear();
    for (QWidget* field : std::initializer_list<QWidget*>{nodeNameEdit, dataSourceBox, sourceKindBox, fixedValueEdit})
        setFieldEnabled(field, false);
    registerButton->setEnabled(false);
}

// The fields are set in place, so that the box with the focus keeps it.
void PropertiesPanel::load(const xml::Node& e) {
    shown_ = e;
    registerButton->setEnabled(true);
    const std::string kind = lowerKind(e);
    const bool named = kind == nodekind::Element || kind == nodekind::Attribute;
    takesSource_ = kind == nodekind::Attribute || isDataKind(kind);
    nodeNameEdit->setText(named ? QString::fromStdString(e.attribute("name").value_or("")) : QString());
    setFieldEnabled(nodeNameEdit, named);
    const auto value = attributeAnyCase(e, kValue);
    dataSourceBox->setCurrentIndex(-1);
    dataSourceBox->setEditText(takesSource_ ? QString::fromStdString(e.attribute("DataSource").value_or(""))
                                            : QString());
    fixedValueEdit->setText(takesSource_ && value ? QString::fromStdString(value->value) : QString());
    sourceKindBox->setCurrentIndex(takesSource_ && fixedValueOf(e) ? 1 : 0);
    setFieldEnabled(sourceKindBox, takesSource_);
    if (takesSource_) {
        kindChosen();
    } else {
        setFieldEnabled(dataSourceBox, false);
        setFieldEnabled(fixedValueEdit, false);
    }
}

bool PropertiesPanel::fixedChosen() const { return sourceKindBox->currentIndex() == 1; }

void PropertiesPanel::kindChosen() {
    if (!takesSource_) return;
    setFieldEnabled(dataSourceBox, !fixedChosen());
    setFieldEnabled(fixedValueEdit, fixedChosen());
}

bool PropertiesPanel::hasPendingEdit() const {
    if (!shown_ || document_.indexOf(shown_) < 0) return false;
    const auto differs = [&](const QString& typed, const char* attribute) {
        return typed.toStdString() != shown_.attribute(attribute).value_or("");
    };
    if (nodeNameEdit->isEnabled() && differs(nodeNameEdit->text(), "name")) return true;
    if (!takesSource_) return false;
    const auto fixed = fixedValueOf(shown_);
    if (fixedChosen() != fixed.has_value()) return true;
    return fixedChosen() ? fixedValueEdit->text().toStdString() != *fixed
                         : differs(dataSourceBox->currentText(), "DataSource");
}

bool PropertiesPanel::settlePending() {
    if (!hasPendingEdit()) return true;
    switch (messages_.show(kPendingQuestion)) {
    case MsgAnswer::Yes: return registerEdits() && !hasPendingEdit();
    case MsgAnswer::No:
        load(shown_);  // the typed values are dropped
        return true;
    default: return false;
    }
}

bool PropertiesPanel::registerEdits() {
    try {
        if (!shown_ || document_.indexOf(shown_) < 0) return false;
        const xml::Node e = shown_;
        const std::string kind = lowerKind(e);
        const std::string name = nodeNameEdit->text().toStdString();
        const std::string ds = asciiNumberText(dataSourceBox->currentText());
        const auto require = [this](bool given, const char* message, QWidget* field) {
            if (given) return true;
            messages_.show(message);
            field->setFocus();
            return false;
        };
        // The data source is stored as the decimal text of a 16-bit integer.
        const auto number = [](const std::string& t) { return std::to_string(DataSourceNumber(t)); };
        std::vector<PropertyChange> changes;
        if (kind == nodekind::Element || kind == nodekind::Attribute) {
            const char* message = kind == nodekind::Element ? "要素の名前が必要です。" : "属性の名前が必要です。";
            if (!require(!name.empty(), message, nodeNameEdit)) return false;
            changes.emplace_back("name", name);
        }
        if (takesSource_ && fixedChosen()) {
            // The fixed value replaces the data source; its name is written as "Value".
            const auto old = attributeAnyCase(e, kValue);
            if (old && old->name != kValue) changes.emplace_back(old->name, std::nullopt);
            changes.emplace_back("DataSource", std::nullopt);
            changes.emplace_back(kValue, fixedValueEdit->text().toStdString());
        } else if (takesSource_) {
            if (!require(!ds.empty(), kDataSourceMessage, dataSourceBox)) return false;
            std::string source;
            try {
                source = number(ds);
            } catch (const RuntimeError&) {
                if (!changes.empty()) store(changes);  // the name is kept, as typed
                throw;
            }
            // A column replaces a fixed value: the two together are refused.
            if (const auto old = attributeAnyCase(e, kValue)) changes.emplace_back(old->name, std::nullopt);
            changes.emplace_back("DataSource", source);
        }
        if (!store(changes)) return false;
        load(e);  // the panel shows what was stored (a data source as its number)
        return true;
    } catch (const std::exception& error) {
        showError(error, MsgIcon::Critical);
        return false;
    }
}

// One register is one step of the history, and a change unless it gives
// every attribute the value it has.
bool PropertiesPanel::store(const std::vector<PropertyChange>& changes) {
    storing_ = true;
    const auto stored = qScopeGuard([this] { storing_ = false; });
    try {
        document_.setProperties(shown_, changes);
    } catch (const RuntimeError& e) {
        showError(e, MsgIcon::None);
        return false;
    }
    return true;
}

void PropertiesPanel::showError(const std::exception& error, MsgIcon icon) {
    messages_.show(describeError(error), icon);
}

// A box taking the focus selects its text, for typing over it.
bool PropertiesPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        QLineEdit* edit = watched == dataSourceBox ? dataSourceBox->lineEdit()
                                                   : qobject_cast<QLineEdit*>(watched);
        if (edit && !edit->text().isEmpty()) edit->selectAll();
    }
    return QGroupBox::eventFilter(watched, event);
}

}  // namespace trelmo::ui
