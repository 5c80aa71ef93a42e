#pragma once
// The commands that edit the schema's nodes: inserting a child, deleting a
// node, the nodes made from the CSV's columns (the dialog and a column
// dropped onto the tree), and undo and redo. Each acts on the highlighted
// element and leaves the element it touched highlighted.

#include <QObject>
#include <string_view>
#include <vector>

#include "engine/messages.h"
#include "engine/xml/dom.h"

class QAction;
class QWidget;

namespace trelmo::ui {

struct ColumnNode;
class CsvPreviewPane;
class SchemaDocument;
class SchemaTreePane;

class SchemaCommands : public QObject {
    Q_OBJECT
public:
    // `window` is the parent of the columns dialog.
    SchemaCommands(SchemaDocument& document, SchemaTreePane& tree, CsvPreviewPane& csv,
                   MessageSink& messages, QWidget* window);

    void insert(std::string_view kind);
    void deleteSelected();
    // "CSVの列から作成": the dialog, then the chosen columns' nodes.
    void chooseColumns();
    // A column (counted from 1) dropped onto an element of the tree.
    void dropColumn(const xml::Node& target, int column);
    // Whether a dropped column would be taken by the element.
    bool takesColumn(const xml::Node& element) const;
    // Enabled with a schema, as the insert commands are: used where it
    // cannot work, it says why.
    bool columnsAvailable() const;
    void undo();
    void redo();

private:
    // The highlighted element; empty (said) when there is none.
    xml::Node target();
    void insertColumns(const xml::Node& target, const std::vector<ColumnNode>& columns);
    // After a step of the history: the element it touched highlighted.
    void showStep(bool taken, const xml::Node& touched, const std::exception_ptr& error);
    void showError(const std::exception& error);

    SchemaDocument& document_;
    SchemaTreePane& tree_;
    CsvPreviewPane& csv_;
    MessageSink& messages_;
    QWidget* window_;
    bool namesFromFirstRecord_ = false;  // as "1行目を名前に使う" was last chosen
};

}  // namespace trelmo::ui
