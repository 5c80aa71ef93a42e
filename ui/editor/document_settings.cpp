#include "ui/editor/document_settings.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <algorithm>

#include "engine/xsd/schema_from_xsd.h"
#include "ui/common/engine_path.h"
#include "ui/common/file_dialog.h"
#include "ui/editor/schema_document.h"
#include "ui/editor/twips.h"

namespace trelmo::ui {

namespace {
QString u8(const char* text) { return QString::fromUtf8(text); }

}  // namespace

DocumentSettings::DocumentSettings(SchemaDocument& document, CommonDialog& dialog,
                                   MessageSink& messages, QWidget* frame, QObject* parent)
    : QObject(parent), document_(document), dialog_(dialog), messages_(messages) {
    rootNameLabel = place(new QLabel(u8("最上位の要素名"), frame), "lblRootName", 90, 270, 1995, 255);
    rootNameEdit = place(new QLineEdit(frame), "Text1", 90, 540, 1935, 285);
    encodingLabel = place(new QLabel(u8("エンコーディング指定"), frame), "lblEncoding", 2490, 240, 1785, 255);
    encodingEdit = place(new QLineEdit(frame), "txtEncoding", 2520, 540, 1815, 285);
    rootPathEdit = place(new QLineEdit(frame), "Text2", 90, 4110, 1935, 285);
    rootPathEdit->setReadOnly(true);

    settingsGroup_ = new QGroupBox(u8("文書の設定"));
    settingsGroup_->setObjectName("settingsGroup");
    place(new QLabel(u8("検証用XSD"), settingsGroup_), "lblXsd", 120, 240, 1500, 255);
    xsdPathEdit = place(new QLineEdit(settingsGroup_), "xsdPathEdit", 120, 510, 3300, 285);
    xsdBrowseButton = place(new QPushButton(u8("参照"), settingsGroup_), "xsdBrowseButton", 3480, 490, 765, 330);
    xsdBrowseButton->setAutoDefault(false);
    place(new QLabel(u8("名前空間"), settingsGroup_), "lblNamespace", 4560, 240, 1500, 255);
    namespaceEdit = place(new QLineEdit(settingsGroup_), "namespaceEdit", 4560, 510, 3000, 285);
    place(new QLabel(u8("見出し行"), settingsGroup_), "lblHeaderRows", 7680, 240, 1200, 255);
    headerRowsBox = place(new QSpinBox(settingsGroup_), "headerRowsBox", 7680, 510, 900, 300);
    headerRowsBox->setRange(0, 9);

    const auto typed = [this](QLineEdit* box, Setting which) {
        connect(box, &QLineEdit::textChanged, this,
                [this, which](const QString& text) { document_.setSetting(which, text); });
    };
    typed(rootNameEdit, Setting::RootName);
    typed(encodingEdit, Setting::Encoding);
    typed(xsdPathEdit, Setting::Xsd);
    typed(namespaceEdit, Setting::Namespace);
    connect(headerRowsBox, &QSpinBox::valueChanged, this, [this](int rows) {
        if (!showing_ && rows != document_.headerRows()) document_.setSetting(Setting::HeaderRows, QString::number(rows));
    });
    connect(xsdBrowseButton, &QPushButton::clicked, this, [this] { chooseXsd(); });
    connect(rootNameEdit, &QLineEdit::textChanged, this,
            [this](const QString& text) { rootPathEdit->setText("/" + text); });

    connect(&document_, &SchemaDocument::settingsChanged, this, &DocumentSettings::showSetting);
    connect(&document_, &SchemaDocument::reset, this, [this] {
        for (Setting s : {Setting::RootName, Setting::Encoding, Setting::Xsd, Setting::Namespace,
                          Setting::HeaderRows})
            showSetting(s);
        // The settings kept in the schema need one to be kept in.
        const bool schema = document_.doc() && document_.doc()->documentElement();
        for (QWidget* w : std::initializer_list<QWidget*>{xsdPathEdit, xsdBrowseButton, namespaceEdit, headerRowsBox})
            w->setEnabled(schema);
    });
}

void DocumentSettings::showSetting(Setting which) {
    const QString value = document_.setting(which);
    showing_ = true;
    QLineEdit* box = which == Setting::RootName   ? rootNameEdit
                     : which == Setting::Encoding ? encodingEdit
                     : which == Setting::Xsd      ? xsdPathEdit
                     : which == Setting::Namespace ? namespaceEdit
                                                   : nullptr;
    if (box && box->text() != value) box->setText(value);
    if (which == Setting::HeaderRows && headerRowsBox->value() != value.toInt())
        headerRowsBox->setValue(std::clamp(value.toInt(), 0, 9));
    showing_ = false;
}

void DocumentSettings::chooseXsd() {
    dialog_.settings.defaultExt = QStringLiteral("xsd");
    if (!dialog_.choose(FileDialogMode::Open, u8("検証用XSDを選択してください"),
                        u8("XMLスキーマ(*.xsd)|*.xsd|すべてのﾌｧｲﾙ (*.*)|*.*"),
                        dlgflags::FileMustExist | dlgflags::HideReadOnly, messages_))
        return;
    // Below the schema's folder, the path from there; anywhere else, whole.
    const std::string folder = xsd::schemaFolder(document_.filePath());
    document_.setSetting(Setting::Xsd, QString::fromStdString(
                                           xsd::xsdReference(enginePath(dialog_.settings.fileName), folder)));
}

void DocumentSettings::focusRootName() {
    rootNameEdit->setFocus();
    rootNameEdit->selectAll();
}

void DocumentSettings::showPlaceholderPath() { rootPathEdit->setText("/RootNodeName"); }

}  // namespace trelmo::ui
