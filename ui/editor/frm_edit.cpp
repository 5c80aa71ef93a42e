#include "ui/editor/frm_edit.h"

#include <QAction>
#include <QCloseEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QShowEvent>
#include <QTreeWidget>
#include <QUndoStack>

#include "ui/common/app_look.h"
#include "ui/common/engine_path.h"
#include "ui/editor/csv_preview_pane.h"
#include "ui/editor/csv_preview_view.h"
#include "ui/editor/document_settings.h"
#include "ui/editor/file_commands.h"
#include "ui/editor/load_dsd.h"
#include "ui/editor/properties_panel.h"
#include "ui/editor/schema_commands.h"
#include "ui/editor/schema_tree_pane.h"
#include "ui/editor/schema_tree_view.h"
#include "ui/editor/twips.h"
#include "ui/editor/xsd_commands.h"
#include "ui/editor/xsd_facts.h"
#include "ui/preview/xml_preview_window.h"

namespace trelmo::ui {

namespace {

QString u8(const char* text) { return QString::fromUtf8(text); }

const char* const kNotOpened =
    "開けないファイルです（このコンピューターにあるスキーマ(*.dsd)とCSV(*.csv)だけを開けます）：";

}  // namespace

FrmEdit::FrmEdit(UiServices& services, QWidget* owner)
    : QDialog(owner), services_(services), fileDialog_(services.files) {
    setObjectName("frmEdit");
    setWindowTitle(u8("Trelmo - DSD スキーマ\u3000エディター"));
    setFont(windowFont());

    createParts();
    layOut();
    createMenus();
    connectParts();
    resize(px(kClientWidthTwips), menuBar_->sizeHint().height() + px(kClientHeightTwips));
    startEmpty();
}

FrmEdit::~FrmEdit() = default;

void FrmEdit::createParts() {
    client_ = new QWidget(this);
    client_->setObjectName("client");
    MessageSink& messages = services_.messages;
    document_ = new SchemaDocument(this);
    treePane_ = new SchemaTreePane(*document_, images_, messages, this);
    panel_ = new PropertiesPanel(*document_, messages, client_);
    csvPane_ = new CsvPreviewPane(*document_, fileDialog_, messages, this);
    auto* structure = new QGroupBox(u8("XMLの構造デザイン"), client_);
    settings_ = new DocumentSettings(*document_, fileDialog_, messages, structure, this);
    schemaCommands_ = new SchemaCommands(*document_, *treePane_, *csvPane_, messages, this);
    fileCommands_ = new FileCommands(*document_, *treePane_, *settings_, *csvPane_, fileDialog_, messages, this);
    xsdFacts_ = new XsdFacts(*document_, this);
    treePane_->setXsdFacts(xsdFacts_);
    xsdCommands_ = new XsdCommands(*document_, *fileCommands_, *csvPane_, *xsdFacts_, fileDialog_, messages, this);
}

// In twips, as the window was drawn; the CSV preview follows the width.
void FrmEdit::layOut() {
    auto* structure = settings_->rootNameBox()->parentWidget();
    place(structure, "Frame2", 0, 0, 4515, 4485);
    auto* repeat = place(new QGroupBox(u8("繰り返し"), structure), "Frame3", 90, 900, 4335, 3135);
    treePane_->schemaTree()->setParent(repeat);
    place(treePane_->schemaTree(), "TreeView1", 120, 270, 4125, 2775);
    place(panel_, "Frame1", 4560, 0, 4485, 1335);
    treePane_->nodeList()->setParent(client_);
    place(treePane_->nodeList(), "ListView1", 4590, 1350, 4485, 3135);
    settings_->settingsGroup()->setParent(client_);
    place(settings_->settingsGroup(), "settingsGroup", 30, 4500, DocumentSettings::kGroupWidthTwips,
          DocumentSettings::kGroupHeightTwips);
    csvPane_->csvPreview()->setParent(client_);
    place(csvPane_->csvPreview(), "ListView2", 30, 5445, 9015, 1695);

    // Buttons that carry the file operations; never shown.
    const std::pair<const char*, const char*> hidden[] = {
        {"cmdOpenDSD", "開く"}, {"cmdNew", "新規作成"}, {"cmdSave", "保存"}};
    for (const auto& [name, caption] : hidden) {
        auto* button = new QPushButton(u8(caption), client_);
        button->setObjectName(name);
        button->setAutoDefault(false);
        button->hide();
    }
    connect(client_->findChild<QPushButton*>("cmdOpenDSD"), &QPushButton::clicked, this,
            [this] { runCommand([this] { fileCommands_->open(); }); });
    connect(client_->findChild<QPushButton*>("cmdNew"), &QPushButton::clicked, this,
            [this] { runCommand([this] { newSchema(); }); });
    connect(client_->findChild<QPushButton*>("cmdSave"), &QPushButton::clicked, this,
            [this] { runCommand([this] { fileCommands_->saveAs(); }); });
}

void FrmEdit::runCommand(const std::function<void()>& command) {
    if (panel_->settlePending()) command();
}

QAction* FrmEdit::addCommand(QMenu* menu, const char* name, const char* caption,
                             std::function<void()> command) {
    QAction* action = menu->addAction(u8(caption));
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this,
            [this, command = std::move(command)] { runCommand(command); });
    return action;
}

