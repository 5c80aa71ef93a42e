#pragma once
// The properties panel: the highlighted node's name, its data source (a CSV
// column or a fixed value) and the 登録 button that checks and stores them.
// It owns the values typed into it until they are registered, and is the one
// place that asks before they would be dropped (settlePending).

#include <QGroupBox>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/messages.h"
#include "engine/xml/dom.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace trelmo::ui {

class SchemaDocument;

class PropertiesPanel : public QGroupBox {
    Q_OBJECT
public:
    PropertiesPanel(SchemaDocument& document, MessageSink& messages, QWidget* parent = nullptr);

    // Shows an element (none when empty). The element shown keeps what was
    // typed for it; any other is loaded.
    void showNode(const xml::Node& element);
    const xml::Node& shownNode() const { return shown_; }

    // Values typed that differ from the shown node's stored ones.
    bool hasPendingEdit() const;
    // Before typed values would be dropped: asks, then registers them (true
    // only when that went through), drops them (true), or keeps them (false).
    bool settlePending();
    // 登録: checks and stores the typed values as one step; false when
    // refused or failed, which is told.
    bool registerEdits();

    // The data-source choices 1..count; the value shown stays.
    void setDataSourceChoices(int count);
    // As the window starts: nothing shown, no choices.
    void clearAll();

    // The fixed-value choice of the kind box.
    static QString fixedValueChoice();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void load(const xml::Node& element);
    void showNone();
    void setFieldEnabled(QWidget* field, bool enabled);
    bool fixedChosen() const;
    void kindChosen();
    void showError(const std::exception& error, MsgIcon icon);
    bool store(const std::vector<std::pair<std::string, std::optional<std::string>>>& changes);

    SchemaDocument& document_;
    MessageSink& messages_;
    xml::Node shown_;
    bool takesSource_ = false;
    bool storing_ = false;  // a register is storing the typed values  // the shown kind takes a data source or a fixed value

    QLabel* nodeNameLabel = nullptr;
    QLineEdit* nodeNameEdit = nullptr;
    QLabel* dataSourceLabel = nullptr;
    QComboBox* dataSourceBox = nullptr;
    QPushButton* registerButton = nullptr;
    QComboBox* sourceKindBox = nullptr;  // "列" or "固定値"
    QLineEdit* fixedValueEdit = nullptr;
};

// The data-source column of the node list: the column number, or a fixed
// value as "固定: <value>".
QString dataSourceText(const xml::Node& element);

}  // namespace trelmo::ui
