#pragma once
// frmEdit: the schema editor. It edits the schema through its SchemaDocument
// and rebuilds its two views, the tree TreeView1 and the node list ListView1,
// after every change of structure. A tree node is tied to its schema element
// by its tree index k only: it stands for SchemaNodeList[k - 1].
//
// The procedures are spread over files by concern:
//   frm_edit.cpp          controls, layout and menus
//   frm_edit_state.cpp    showing, closing, resizing, NewSchema, SetNodeAttribute
//   frm_edit_tree.cpp     rebuilding the views, RefreshNodeList, FillDataSourceList
//   frm_edit_insert.cpp   the pop-up menu, InsertNode, deleting
//   frm_edit_history.cpp  undo and redo of the edits in schema_edits.h
//   frm_edit_panel.cpp    the properties panel and its register button
//   frm_edit_open.cpp     opening a schema file
//   frm_edit_save.cpp     saving; frm_edit_validate.cpp the check before it
//   frm_edit_preview.cpp  the CSV preview
//   frm_edit_view.cpp     the view menu and what the XML preview reads
//   frm_edit_columns.cpp  nodes made from the CSV's columns, columns dropped
//                         onto the tree, the used columns marked
//   frm_edit_drop.cpp     files dropped onto the window
//   schema_document.cpp   the schema, its node list, Modified and the history

#include <QDialog>
#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/messages.h"
#include "engine/xml/dom.h"
#include "ui/common/dropped_files.h"
#include "ui/common/file_dialog.h"
#include "ui/common/services.h"
#include "ui/editor/image_list.h"
#include "ui/editor/schema_document.h"

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QTreeView;
class QTreeWidget;
class QTreeWidgetItem;

namespace trelmo::ui {

struct ColumnNode;
class PreviewModel;
class SchemaTreeView;
class XmlPreviewWindow;

class FrmEdit : public QDialog {
    Q_OBJECT
public:
    explicit FrmEdit(UiServices& services, QWidget* owner = nullptr);
    ~FrmEdit() override;

    // The schema being edited, with its history.
    SchemaDocument& document() { return *document_; }
    // The editor state. SchemaDoc is empty until a schema is made or opened.
    const std::optional<xml::Document>& schemaDoc() const { return document_->doc(); }
    const std::vector<xml::Node>& schemaNodeList() const { return document_->nodeList(); }
    bool isModified() const { return document_->isModified(); }

    // Makes doc the schema being edited and shows it as opening a file does
    // (ShowSchemaDoc), with a new history. Modified is left as it is.
    void ShowDocument(xml::Document doc);

    // Open a schema or a CSV file without a file dialog, as the menu commands
    // do after theirs (with the question about unsaved changes first): for a
    // file given to the program or dropped onto the window.
    void OpenSchemaFile(const QString& path);
    // The same with the path as the system's bytes (a name given on the command line).
    void OpenSchemaFile(const std::string& path);
    void OpenCsvFile(const QString& path);

    // Size of the client area below the menu bar, in twips.
    static constexpr int kTwipsPerPixel = 15;
    static constexpr int kClientWidthTwips = 9075;
    static constexpr int kClientHeightTwips = 6255;

    // What the XML preview reads: the root-name and encoding boxes, the CSV
    // listed in the preview (empty path: none), a way to select the node of a
    // tree index as a click does, and one to put the focus on the root name.
    QString rootNameText() const;
    QString encodingText() const;
    const std::string& csvPreviewPath() const { return csvPreviewPath_; }
    void selectTreeIndex(int treeIndex);
    void focusRootName();
    // How often an edit rebuilt the views because updating them did not fit.
    int viewRebuilds() const { return rebuiltViews_; }

public slots:
    // Only a close, through the close question, hides the window; Escape
    // does not.
    void reject() override;

signals:
    // The schema as shown has changed: its structure, a node's properties, the
    // root name or encoding, the document itself, or the CSV preview.
    void schemaChanged();
    // A CSV file is being opened into the preview (read afresh, even the same file).
    void csvOpened();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // frm_edit.cpp
    void createControls();
    void createMenus();
    void connectEvents();
    // frm_edit_view.cpp
    void createViewMenu();
    void mnuViewXmlPreview_Click();