void FrmEdit::createMenus() {
    menuBar_ = new QMenuBar(this);
    menuBar_->setObjectName("menuBar");
    menuBar_->setNativeMenuBar(false);

    QMenu* file = menuBar_->addMenu(u8("ﾌｧｲﾙ(&F)"));
    file->setObjectName("mnuFile");
    addCommand(file, "mnuFileNew", "新規(&N)", [this] { newSchema(); });
    addCommand(file, "mnuFileOpenDSD", "スキーマを開く(&O)", [this] { fileCommands_->open(); });
    addCommand(file, "mnuFileOpenCSV", "CSVを開く", [this] { csvPane_->chooseAndOpen(); });
    addCommand(file, "mnuFileNewFromXsd", "XSDから新規作成(&D)", [this] { xsdCommands_->newFromXsd(); });
    QAction* save = addCommand(file, "mnuFileSave", "上書き保存(&S)", [this] { fileCommands_->save(); });
    save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    addCommand(file, "mnuFileNewSave", "名前をつけて保存（&A）", [this] { fileCommands_->saveAs(); });
    QAction* exit = file->addAction(u8("終了(&X)"));
    exit->setObjectName("mnuFileExit");
    connect(exit, &QAction::triggered, this, &QWidget::close);

    treeMenu_ = menuBar_->addMenu(u8("操作"));
    treeMenu_->setObjectName("PopMnu");
    QMenu* insert = treeMenu_->addMenu(u8("挿入"));
    insert->setObjectName("PopMnuInsert");
    const struct {
        const char* name;
        const char* caption;
        std::string_view kind;
        Qt::Key key;
    } inserts[] = {{"PopMnuElementIn", "Element", nodekind::Element, Qt::Key_E},
                   {"PopMnuTextIn", "Text", nodekind::Text, Qt::Key_T},
                   {"PopMnuAttributeIn", "Attribute", nodekind::Attribute, Qt::Key_A},
                   {"PopMnuCommentIn", "Comment", nodekind::Comment, Qt::Key_C},
                   {"PopMnuCDATAIn", "CDATA", nodekind::CDataSection, Qt::Key_D}};
    for (const auto& i : inserts) {
        const std::string_view kind = i.kind;
        addCommand(insert, i.name, i.caption, [this, kind] { schemaCommands_->insert(kind); })
            ->setShortcut(QKeySequence(Qt::CTRL | i.key));
    }
    addCommand(treeMenu_, "PopMnuDel", "削除", [this] { schemaCommands_->deleteSelected(); });
    QAction* change = treeMenu_->addAction(u8("変更"));
    change->setObjectName("PopMnuSet");
    change->setEnabled(false);
    change->setVisible(false);
    treeMenu_->addSeparator();
    columnsCommand_ = addCommand(treeMenu_, "PopMnuColumns", "CSVの列から作成(&G)",
                                 [this] { schemaCommands_->chooseColumns(); });
    columnsCommand_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    columnsCommand_->setEnabled(false);
    addCommand(treeMenu_, "PopMnuBindByName", "列を名前で割り当て", [this] { xsdCommands_->bindByName(); });

    // Undo and redo are enabled only while the history has a step to take.
    QMenu* edit = menuBar_->addMenu(u8("編集(&E)"));
    edit->setObjectName("mnuEdit");
    QAction* undo = addCommand(edit, "mnuEditUndo", "元に戻す(&U)", [this] { schemaCommands_->undo(); });
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    QAction* redo = addCommand(edit, "mnuEditRedo", "やり直し(&R)", [this] { schemaCommands_->redo(); });
    redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    QUndoStack& history = document_->history();
    undo->setEnabled(history.canUndo());
    redo->setEnabled(history.canRedo());
    connect(&history, &QUndoStack::canUndoChanged, undo, &QAction::setEnabled);
    connect(&history, &QUndoStack::canRedoChanged, redo, &QAction::setEnabled);

    QMenu* view = menuBar_->addMenu(u8("表示(&V)"));
    view->setObjectName("mnuView");
    QAction* xmlPreview = view->addAction(u8("XMLプレビュー(&X)"));
    xmlPreview->setObjectName("mnuViewXmlPreview");
    xmlPreview->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    connect(xmlPreview, &QAction::triggered, this, [this] { showXmlPreview(); });

    // Shortcuts work wherever the focus is in this window, and only there:
    // not in the XML preview, a window of its own, where the keys are the
    // text's (Ctrl+A selects, Ctrl+C copies).
    const QList<QAction*> keyed = insert->actions() + edit->actions() + QList<QAction*>{columnsCommand_, save};
    for (QAction* a : keyed) a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addActions(keyed);
    addAction(xmlPreview);
}

