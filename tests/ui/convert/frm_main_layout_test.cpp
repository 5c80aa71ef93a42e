// The window as laid out: names, captions, positions, tab order; the about
// box and the editor button.

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QScreen>
#include <QTextDocumentFragment>

#include "tests/ui/convert/frm_main_fixture.h"
#include "ui/common/app_look.h"
#include "ui/editor/frm_edit.h"
#include "ui/editor/schema_tree_view.h"

namespace trelmo::test {
namespace {

using LayoutTest = FrmMainTest;

QString caption(QWidget* w) {
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
    if (auto* b = qobject_cast<QPushButton*>(w)) return b->text();
    if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title();
    if (auto* t = qobject_cast<QLineEdit*>(w)) return t->text();
    return {};
}

TEST_F(LayoutTest, WindowIsNamedCaptionedSizedAndCentred) {
    EXPECT_EQ(window->objectName(), "frmMain");
    EXPECT_EQ(window->windowTitle(), "Trelmo - CSV->XML Converter");
    EXPECT_EQ(window->size(), QSize(312, 264));  // 4680 x 3960 twips
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE((window->geometry().center() - screen.center()).manhattanLength(), 1);
    EXPECT_FALSE(window->windowIcon().isNull());
    EXPECT_FALSE(ui::appIcon().pixmap(48, 48).isNull()) << "the embedded icon is not linked in";
}

struct Expected {
    const char* name;
    const char* caption;
    QRect geometry;  // pixels, from twips / 15
    const char* parent;
};

TEST_F(LayoutTest, ControlsHaveTheirCaptionsAndPositions) {
    const Expected expected[] = {
        {"Label1", "CSV(*.csv)", {10, 6, 235, 16}, "frmMain"},
        {"Text1", "", {10, 22, 235, 19}, "frmMain"},
        {"Command1", "参照", {252, 20, 53, 23}, "frmMain"},
        {"Label2", "スキーマ(*.dsd)", {10, 44, 235, 16}, "frmMain"},
        {"Text2", "", {10, 60, 235, 19}, "frmMain"},
        {"Command2", "参照", {252, 58, 53, 23}, "frmMain"},
        {"Label3", "保存先XML(*.xml)", {10, 82, 235, 16}, "frmMain"},
        {"Text3", "", {10, 98, 235, 19}, "frmMain"},
        {"Command3", "参照", {252, 96, 53, 23}, "frmMain"},
        {"cmdDoConvert", "変換", {10, 128, 295, 29}, "frmMain"},
        {"ProgressBar1", "", {10, 166, 295, 19}, "frmMain"},
        {"Label4", "", {10, 190, 297, 19}, "frmMain"},
        {"Frame1", "オプション", {6, 216, 299, 43}, "frmMain"},
        {"cmdEditSchema", "スキーマの作成、編集", {6, 14, 137, 23}, "Frame1"},
        {"cmdInfo", "Info", {156, 14, 137, 23}, "Frame1"},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.name);
        QWidget* w = control<QWidget>(e.name);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(caption(w), QString::fromUtf8(e.caption));
        EXPECT_EQ(w->geometry(), e.geometry);
        EXPECT_EQ(w->parentWidget()->objectName(), e.parent);
        EXPECT_TRUE(w->isVisible());
    }
    EXPECT_FALSE(bar()->isTextVisible());
}

// Wider, the path boxes grow and their buttons stay beside them; nothing else
// moves, and the window is never smaller than laid out, nor higher.
TEST_F(LayoutTest, AWiderWindowWidensThePathBoxesOnly) {
    QMap<QString, QRect> laidOut;
    for (QWidget* w : window->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) laidOut[w->objectName()] = w->geometry();
    window->resize(600, 400);
    EXPECT_EQ(window->size(), QSize(600, 264));
    for (auto it = laidOut.cbegin(); it != laidOut.cend(); ++it) {
        SCOPED_TRACE(it.key().toStdString());
        QRect expected = it.value();
        if (it.key().startsWith("Text")) expected.setWidth(expected.width() + 288);
        if (it.key().startsWith("Command")) expected.translate(288, 0);
        EXPECT_EQ(control<QWidget>(it.key().toLatin1())->geometry(), expected);
    }
    window->resize(100, 100);
    EXPECT_EQ(window->size(), QSize(312, 264));
    EXPECT_EQ(box("Text1")->geometry(), laidOut["Text1"]);
}

TEST_F(LayoutTest, EachPathBoxShowsItsWholePathAsTooltip) {
    const QString path = QString::fromUtf8("/tmp/a <b>long</b> & 長い/path.csv");
    box("Text2")->setText(path);
    EXPECT_EQ(QTextDocumentFragment::fromHtml(box("Text2")->toolTip()).toPlainText(), path);
    box("Text2")->clear();
    EXPECT_TRUE(box("Text2")->toolTip().isEmpty());
}

TEST_F(LayoutTest, TabKeyVisitsTheControlsInOrder) {
    const QStringList order = {"Text1",    "Text2",        "Text3",         "Command1", "Command2",
                               "Command3", "cmdDoConvert", "cmdEditSchema", "cmdInfo"};
    QStringList visited;
    QWidget* w = box("Text1");
    for (int i = 0; i < 40 && visited.size() < order.size(); ++i) {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisible() && w->window() == window.get()) {
            visited << w->objectName();
        }
        w = w->nextInFocusChain();
    }
    EXPECT_EQ(visited, order);
}

TEST_F(LayoutTest, JapaneseTextUsesAJapaneseFontWhenOneIsInstalled) {
    ui::useJapaneseFont();
    const QString family = ui::japaneseFontFamily();
    if (family.isEmpty()) GTEST_SKIP() << "no Japanese font installed";
    auto win = std::make_unique<ui::FrmMain>(services);
    EXPECT_EQ(QFontInfo(win->findChild<QPushButton*>("cmdEditSchema")->font()).family(), family);
    EXPECT_EQ(win->font().pixelSize(), 12);
}

TEST_F(LayoutTest, InfoShowsTheAboutBox) {
    click("cmdInfo");
    ASSERT_EQ(messages.shown.size(), 1u);
    const Message& about = messages.shown[0];
    EXPECT_EQ(about.text, "Trelmo - Ver 0.01\r\nTrelmo project\r\nhttps://trelmo.example/");
    EXPECT_EQ(about.icon, MsgIcon::None);
    EXPECT_EQ(about.buttons, MsgButtons::Ok);
}

// One editor, modal over the window, and each showing starts afresh.
TEST_F(LayoutTest, EditorButtonShowsOneEditorModalOverTheWindow) {
    click("cmdEditSchema");
    auto* editor = window->findChild<ui::FrmEdit*>("frmEdit");
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->parentWidget(), window.get());
    EXPECT_EQ(editor->windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(QApplication::activeModalWidget(), editor);
    EXPECT_TRUE(window->isVisible());

    editor->findChild<QAction*>("mnuFileNew")->trigger();
    messages.answerNext(MsgAnswer::No);
    editor->close();
    EXPECT_FALSE(editor->isVisible());
    click("cmdEditSchema");
    EXPECT_EQ(window->findChildren<QWidget*>("frmEdit").size(), 1);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_FALSE(editor->isModified());
    EXPECT_FALSE(editor->schemaDoc().has_value());
    EXPECT_EQ(editor->findChild<ui::SchemaTreeView*>("TreeView1")->nodeCount(), 0);
    editor->close();
    EXPECT_EQ(messages.shown.size(), 1u);  // only the question when the new schema was dropped
}

}  // namespace
}  // namespace trelmo::test