    // frm_edit_state.cpp
    void Form_Load();
    void Form_Resize();
    bool QueryUnload();  // the close question; true when the window may close
    // The close question before the schema is replaced: true when the user
    // saved it, dropped the changes, or there were none.
    bool MayReplaceSchema();
    void mnuFileNew_Click();
    void NewSchema();
    void SetNodeAttribute(const std::string& attrName, const std::string& value,
                          xml::Node element);
    void Text1_Change();
    // The user typed in Text1 or txtEncoding.
    void Setting_Edited();
    void mnuFileExit_Click();
    void showError(const std::exception& error, MsgIcon icon);

    // frm_edit_tree.cpp
    // Empties the tree and ListView1, selects SchemaNodeList again, MakeTree.
    void RebuildViews();
    void RefreshNodeList();
    // A row of ListView1: the element's kind, name ("--" for none) and data source.
    static void FillNodeRow(QTreeWidgetItem& row, const xml::Node& e);
    // frm_edit_update.cpp
    // After one edit: SchemaNodeList selected again and both views brought to
    // what RebuildViews and RefreshNodeList would show, by changing only the
    // nodes and rows of the subtree that came or went and the row of
    // `touched`. With `collapse`, the tree is left as a rebuild leaves it:
    // only the root expanded. Rebuilds when the views do not match the list
    // they were built from.
    void UpdateViews(const xml::Node& touched, bool collapse = true);
    bool PatchViews(const std::vector<xml::Node>& before, const xml::Node& touched, bool collapse);
    void FillDataSourceList(std::int16_t count);
    // Shows SchemaDoc as freshly loaded: the tree, the node list, Text1 and
    // txtEncoding from the top element's root and encoding. A failing step
    // is skipped.
    void ShowSchemaDoc();
    // The top node selected and shown in the panel; with an empty tree, none.
    void ShowTopNode();
    // Tree index of a node, 0 for none; a 16-bit count, so past 32,767 it
    // raises the overflow error.
    int TreeIndexOf(const QTreeWidgetItem* node) const;

    // frm_edit_insert.cpp
    void TreeView1_MouseUp(Qt::MouseButton button, const QPoint& pos);
    // The selected node for a command, once typed values are settled; null
    // (said, when no node is selected) when the command does not go on.
    QTreeWidgetItem* CommandTarget();
    void InsertCommand(std::string_view kind);  // the five insert items
    void InsertNode(std::string_view kind);
    void PopMnuDel_Click();

    // frm_edit_panel.cpp
    void TreeView1_NodeClick(QTreeWidgetItem* node);
    void MyTreeView1_NodeClick(QTreeWidgetItem* xNode);
    // The panel when no node is selected: nothing to type, nothing to register.
    void ShowNoNode();
    // Values typed into the panel that differ from the shown node's stored ones.
    bool HasPendingEdit() const;
    // Before they would be dropped: register them (true only when that went
    // through), drop them, or cancel (false).
    bool ResolvePendingEdit();
    void cmdApply_Click();
    // False when the store failed, which is told.
    bool StoreProperties(const xml::Node& element,
                         const std::vector<std::pair<std::string, std::string>>& values);
    void SetFieldEnabled(QWidget* field, bool enabled);
    void Field_GotFocus(QWidget* field);

    // frm_edit_open.cpp, frm_edit_save.cpp, frm_edit_validate.cpp,
    // frm_edit_preview.cpp
    void mnuFileOpenDSD_Click();
    void OpenSchema();
    bool ClearForOpen();  // the question, then the editor emptied
    void LoadSchemaFile(const std::string& path);
    void SaveSchema();
    // Writes Text1 and txtEncoding into SchemaDoc, then checks every element;
    // true when the schema may be written.
    bool ValidateSchema();
    void mnuFileOpenCSV_Click();
    void OpenCSVPreview();
    bool ClearCsvPreview();
    void LoadCsvPreview(const std::string& path);