void FrmEdit::connectParts() {
    SchemaTreeView* tree = treePane_->schemaTree();
    tree->mayLeaveSelection = [this] { return panel_->settlePending(); };
    connect(treePane_, &SchemaTreePane::selectionChanged, panel_, &PropertiesPanel::showNode);
    connect(tree, &SchemaTreeView::deletePressed, this,
            [this] { runCommand([this] { schemaCommands_->deleteSelected(); }); });
    connect(tree, &SchemaTreeView::popupRequested, this,
            [this, tree](const QPoint& pos) { treeMenu_->exec(tree->viewport()->mapToGlobal(pos)); });
    const auto elementOf = [this, tree](const QTreeWidgetItem* item) {
        const int k = tree->treeIndex(item);
        const auto& list = document_->nodeList();
        return k >= 1 && static_cast<std::size_t>(k) <= list.size() ? list[static_cast<std::size_t>(k - 1)]
                                                                    : xml::Node{};
    };
    tree->setColumnTarget([this, elementOf](const QTreeWidgetItem* item) {
        return schemaCommands_->takesColumn(elementOf(item));
    });
    connect(tree, &SchemaTreeView::columnDropped, this, [this, elementOf](QTreeWidgetItem* item, int column) {
        const xml::Node target = elementOf(item);
        runCommand([this, target, column] { schemaCommands_->dropColumn(target, column); });
    });
    connect(csvPane_, &CsvPreviewPane::columnsChanged, panel_, &PropertiesPanel::setDataSourceChoices);
    connect(document_, &SchemaDocument::reset, this, &FrmEdit::updateColumnsCommand);

    // The text boxes would take a dropped file's name as text: files dropped
    // anywhere are the window's (eventFilter).
    setAcceptDrops(true);
    for (QLineEdit* box : findChildren<QLineEdit*>()) box->installEventFilter(this);
}

void FrmEdit::updateColumnsCommand() { columnsCommand_->setEnabled(schemaCommands_->columnsAvailable()); }

void FrmEdit::startEmpty() {
    document_->setModified(false);
    document_->clear();
    fileDialog_.settings = FileDialogSettings{};
    csvPane_->clear();
    settings_->showPlaceholderPath();
    panel_->clearAll();
}

// A new schema comes with the choices of five columns and no CSV listed.
void FrmEdit::newSchema() {
    if (!fileCommands_->newSchema()) return;
    csvPane_->clear();
    panel_->setDataSourceChoices(5);
}

void FrmEdit::showDocument(xml::Document doc) { document_->replace(std::move(doc)); }

void FrmEdit::openSchemaFile(const QString& path) { openSchemaFile(enginePath(path)); }

void FrmEdit::openSchemaFile(const std::string& path) {
    runCommand([this, path] { fileCommands_->openFile(path); });
}

void FrmEdit::openCsvFile(const QString& path) {
    runCommand([this, path] { csvPane_->open(enginePath(path)); });
}

