// The window as laid out: captions from their table, controls inside their
// parents and apart at any width; the editor button.

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QScreen>
#include <QTextDocumentFragment>

#include "tests/ui/convert/frm_main_fixture.h"
#include "ui/common/app_look.h"
#include "ui/convert/frm_main_captions.h"
#include "ui/editor/frm_edit.h"
#include "ui/editor/schema_tree_view.h"

namespace trelmo::test {
namespace {

using LayoutTest = FrmMainTest;

QString caption(QWidget* w) {
    if (w->isWindow()) return w->windowTitle();
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
    if (auto* b = qobject_cast<QPushButton*>(w)) return b->text();
    if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title();
    return {};
}

QString fromUtf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// Every caption shown is the table's; the window opens centred, with its icon.
TEST_F(LayoutTest, CaptionsComeFromTheTable) {
    QStringList captioned;
    for (const ui::ControlCaption& c : ui::kFrmMainCaptions) {
        const QString name = fromUtf8(c.control);
        QWidget* w = name == window->objectName() ? window.get() : window->findChild<QWidget*>(name);
        ASSERT_NE(w, nullptr) << c.control;
        EXPECT_EQ(caption(w), fromUtf8(c.text));
        captioned << name;
    }
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (caption(w).isEmpty()) continue;
        EXPECT_TRUE(captioned.contains(w->objectName())) << w->objectName().toStdString();
    }
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE((window->geometry().center() - screen.center()).manhattanLength(), 1);
    EXPECT_FALSE(window->windowIcon().isNull());
    EXPECT_FALSE(ui::appIcon().pixmap(48, 48).isNull()) << "the embedded icon is not linked in";
}

// At any width every control is inside its parent and clear of the others;
// wider, only the path boxes grow, their buttons staying beside them. The
// window is never smaller than laid out, nor higher.
TEST_F(LayoutTest, ControlsStayInsideTheirParentsAndApart) {
    const QSize smallest = window->size();
    QMap<QString, QRect> laidOut;
    for (const int extra : {0, 288}) {
        window->resize(smallest.width() + extra, smallest.height() + 100);
        EXPECT_EQ(window->height(), smallest.height());
        for (QWidget* parent : {static_cast<QWidget*>(window.get()), control<QWidget>("Frame1")}) {
            const auto children = parent->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
            for (QWidget* w : children) {
                const QString name = w->objectName();
                SCOPED_TRACE(name.toStdString());
                EXPECT_TRUE(parent->rect().contains(w->geometry()));
                for (QWidget* other : children) {
                    if (other == w) continue;
                    EXPECT_FALSE(w->geometry().intersects(other->geometry())) << other->objectName().toStdString();
                }
                if (extra == 0) {
                    laidOut[name] = w->geometry();
                    continue;
                }
                QRect expected = laidOut[name];
                if (qobject_cast<QLineEdit*>(w)) expected.setWidth(expected.width() + extra);
                if (name.startsWith("Command")) expected.translate(extra, 0);
                EXPECT_EQ(w->geometry(), expected);
            }
        }
    }
    window->resize(1, 1);
    EXPECT_EQ(window->size(), smallest);
}

TEST_F(LayoutTest, EachPathBoxShowsItsWholePathAsTooltip) {
    const QString path = QString::fromUtf8("/tmp/a <b>long</b> & 長い/path.csv");
    box("Text2")->setText(path);
    EXPECT_EQ(QTextDocumentFragment::fromHtml(box("Text2")->toolTip()).toPlainText(), path);
    box("Text2")->clear();
    EXPECT_TRUE(box("Text2")->toolTip().isEmpty());
}

TEST_F(LayoutTest, JapaneseTextUsesAJapaneseFontWhenOneIsInstalled) {
    ui::useJapaneseFont();
    const QString family = ui::japaneseFontFamily();
    if (family.isEmpty()) GTEST_SKIP() << "no Japanese font installed";
    auto win = std::make_unique<ui::FrmMain>(services);
    EXPECT_EQ(QFontInfo(win->findChild<QPushButton*>("cmdEditSchema")->font()).family(), family);
    EXPECT_EQ(win->font().pixelSize(), 12);
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