    // frm_edit_columns.cpp
    void createColumnsCommand();
    void PopMnuColumns_Click();
    // The nodes of the chosen columns appended to target, as one step.
    void InsertColumns(const xml::Node& target, const std::vector<ColumnNode>& columns);
    // Enabled while a CSV is previewed and the selected node is an element.
    void UpdateColumnsCommand();
    bool TakesColumn(const QTreeWidgetItem* node) const;
    void TreeView1_ColumnDrop(QTreeWidgetItem* node, int column);
    void RefreshColumnMarks();
    // frm_edit_drop.cpp
    // Accepts a drag of files, and opens them when dropped; false for any
    // other event.
    bool FileDrag(QEvent* event);
    void OpenDroppedFiles(const DroppedFiles& files);

    // frm_edit_history.cpp
    void mnuEditUndo_Click();
    void mnuEditRedo_Click();
    // After an undo or redo: the views rebuilt, the node it touched selected
    // and shown.
    void ShowStep(const SchemaDocument::Step& step);

    UiServices& services_;
    CommonDialog CommonDialog1;
    ImageList ImageList1;
    bool closing_ = false;

    QMenuBar* menuBar_ = nullptr;
    QWidget* client_ = nullptr;  // the client area below the menu bar

    QGroupBox* Frame2 = nullptr;
    QLabel* lblRootName = nullptr;
    QLineEdit* Text1 = nullptr;
    QLabel* lblEncoding = nullptr;
    QLineEdit* txtEncoding = nullptr;
    QGroupBox* Frame3 = nullptr;
    SchemaTreeView* TreeView1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QLabel* lblName = nullptr;
    QLineEdit* txtName = nullptr;
    QLabel* Label1 = nullptr;
    QComboBox* Combo2 = nullptr;
    QPushButton* cmdApply = nullptr;
    QTreeWidget* ListView1 = nullptr;
    QTreeView* ListView2 = nullptr;
    PreviewModel* ListView2Items = nullptr;  // the rows and columns of ListView2
    QPushButton* cmdOpenDSD = nullptr;
    QPushButton* cmdNew = nullptr;
    QPushButton* cmdSave = nullptr;

    QMenu* mnuFile = nullptr;
    QAction* mnuFileNew = nullptr;
    QAction* mnuFileOpenDSD = nullptr;
    QAction* mnuFileOpenCSV = nullptr;
    QAction* mnuFileNewSave = nullptr;
    QAction* mnuFileExit = nullptr;
    QMenu* PopMnu = nullptr;
    QMenu* PopMnuInsert = nullptr;
    QAction* PopMnuElementIn = nullptr;
    QAction* PopMnuTextIn = nullptr;
    QAction* PopMnuAttributeIn = nullptr;
    QAction* PopMnuCommentIn = nullptr;
    QAction* PopMnuCDATAIn = nullptr;
    QAction* PopMnuDel = nullptr;
    QAction* PopMnuSet = nullptr;
    QAction* PopMnuColumns = nullptr;
    bool namesFromFirstRecord_ = false;  // as "1行目を名前に使う" was last chosen
    QMenu* mnuEdit = nullptr;
    QAction* mnuEditUndo = nullptr;
    QAction* mnuEditRedo = nullptr;
    int shownIndex_ = 0;  // the tree index of the node the panel shows, 0 for none
    int rebuiltViews_ = 0;  // edits after which the views were rebuilt, not updated
    QMenu* mnuView = nullptr;
    QAction* mnuViewXmlPreview = nullptr;
    XmlPreviewWindow* xmlPreview_ = nullptr;
    std::string csvPreviewPath_;  // the file listed in ListView2

    // SchemaDoc, SchemaNodeList, Modified and the history.
    SchemaDocument* document_ = nullptr;
};

}  // namespace trelmo::ui