int FrmEdit::viewRebuilds() const { return treePane_->viewRebuilds(); }

void FrmEdit::selectTreeIndex(int treeIndex) {
    if (treeIndex < 1 || static_cast<std::size_t>(treeIndex) > document_->nodeList().size()) return;
    runCommand([this, treeIndex] {
        treePane_->select(document_->element(treeIndex));
        activateWindow();
    });
}

void FrmEdit::selectFault(int treeIndex, int record, int column) {
    runCommand([this, treeIndex, record, column] {
        if (treeIndex >= 1 && static_cast<std::size_t>(treeIndex) <= document_->nodeList().size())
            treePane_->select(document_->element(treeIndex));
        CsvPreviewView* records = csvPane_->csvPreview();
        const QModelIndex cell = records->model()->index(record - 1, std::max(column, 1) - 1);
        if (cell.isValid()) {
            records->setCurrentIndex(cell);
            records->scrollTo(cell);
        }
        activateWindow();
    });
}

void FrmEdit::focusRootName() {
    activateWindow();
    settings_->focusRootName();
}

void FrmEdit::showXmlPreview() {
    if (!xmlPreview_) {
        xmlPreview_ = new XmlPreviewWindow(*document_, *csvPane_, *this);
        connect(xmlPreview_, &XmlPreviewWindow::rootNameLinkActivated, this, &FrmEdit::focusRootName);
        connect(xmlPreview_, &XmlPreviewWindow::nodeLinkActivated, this, &FrmEdit::selectTreeIndex);
        connect(xmlPreview_, &XmlPreviewWindow::faultActivated, this, &FrmEdit::selectFault);
    }
    xmlPreview_->showBeside();
}

void FrmEdit::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) startEmpty();
    QDialog::showEvent(event);
}

// The client area follows the window; the CSV preview keeps the full width.
void FrmEdit::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    const int menuHeight = menuBar_->sizeHint().height();
    menuBar_->setGeometry(0, 0, width(), menuHeight);
    client_->setGeometry(0, menuHeight, width(), std::max(0, height() - menuHeight));
    QWidget* preview = csvPane_->csvPreview();
    preview->setGeometry(0, preview->y(), client_->width(), preview->height());
}

void FrmEdit::closeEvent(QCloseEvent* event) {
    if (!panel_->settlePending() || !fileCommands_->mayDiscard()) {
        event->ignore();
        return;
    }
    closing_ = true;
    QDialog::closeEvent(event);  // hides the window through reject()
    closing_ = false;
}

// Only a close hides the window: Escape, which QDialog takes for reject(),
// leaves it open.
void FrmEdit::reject() {
    if (closing_) QDialog::reject();
}

bool FrmEdit::eventFilter(QObject* watched, QEvent* event) {
    if (fileDrag(event)) return true;
    return QDialog::eventFilter(watched, event);
}

void FrmEdit::dragEnterEvent(QDragEnterEvent* event) { fileDrag(event); }

void FrmEdit::dragMoveEvent(QDragMoveEvent* event) { fileDrag(event); }

void FrmEdit::dropEvent(QDropEvent* event) { fileDrag(event); }

// Files dropped from a file manager: a schema opens as "スキーマを開く" would,
// a CSV is listed as "CSVを開く" would; anything else is refused by name.
bool FrmEdit::fileDrag(QEvent* event) {
    return takeFileDrag(event, true, [this](const DroppedFiles& files) {
        // Opened once the drop has ended, so that the file manager is not
        // held by a question or a message.
        QMetaObject::invokeMethod(this, [this, files] { openDroppedFiles(files); },
                                  Qt::QueuedConnection);
    });
}

void FrmEdit::openDroppedFiles(const DroppedFiles& files) {
    QStringList refused;
    for (const QString& path : files.paths) {
        const QString suffix = QFileInfo(path).suffix().toLower();
        if (suffix == QLatin1String("dsd"))
            openSchemaFile(path);
        else if (suffix == QLatin1String("csv"))
            openCsvFile(path);
        else
            refused << path;
    }
    refused << files.refused;
    if (refused.isEmpty()) return;
    services_.messages.show(Message{kNotOpened + ("\r\n" + refused.join("\r\n")).toStdString(),
                                    MsgButtons::Ok, MsgIcon::Exclamation, 0});
}

}  // namespace trelmo::ui
