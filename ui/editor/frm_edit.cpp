#include "ui/editor/frm_edit.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTreeView>
#include <QTreeWidget>
#include <QUndoStack>

#include "ui/common/app_look.h"
#include "ui/editor/csv_preview_view.h"
#include "ui/editor/load_dsd.h"
#include "ui/editor/preview_model.h"
#include "ui/editor/schema_tree_view.h"

namespace trelmo::ui {

namespace {

QString u8(const char* text) { return QString::fromUtf8(text); }

int px(int twips) { return qRound(twips / double(FrmEdit::kTwipsPerPixel)); }

template <class W>
W* place(W* widget, const char* name, int left, int top, int width, int height) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(px(left), px(top), px(width), px(height));
    return widget;
}

QAction* addItem(QMenu* menu, const char* name, const char* caption) {
    QAction* action = menu->addAction(u8(caption));
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

}  // namespace

FrmEdit::FrmEdit(UiServices& services, QWidget* owner)
    : QDialog(owner),
      services_(services),
      CommonDialog1(services.files),
      document_(new SchemaDocument(this)) {
    setObjectName("frmEdit");
    setWindowTitle(u8("Trelmo - DSD スキーマ\u3000エディター"));
    setFont(windowFont());

    createControls();
    createMenus();
    connectEvents();
    resize(px(kClientWidthTwips), menuBar_->sizeHint().height() + px(kClientHeightTwips));
    Form_Load();
}

FrmEdit::~FrmEdit() = default;

void FrmEdit::createControls() {
    client_ = new QWidget(this);
    client_->setObjectName("client");

    Frame2 = place(new QGroupBox(u8("XMLの構造デザイン"), client_), "Frame2", 0, 0, 4515, 4485);
    lblRootName = place(new QLabel(u8("最上位の要素名"), Frame2), "lblRootName", 90, 270, 1995, 255);
    Text1 = place(new QLineEdit(Frame2), "Text1", 90, 540, 1935, 285);
    lblEncoding =
        place(new QLabel(u8("エンコーディング指定"), Frame2), "lblEncoding", 2490, 240, 1785, 255);
    txtEncoding = place(new QLineEdit(Frame2), "txtEncoding", 2520, 540, 1815, 285);
    Frame3 = place(new QGroupBox(u8("繰り返し"), Frame2), "Frame3", 90, 900, 4335, 3135);
    TreeView1 = place(new SchemaTreeView(ImageList1, Frame3), "TreeView1", 120, 270, 4125, 2775);
    Text2 = place(new QLineEdit(Frame2), "Text2", 90, 4110, 1935, 285);
    Text2->setReadOnly(true);

    Frame1 = place(new QGroupBox(u8("要素名とCSVのフィールド番号"), client_), "Frame1", 4560, 0,
                   4485, 1155);
    lblName = place(new QLabel(u8("ノード名"), Frame1), "lblName", 150, 240, 2055, 255);
    txtName = place(new QLineEdit(Frame1), "txtName", 120, 540, 2115, 285);
    Label1 = place(new QLabel(u8("データソース"), Frame1), "Label1", 2370, 240, 1455, 255);
    Combo2 = place(new QComboBox(Frame1), "Combo2", 2370, 540, 1155, 300);
    Combo2->setEditable(true);
    Combo2->setInsertPolicy(QComboBox::NoInsert);
    cmdApply = place(new QPushButton(u8("登録"), Frame1), "cmdApply", 3600, 520, 765, 345);

    ListView1 = place(new QTreeWidget(client_), "ListView1", 4590, 1170, 4485, 3315);
    ListView1->setColumnCount(3);
    ListView1->setHeaderLabels({"NodeType", "NodeName", "DataSource"});
    ListView1->setRootIsDecorated(false);
    ListView1->setUniformRowHeights(true);
    ListView1->header()->setStretchLastSection(false);
    ListView1->header()->setDefaultSectionSize(px(1440));

    ListView2Items = new PreviewModel(this);
    ListView2 = place(new CsvPreviewView(client_), "ListView2", 30, 4530, 9015, 1695);
    ListView2->setModel(ListView2Items);
    ListView2->setRootIsDecorated(false);
    ListView2->setItemsExpandable(false);
    ListView2->setUniformRowHeights(true);
    ListView2->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView2->header()->setStretchLastSection(false);
    ListView2->header()->setDefaultSectionSize(px(1440));

    // Buttons that carry the file operations; never shown.
    cmdOpenDSD = new QPushButton(u8("開く"), client_);
    cmdOpenDSD->setObjectName("cmdOpenDSD");
    cmdNew = new QPushButton(u8("新規作成"), client_);
    cmdNew->setObjectName("cmdNew");
    cmdSave = new QPushButton(u8("保存"), client_);
    cmdSave->setObjectName("cmdSave");
    for (QPushButton* b : {cmdApply, cmdOpenDSD, cmdNew, cmdSave}) b->setAutoDefault(false);
    for (QPushButton* b : {cmdOpenDSD, cmdNew, cmdSave}) b->hide();
}

void FrmEdit::createMenus() {
    menuBar_ = new QMenuBar(this);
    menuBar_->setObjectName("menuBar");
    menuBar_->setNativeMenuBar(false);

    mnuFile = menuBar_->addMenu(u8("ﾌｧｲﾙ(&F)"));
    mnuFile->setObjectName("mnuFile");
    mnuFileNew = addItem(mnuFile, "mnuFileNew", "新規(&N)");
    mnuFileOpenDSD = addItem(mnuFile, "mnuFileOpenDSD", "スキーマを開く(&O)");
    mnuFileOpenCSV = addItem(mnuFile, "mnuFileOpenCSV", "CSVを開く");
    mnuFileNewSave = addItem(mnuFile, "mnuFileNewSave", "名前をつけて保存（&A）");
    mnuFileExit = addItem(mnuFile, "mnuFileExit", "終了(&X)");

    PopMnu = menuBar_->addMenu(u8("操作"));
    PopMnu->setObjectName("PopMnu");
    PopMnuInsert = PopMnu->addMenu(u8("挿入"));
    PopMnuInsert->setObjectName("PopMnuInsert");
    PopMnuElementIn = addItem(PopMnuInsert, "PopMnuElementIn", "Element");
    PopMnuTextIn = addItem(PopMnuInsert, "PopMnuTextIn", "Text");
    PopMnuAttributeIn = addItem(PopMnuInsert, "PopMnuAttributeIn", "Attribute");
    PopMnuCommentIn = addItem(PopMnuInsert, "PopMnuCommentIn", "Comment");
    PopMnuCDATAIn = addItem(PopMnuInsert, "PopMnuCDATAIn", "CDATA");
    PopMnuDel = addItem(PopMnu, "PopMnuDel", "削除");
    PopMnuSet = addItem(PopMnu, "PopMnuSet", "変更");
    PopMnuSet->setEnabled(false);
    PopMnuSet->setVisible(false);
    createColumnsCommand();

    PopMnuElementIn->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    PopMnuTextIn->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    PopMnuAttributeIn->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    PopMnuCommentIn->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    PopMnuCDATAIn->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));

    // Undo and redo are enabled only while the history has a step to take.
    mnuEdit = menuBar_->addMenu(u8("編集(&E)"));
    mnuEdit->setObjectName("mnuEdit");
    mnuEditUndo = addItem(mnuEdit, "mnuEditUndo", "元に戻す(&U)");
    mnuEditUndo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    mnuEditRedo = addItem(mnuEdit, "mnuEditRedo", "やり直し(&R)");
    mnuEditRedo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    QUndoStack& history = document_->history();
    mnuEditUndo->setEnabled(history.canUndo());
    mnuEditRedo->setEnabled(history.canRedo());
    connect(&history, &QUndoStack::canUndoChanged, mnuEditUndo, &QAction::setEnabled);
    connect(&history, &QUndoStack::canRedoChanged, mnuEditRedo, &QAction::setEnabled);

    // Shortcuts work wherever the focus is in this window, and only there:
    // not in the XML preview, a window of its own, where the keys are the
    // text's (Ctrl+A selects, Ctrl+C copies).
    for (QAction* a : PopMnuInsert->actions() + mnuEdit->actions())
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addActions(PopMnuInsert->actions());
    addActions(mnuEdit->actions());
    createViewMenu();
}

