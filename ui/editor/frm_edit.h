#pragma once
// The schema editor window: it lays out the parts, holds the menus and wires
// them; the parts do the work.
//   schema_document    the schema, its settings, Modified and the history
//   schema_tree_pane   the tree and the node list
//   properties_panel   the highlighted node's fields, 登録 and the pending edits
//   document_settings  root name, encoding, XSD, namespace, header records
//   csv_preview_pane   the CSV preview
//   schema_commands    insert, delete, columns, drops, undo and redo
//   file_commands      new, open, save, the check and the question before discarding
//   xsd_commands       a schema from an XSD, leaves bound to columns by name
//   xsd_facts          what the schema's XSD says of each node
// Every menu command goes through runCommand, which settles the panel's
// pending edits first.

#include <QDialog>
#include <functional>
#include <optional>
#include <vector>

#include "engine/xml/dom.h"
#include "ui/common/dropped_files.h"
#include "ui/common/file_dialog.h"
#include "ui/common/services.h"
#include "ui/editor/image_list.h"
#include "ui/editor/schema_document.h"

class QAction;
class QMenu;
class QMenuBar;
class QPushButton;

namespace trelmo::ui {

class CsvPreviewPane;
class DocumentSettings;
class FileCommands;
class PropertiesPanel;
class SchemaCommands;
class SchemaTreePane;
class XmlPreviewWindow;
class XsdCommands;
class XsdFacts;

class FrmEdit : public QDialog {
    Q_OBJECT
public:
    explicit FrmEdit(UiServices& services, QWidget* owner = nullptr);
    ~FrmEdit() override;

    SchemaDocument& document() { return *document_; }
    const std::optional<xml::Document>& schemaDoc() const { return document_->doc(); }
    const std::vector<xml::Node>& schemaNodeList() const { return document_->nodeList(); }
    bool isModified() const { return document_->isModified(); }
    CsvPreviewPane& csvPane() { return *csvPane_; }

    // Makes doc the schema being edited, as opening a file shows it.
    void showDocument(xml::Document doc);
    // Open a schema or a CSV file as the menu commands do after their dialog
    // (with the questions first): for a file given to the program or dropped.
    void openSchemaFile(const QString& path);
    // The same with the path as the system's bytes (a name given on the command line).
    void openSchemaFile(const std::string& path);
    void openCsvFile(const QString& path);

    // Size of the client area below the menu bar, in twips.
    static constexpr int kClientWidthTwips = 9075;
    static constexpr int kClientHeightTwips = 7170;

    // What the XML preview's links do: highlight the node of a tree index as
    // a click does, or put the focus on the root name.
    void selectTreeIndex(int treeIndex);
    // A fault of the XML preview: its node (0: none) and its CSV record and column (from 1; 0: none).
    void selectFault(int treeIndex, int record, int column);
    void focusRootName();
    // Edits after which the views were rebuilt because updating them did not fit.
    int viewRebuilds() const;

public slots:
    // Only a close, through the close question, hides the window; Escape
    // does not.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createParts();
    void layOut();
    void createMenus();
    void connectParts();
    // The command after the panel's pending edits are settled; not when the
    // user keeps them.
    void runCommand(const std::function<void()>& command);
    QAction* addCommand(QMenu* menu, const char* name, const char* caption,
                        std::function<void()> command);
    // Every showing starts as the first: no schema, no history, nothing listed.
    void startEmpty();
    void newSchema();
    void updateColumnsCommand();
    void showXmlPreview();
    bool fileDrag(QEvent* event);
    void openDroppedFiles(const DroppedFiles& files);

    UiServices& services_;
    CommonDialog fileDialog_;
    ImageList images_;
    bool closing_ = false;

    SchemaDocument* document_ = nullptr;
    SchemaTreePane* treePane_ = nullptr;
    PropertiesPanel* panel_ = nullptr;
    DocumentSettings* settings_ = nullptr;
    CsvPreviewPane* csvPane_ = nullptr;
    SchemaCommands* schemaCommands_ = nullptr;
    FileCommands* fileCommands_ = nullptr;
    XsdFacts* xsdFacts_ = nullptr;
    XsdCommands* xsdCommands_ = nullptr;
    XmlPreviewWindow* xmlPreview_ = nullptr;

    QMenuBar* menuBar_ = nullptr;
    QWidget* client_ = nullptr;  // the client area below the menu bar
    QMenu* treeMenu_ = nullptr;  // 操作, also the tree's pop-up menu
    QAction* columnsCommand_ = nullptr;
};

}  // namespace trelmo::ui
