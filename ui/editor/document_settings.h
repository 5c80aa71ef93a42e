#pragma once
// The boxes of the document settings: root name and encoding at the top of
// the structure frame, the path of the root element below the tree, and the
// group of the settings beside them (the XSD to check against, the namespace,
// the header records). Each typed change goes to the document as an undoable
// step; the boxes follow the document.

#include <QObject>

#include "engine/messages.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QWidget;

namespace trelmo::ui {

class CommonDialog;
class SchemaDocument;
enum class Setting;

class DocumentSettings : public QObject {
    Q_OBJECT
public:
    // The root-name and encoding boxes and the root path go into `frame`; the
    // other settings make their own group, settingsGroup().
    DocumentSettings(SchemaDocument& document, CommonDialog& dialog, MessageSink& messages,
                     QWidget* frame, QObject* parent = nullptr);

    QGroupBox* settingsGroup() const { return settingsGroup_; }
    QLineEdit* rootNameBox() const { return rootNameEdit; }
    // The focus in the root-name box, its text selected.
    void focusRootName();
    // The root path as a fresh window shows it.
    void showPlaceholderPath();

    // The group's size in twips.
    static constexpr int kGroupWidthTwips = 9045;
    static constexpr int kGroupHeightTwips = 900;

private:
    void showSetting(Setting which);
    void chooseXsd();

    SchemaDocument& document_;
    CommonDialog& dialog_;
    MessageSink& messages_;
    QLabel* rootNameLabel = nullptr;
    QLineEdit* rootNameEdit = nullptr;
    QLabel* encodingLabel = nullptr;
    QLineEdit* encodingEdit = nullptr;
    QLineEdit* rootPathEdit = nullptr;
    QGroupBox* settingsGroup_ = nullptr;
    QLineEdit* xsdPathEdit = nullptr;
    QPushButton* xsdBrowseButton = nullptr;
    QLineEdit* namespaceEdit = nullptr;
    QSpinBox* headerRowsBox = nullptr;
    bool showing_ = false;  // the boxes are being set from the document
};

}  // namespace trelmo::ui