void FrmEdit::connectEvents() {
    connect(mnuFileNew, &QAction::triggered, this, [this] { mnuFileNew_Click(); });
    connect(mnuFileOpenDSD, &QAction::triggered, this, [this] { mnuFileOpenDSD_Click(); });
    connect(mnuFileOpenCSV, &QAction::triggered, this, [this] { mnuFileOpenCSV_Click(); });
    connect(mnuFileNewSave, &QAction::triggered, this, [this] { SaveSchema(); });
    connect(mnuFileExit, &QAction::triggered, this, [this] { mnuFileExit_Click(); });
    connect(cmdOpenDSD, &QPushButton::clicked, this, [this] { OpenSchema(); });
    connect(cmdNew, &QPushButton::clicked, this, [this] { mnuFileNew_Click(); });
    connect(cmdSave, &QPushButton::clicked, this, [this] { SaveSchema(); });

    connect(PopMnuElementIn, &QAction::triggered, this, [this] { InsertCommand(nodekind::Element); });
    connect(PopMnuTextIn, &QAction::triggered, this, [this] { InsertCommand(nodekind::Text); });
    connect(PopMnuAttributeIn, &QAction::triggered, this,
            [this] { InsertCommand(nodekind::Attribute); });
    connect(PopMnuCommentIn, &QAction::triggered, this, [this] { InsertCommand(nodekind::Comment); });
    connect(PopMnuCDATAIn, &QAction::triggered, this,
            [this] { InsertCommand(nodekind::CDataSection); });
    connect(PopMnuDel, &QAction::triggered, this, [this] { PopMnuDel_Click(); });
    connect(mnuEditUndo, &QAction::triggered, this, [this] { mnuEditUndo_Click(); });
    connect(mnuEditRedo, &QAction::triggered, this, [this] { mnuEditRedo_Click(); });
    connect(document_, &SchemaDocument::changed, this, &FrmEdit::schemaChanged);

    connect(TreeView1, &SchemaTreeView::mouseUp, this,
            [this](Qt::MouseButton button, const QPoint& pos) { TreeView1_MouseUp(button, pos); });
    connect(TreeView1, &SchemaTreeView::nodeClick, this,
            [this](QTreeWidgetItem* node) { TreeView1_NodeClick(node); });
    connect(TreeView1, &SchemaTreeView::deletePressed, this, [this] { PopMnuDel_Click(); });
    connect(TreeView1, &SchemaTreeView::popupRequested, this,
            [this](const QPoint& pos) { PopMnu->exec(TreeView1->viewport()->mapToGlobal(pos)); });
    TreeView1->mayLeaveSelection = [this] { return ResolvePendingEdit(); };
    connect(cmdApply, &QPushButton::clicked, this, [this] { cmdApply_Click(); });
    // Enter in either box registers.
    connect(txtName, &QLineEdit::returnPressed, this, [this] { cmdApply_Click(); });
    connect(Combo2->lineEdit(), &QLineEdit::returnPressed, this, [this] { cmdApply_Click(); });
    connect(Text1, &QLineEdit::textChanged, this, [this] { Text1_Change(); });
    connect(txtEncoding, &QLineEdit::textChanged, this, &FrmEdit::schemaChanged);
    connect(Text1, &QLineEdit::textEdited, this, [this] { Setting_Edited(); });
    connect(txtEncoding, &QLineEdit::textEdited, this, [this] { Setting_Edited(); });
    txtName->installEventFilter(this);
    Combo2->installEventFilter(this);
    // The text boxes would take a dropped file's name as text: files dropped
    // anywhere are the window's (eventFilter).
    setAcceptDrops(true);
    for (QLineEdit* box : {Text1, txtEncoding, Text2, Combo2->lineEdit()}) box->installEventFilter(this);
}

}  // namespace trelmo::ui
