// The XML preview window: the same bytes as a conversion, kept current by
// every change, and the reason when there is nothing to conver
#include <QLabel>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScreen>
#include <QSpinBox>
#include <QTextBlock>
#include <QTextLayout>

#include "engine/progress.h"
#include "engine/startup/startup.h"
#include "tests/support/temp_dir.h"
#include "tests/support/ui/editor_fixture.h"
#include "ui/editor/xml_indent.h"
#include "ui/editor/xml_preview_window.h"

namespace trelmo::test {
namespace {

// Every node kind, a data source that names no field and one that is no number.
const char* const kSchema =
    "<?xml version=\"1.0\"?>"
    "<element name=\"店\" root=\"x\">"
    "<attribute name=\"id\" DataSource=\"1\"/>"
    "<element name=\"city\"><text DataSource=\"2\"/><attribute name=\"bad\" DataSource=\"abc\"/></element>"
    "<cdatasection DataSource=\"3\"/><comment DataSource=\"4\"/><text DataSource=\"9\"/></element>";

const char* const kCsv =
    "1,神戸市,a&b<c,①～,x\r\n"
    "2,\"Kobe, Hyogo\",\"two\r\nlines\",note\r\n"
    "3,大阪,]]>,--\r\n"
    "4,京都,d,e\r\n"
    "5,奈良,f,g\r\n";

class XmlPreviewTest : public EditorTest {
protected:
    void previewCsv(std::string_view bytes, const char* name = "in.csv") {
        files.choose(QString::fromStdString(dir.write(name, bytes)));
        trigger("mnuFileOpenCSV");
    }
    ui::XmlPreviewWindow* openPreview() {
        trigger("mnuViewXmlPreview");
        auto* window = editor->findChild<ui::XmlPreviewWindow*>();
        EXPECT_NE(window, nullptr);
        return window;
    }
    // Whether the first occurrence of the text in a view is marked with a background.
    static bool marked(ui::XmlPreviewWindow* w, const char* view, const char* text) {
        const QTextCursor found = w->findChild<QPlainTextEdit*>(view)->document()->find(QString::fromUtf8(text));
        if (found.isNull()) return false;
        const int at = found.selectionStart() - found.block().position();
        for (const QTextLayout::FormatRange& r : found.block().layout()->formats())
            if (r.start <= at && at < r.start + r.length && r.format.background().style() != Qt::NoBrush) return true;
        return false;
    }
    QString raw(ui::XmlPreviewWindow* w) const {
        return w->findChild<QPlainTextEdit*>("txtRaw")->toPlainText();
    }
    TempDir dir;
};

TEST_F(XmlPreviewTest, TheBytesOfAConversionOfTheFirstRecords) {
    // No encoding: the schema's own declaration goes into the output.
    for (const char* encoding : {"UTF-8", "Shift_JIS", ""}) {
        SCOPED_TRACE(encoding);
        show(kSchema);
        text1()->setText(QString::fromUtf8("店舗一覧"));
        txtEncoding()->setText(encoding);
        previewCsv(kCsv);
        const std::string before = schemaXml();
        ui::XmlPreviewWindow* window = openPreview();
        window->findChild<QSpinBox*>("spnRecords")->setValue(3);
        const std::string shown = window->result().bytes;
        ASSERT_FALSE(shown.empty()) << window->result().problem;
        EXPECT_EQ(schemaXml(), before) << "the editor's schema is left alone";
        EXPECT_TRUE(raw(window).contains(QString::fromUtf8(
            "<店 id=\"1\"><city bad=\"Error: (abc) is not a number.\">神戸市</city>")))
            << raw(window).toStdString();
        for (const char* view : {"txtRaw", "txtIndented"}) {
            EXPECT_TRUE(marked(window, view, "Error: No field (9) .")) << view;
            EXPECT_TRUE(marked(window, view, "Error: (abc) is not a number.")) << view;
            EXPECT_FALSE(marked(window, view, "神戸市")) << view;
        }

        // The same schema saved, the same three records converted.
        const std::string dsd = dir.file("s.dsd");
        files.choose(QString::fromStdString(dsd));
        trigger("mnuFileNewSave");
        const std::string csv = dir.write("first.csv", std::string_view(kCsv).substr(0, std::string_view(kCsv).find("4,")));
        const std::string out = dir.file("out.xml");
        RecordingMessages mainMessages;
        NullProgress progress;
        ASSERT_EQ(Main(JoinArguments({csv, dsd, out}), mainMessages, progress), ExitStatus::Success)
            << mainMessages.texts().front();
        EXPECT_EQ(shown, readFile(out));
        EXPECT_TRUE(messages.shown.empty()) << lastMessage();
        window->close();
    }
}

TEST_F(XmlPreviewTest, EveryChangeRefreshesIt) {
    const std::string otherDsd = dir.write("o.dsd", "<element name=\"q\"/>");
    const std::string otherCsv = dir.write("o.csv", "p,q\r\nm,n\r\n");
    const struct {
        const char* change;
        std::function<void()> act;
        const char* shows;
    } cases[] = {
        {"insert", [this] { clickNode(1); trigger("PopMnuElementIn"); },
         "<r a=\"x\"><element/></r>"},
        {"delete", [this] { clickNode(2); trigger("PopMnuDel"); }, "<R><r/><r/></R>"},
        {"register",
         [this] {
             clickNode(2);
             txtName()->setText("b");
             combo2()->setEditText("2");
             clickButton("cmdApply");
         },
         "<r b=\"y\"/>"},
        {"undo", [this] { clickNode(1); trigger("PopMnuElementIn"); trigger("mnuEditUndo"); },
         "<R><r a=\"x\"/><r a=\"z\"/></R>"},
        {"redo",
         [this] { clickNode(2); trigger("PopMnuDel"); trigger("mnuEditUndo"); trigger("mnuEditRedo"); },
         "<R><r/><r/></R>"},
        {"new", [this] { trigger("mnuFileNew"); }, "CSVが表示されていません"},
        {"open",
         [&] { files.choose(QString::fromStdString(otherDsd)); trigger("mnuFileOpenDSD"); },
         "<Root><q/><q/></Root>"},
        {"root name", [this] { text1()->setText("S"); }, "<S><r a=\"x\"/>"},
        {"encoding", [this] { txtEncoding()->setText("Shift_JIS"); }, "encoding=\"Shift_JIS\""},
        {"another CSV",
         [&] { files.choose(QString::fromStdString(otherCsv)); trigger("mnuFileOpenCSV"); },
         "<r a=\"p\"/><r a=\"m\"/>"},
        {"record count",
         [this] {
             editor->findChild<ui::XmlPreviewWindow*>()->findChild<QSpinBox*>("spnRecords")->setValue(1);
         },
         "<R><r a=\"x\"/></R>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.change);
        editor->hide();  // each showing starts unchanged, so new and open ask nothing
        editor->show();
        show("<element name=\"r\" root=\"R\"><attribute name=\"a\" DataSource=\"1\"/></element>");
        txtEncoding()->clear();
        previewCsv("x,y\r\nz,w\r\n");
        ui::XmlPreviewWindow* window = openPreview();
        ASSERT_TRUE(raw(window).contains("<R><r a=\"x\"/><r a=\"z\"/></R>")) << raw(window).toStdString();
        c.act();
        const QString now = window->result().problem.empty() ? raw(window) : window->problemText();
        EXPECT_TRUE(now.contains(QString::fromUtf8(c.shows))) << now.toStdString();
        EXPECT_TRUE(messages.shown.empty()) << lastMessage();
    }
}

TEST_F(XmlPreviewTest, NothingToConvertSaysWhyAndPointsAtTheNode) {
    const struct {
        const char* schema;  // nullptr: none
        const char* encoding;
        const char* csv;     // nullptr: none listed
        const char* says;
        int node;
    } cases[] = {
        {nullptr, "", "a,b\r\nc,d\r\n", "スキーマがありません", 0},
        {"<element name=\"r\"/>", "", nullptr, "CSVが表示されていません", 0},
        {"<element name=\"r\"><element name=\"a b\"/></element>", "", "a,b\r\nc,d\r\n",
         "「a b」は XML の名前として使えません", 2},
        {"<element name=\"r\"><element name=\"café\"/></element>", "Shift_JIS", "a,b\r\nc,d\r\n",
         "U+00E9 はエンコーディング Shift_JIS で書けません", 2},
        {"<element name=\"r\"/>", "no-such-code", "a,b\r\nc,d\r\n", "エンコーディング no-such-code は使えません", 0},
        {"<element name=\"r\"><attribute name=\"a\"/><comment DataSource=\"1\"><text/></comment></element>", "",
         "a,b\r\nc,d\r\n", "comment の下にはノードを置けません", 3},
        {"<element name=\"r\"/>", "", "a,b\r\n", "レコードが足りません", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.says);
        editor = std::make_unique<ui::FrmEdit>(services, nullptr);
        editor->show();
        if (c.csv) previewCsv(c.csv);
        if (c.schema) show(c.schema);
        txtEncoding()->setText(c.encoding);
        ui::XmlPreviewWindow* window = openPreview();
        EXPECT_TRUE(window->result().bytes.empty());
        const QString text = window->problemText();
        EXPECT_TRUE(text.contains(QString::fromUtf8(c.says))) << text.toStdString();
        const QRegularExpressionMatch link = QRegularExpression("href=\"(node:\\d+)\"").match(text);
        EXPECT_EQ(link.hasMatch(), c.node > 0);
        if (link.hasMatch()) {
            emit window->findChild<QLabel*>("lblProblem")->linkActivated(link.captured(1));
            EXPECT_EQ(selectedIndex(), c.node);
        }
    }
}

TEST_F(XmlPreviewTest, AShortcutOfItsOwnAToolWindowBesideTheEditorClosingWithIt) {
    const QKeySequence mine = action("mnuViewXmlPreview")->shortcut();
    EXPECT_FALSE(mine.isEmpty());
    for (QAction* a : editor->findChildren<QAction*>()) {
        if (a != action("mnuViewXmlPreview")) {
            EXPECT_NE(a->shortcut(), mine) << a->objectName().toStdString();
        }
    }

    ctrlKey(Qt::Key_P);
    auto* window = editor->findChild<ui::XmlPreviewWindow*>();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isWindow());
    // Beside the editor, following it: to its right, to its left where the
    // screen ends, and always on the screen.
    const QRect screen = editor->screen()->availableGeometry();
    const int editorWidth = editor->frameGeometry().width();
    for (const QPoint at : {screen.topLeft(), QPoint(40, 30), QPoint(screen.right() + 1 - editorWidth, 20)}) {
        editor->move(at);
        const QRect w = window->frameGeometry();
        const QRect e = editor->frameGeometry();
        EXPECT_TRUE(screen.contains(w)) << at.x();
        EXPECT_EQ(w.top(), e.top());
        if (e.right() + w.width() <= screen.right()) {
            EXPECT_EQ(w.left(), e.right() + 1);
        } else if (e.left() - w.width() >= screen.left()) {
            EXPECT_EQ(w.right(), e.left() - 1);
        }
    }
    editor->close();
    EXPECT_FALSE(window->isVisible());
}

TEST(XmlIndent, LaysOutOneNodeALine) {
    EXPECT_EQ(ui::IndentXml("<?xml version=\"1.0\"?>\n<R><r a=\"x>\"><c>t</c><e/><!--<n>--><![CDATA[<d>]]></r><s> </s><t>\n</t></R>\n"),
              "<?xml version=\"1.0\"?>\n<R>\n  <r a=\"x>\">\n    <c>t</c>\n    <e/>\n    <!--<n>-->\n"
              "    <![CDATA[<d>]]>\n  </r>\n  <s> </s>\n  <t>\n</t>\n</R>");
}

}  // namespace
}  // namespace trelmo::test
