// The XML preview window: the same bytes as a conversion, kept current by
// every change, the reason when there is nothing to convert, its place beside
// the editor and its keys.
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScreen>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include "engine/progress.h"
#include "engine/startup/startup.h"
#include "tests/support/temp_dir.h"
#include "tests/support/ui/editor_fixture.h"
#include "ui/preview/xml_indent.h"
#include "ui/preview/preview_placement.h"
#include "ui/preview/raw_xml_view.h"
#include "ui/preview/xml_preview_window.h"
#include "ui/preview/xsd_fault_list.h"

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
    // Waits for the refresh that follows the last change.
    static void settle(ui::XmlPreviewWindow* w) {
        EXPECT_TRUE(QTest::qWaitFor([w] { return !w->refreshPending(); }));
    }
    static ui::RawXmlView* rawView(ui::XmlPreviewWindow* w) {
        auto* view = w->findChild<ui::RawXmlView*>("txtRaw");
        w->findChild<QTabWidget*>("tabViews")->setCurrentWidget(view);  // filled when shown
        return view;
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
    static QString raw(ui::XmlPreviewWindow* w) {
        settle(w);
        return rawView(w)->output();
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
        settle(window);
        rawView(window);
        const std::string shown = window->result().bytes;
        ASSERT_FALSE(shown.empty()) << window->result().problem;
        EXPECT_EQ(schemaXml(), before) << "the editor's schema is left alone";
        EXPECT_TRUE(raw(window).contains(QString::fromUtf8(
            "<店 id=\"1\"><city bad=\"Error: (abc) is not a number.\">神戸市</city>")))
            << raw(window).toStdString();
        for (const char* view : {"txtIndented", "txtRaw"}) {
            window->findChild<QTabWidget*>("tabViews")->setCurrentWidget(window->findChild<QPlainTextEdit*>(view));
            EXPECT_TRUE(marked(window, view, "Error: No field (9) .")) << view;
            EXPECT_TRUE(marked(window, view, "Error: (abc) is not a number.")) << view;
            EXPECT_FALSE(marked(window, view, "神戸市")) << view;
        }

        // The same schema saved, the same three records converted.
        const std::string dsd = dir.file("s.dsd");
        files.choose(QString::fromStdString(dsd));
        messages.shown.clear();
        trigger("mnuFileNewSave");
        const std::string csv = dir.write("first.csv", std::string_view(kCsv).substr(0, std::string_view(kCsv).find("4,")));
        const std::string out = dir.file("out.xml");
        RecordingMessages mainMessages;
        NullProgress progress;
        ASSERT_EQ(Main(JoinArguments({csv, dsd, out}), mainMessages, progress), ExitStatus::Success)
            << mainMessages.texts().front();
        EXPECT_EQ(shown, readFile(out));
        // Only the warning about the data sources that name no column, answered yes.
        ASSERT_EQ(messages.shown.size(), 1u) << lastMessage();
        EXPECT_EQ(messages.shown[0].buttons, MsgButtons::YesNo);
        window->close();
    }
}

TEST_F(XmlPreviewTest, EveryChangeRefreshesIt) {
    const std::string otherDsd = dir.write("o.dsd", "<element name=\"q\" root=\"O\"/>");
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
        {"the same CSV rewritten, same size and time",
         [&] {
             const std::string path = dir.file("in.csv");
             const auto time = std::filesystem::last_write_time(path);
             writeFile(path, "X,y\r\nZ,w\r\n");
             std::filesystem::last_write_time(path, time);
             files.choose(QString::fromStdString(path));
             trigger("mnuFileOpenCSV");
         },
         "<r a=\"X\"/><r a=\"Z\"/>"},
        {"new", [this] { trigger("mnuFileNew"); }, "CSVが表示されていません"},
        {"open",
         [&] { files.choose(QString::fromStdString(otherDsd)); trigger("mnuFileOpenDSD"); },
         "<O><q/><q/></O>"},
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
        text1()->setText("R");
        previewCsv("x,y\r\nz,w\r\n");
        ui::XmlPreviewWindow* window = openPreview();
        ASSERT_TRUE(raw(window).contains("<R><r a=\"x\"/><r a=\"z\"/></R>")) << raw(window).toStdString();
        c.act();
        settle(window);
        const QString now = window->result().problem.empty() ? raw(window) : window->problemText();
        EXPECT_TRUE(now.contains(QString::fromUtf8(c.shows))) << now.toStdString();
        EXPECT_TRUE(messages.shown.empty()) << lastMessage();
    }
}

// What the save check refuses, what the converter says about the CSV, and
// what does not convert: the message, and a link to what is at fault.
TEST_F(XmlPreviewTest, NothingToConvertSaysWhyAndPointsAtTheCause) {
    const char* const csv = "a,b\r\nc,d\r\n";
    const struct {
        const char* schema;  // nullptr: none
        const char* root;
        const char* encoding;
        const char* csv;  // nullptr: none listed
        const char* says;
        const char* link;  // "node:N", "root" or nullptr
    } cases[] = {
        {nullptr, "R", "", csv, "スキーマがありません", nullptr},
        {"<element name=\"r\"/>", "R", "", nullptr, "CSVが表示されていません", nullptr},
        {"<element name=\"r\"><element name=\"a b\"/></element>", "R", "", csv,
         "XMLで使えない名前です：<br>element「a b」", "node:2"},
        {"<element name=\"r\"><element name=\"café\"/></element>", "R", "Shift_JIS", csv,
         "Shift_JIS で書けない文字「é」(U+00E9)があります", "node:2"},
        {"<element name=\"r\"><element name=\"p:e\"/></element>", "R", "", csv, "コロン（:）", "node:2"},
        {"<element name=\"r\"><attribute name=\"a\"/></element>", "R", "", csv,
         "データソースを指定してください：<br>attribute", "node:2"},
        {"<element name=\"r\"/>", "", "", csv, "ルートノードの要素名を入力してください。", "root"},
        {"<element name=\"r\"/>", "a b", "", csv, "最上位の要素名「a b」", "root"},
        {"<element name=\"r\"/>", "한", "Shift_JIS", csv, "最上位の要素名「한」", "root"},
        {"<element name=\"r\"/>", "R", "no-such-code", csv, "no-such-code", nullptr},
        {"<element name=\"r\"><attribute name=\"a\" DataSource=\"1\"/><comment DataSource=\"1\">"
         "<text DataSource=\"2\"/></comment></element>",
         "R", "", csv, "comment の下にはノードを置けません", "node:3"},
        {"<element name=\"r\" header=\"x\"/>", "R", "", csv, "header の値「x」", "node:1"},
        {"<element name=\"r\"><comment Value=\"한\"/></element>", "R", "Shift_JIS", csv,
         "スキーマの 2 番目のノード（comment）の固定値: ", "node:2"},
        {"<element name=\"r\"/>", "R", "", "a,b\r\n", "有効なデータ(CSV)がありません。", nullptr},
        {"<element name=\"r\"/>", "R", "", "", "有効なデータ(CSV)がありません。", nullptr},
        {"<element name=\"r\"/>", "R", "", "\xEF\xBB\xBF" "a,b\r\nc,\xFF\r\n", "2 行目", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.says);
        editor = std::make_unique<ui::FrmEdit>(services, nullptr);
        editor->show();
        if (c.csv) previewCsv(c.csv);
        if (c.schema) show(c.schema);
        text1()->setText(QString::fromUtf8(c.root));
        txtEncoding()->setText(c.encoding);
        ui::XmlPreviewWindow* window = openPreview();
        settle(window);
        EXPECT_TRUE(window->result().bytes.empty());
        const QString text = window->problemText();
        EXPECT_TRUE(text.contains(QString::fromUtf8(c.says))) << text.toStdString();
        const QRegularExpressionMatch link = QRegularExpression("href=\"([^\"]+)\"").match(text);
        ASSERT_EQ(link.hasMatch(), c.link != nullptr) << text.toStdString();
        if (!c.link) continue;
        EXPECT_EQ(link.captured(1), c.link);
        emit window->findChild<QLabel*>("lblProblem")->linkActivated(link.captured(1));
        if (link.captured(1) == "root") {
            EXPECT_TRUE(QTest::qWaitFor([this] { return QApplication::focusWidget() == text1(); }));
        } else {
            EXPECT_EQ(selectedIndex(), link.captured(1).section(':', 1).toInt());
        }
    }
}

// The file is read once after each "CSVを開く", and only its first records are
// kept; more records than a conversion takes are told above the output.
TEST_F(XmlPreviewTest, MoreRecordsThanAConversionTakesAreTold) {
    show("<element name=\"r\" root=\"R\"><attribute name=\"a\" DataSource=\"1\"/></element>");
    for (const std::size_t records : {32767u, 32768u}) {
        SCOPED_TRACE(records);
        std::string bytes;
        for (std::size_t i = 0; i < records; ++i) bytes += std::to_string(i) + ",x\r\n";
        const std::string path = dir.write("many.csv", bytes);
        const PreviewCsv read = ReadPreviewCsv(path, ui::XmlPreviewWindow::kMaxRecords);
        EXPECT_EQ(read.records.size(), std::size_t(ui::XmlPreviewWindow::kMaxRecords));
        EXPECT_EQ(read.total, records);
        previewCsv(bytes);
        ui::XmlPreviewWindow* window = openPreview();
        settle(window);
        EXPECT_FALSE(window->result().bytes.empty());
        EXPECT_EQ(window->noteText().contains(QString::fromUtf8("32,768 件")), records > 32767)
            << window->noteText().toStdString();
    }
}

// Header records are skipped, however many there are; fixed values are written.
TEST_F(XmlPreviewTest, HeaderRecordsSkippedFixedValuesWritten) {
    show("<element name=\"r\" root=\"R\" header=\"120\"><attribute name=\"v\" Value=\"2\"/><text DataSource=\"1\"/></element>");
    std::string titles;
    for (int i = 0; i < 120; ++i) titles += "title,t\r\n";
    previewCsv(titles + "d0,x\r\nd1,x\r\nd2,x\r\n");
    ui::XmlPreviewWindow* window = openPreview();
    window->findChild<QSpinBox*>("spnRecords")->setValue(2);
    EXPECT_EQ(raw(window).toStdString(), "<?xml version=\"1.0\"?>\r\n<R><r v=\"2\">d0</r><r v=\"2\">d1</r></R>\r\n");
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
    // Halfway down the test screen there is no room beside the editor, nor
    // below or above it: wherever the editor is, the preview never covers it,
    // and both stay on the screen.
    const QRect screen = editor->screen()->availableGeometry();
    const QSize editorSize = editor->frameGeometry().size();
    const int middle = (screen.height() - editorSize.height()) / 2;
    ASSERT_LT(screen.width() - editorSize.width(), ui::PreviewPlacement::kLeastWidth);
    ASSERT_LT(middle, ui::PreviewPlacement::kLeastHeight);
    for (const QPoint at : {QPoint(0, middle), QPoint(40, middle), QPoint(screen.right() + 1 - editorSize.width(), middle),
                            screen.topLeft()}) {
        editor->move(at);
        const QRect w = window->frameGeometry();
        const QRect e = editor->frameGeometry();
        EXPECT_FALSE(w.intersects(e)) << at.x();
        EXPECT_TRUE(screen.contains(w)) << at.x();
        EXPECT_TRUE(screen.contains(e)) << at.x();
        EXPECT_GT(w.width() * w.height(), 0);
    }
    editor->close();
    EXPECT_FALSE(window->isVisible());
}

// Beside the editor where there is room, with the free height; below it where
// there is not; never over it.
TEST(PreviewPlacement, BesideBelowOrSharingNeverOver) {
    using ui::PreviewPlacement;
    const QSize editor(620, 480);
    const QSize least(PreviewPlacement::kLeastWidth / 2, PreviewPlacement::kLeastHeight / 2);  // the window's
    const struct {
        QSize screen;
        QPoint editorAt;
        const char* where;  // right, left, below, shared
    } cases[] = {
        {{1280, 1024}, {16, 16}, "right"},   {{1280, 1024}, {640, 300}, "left"},
        {{1024, 768}, {16, 16}, "right"},    {{1024, 768}, {200, 20}, "below"},
        {{1024, 768}, {200, 250}, "above"},  {{1024, 768}, {200, 100}, "shared"},
        {{800, 600}, {100, 60}, "shared"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.where);
        const QRect area(QPoint(0, 0), c.screen);
        const QRect e(c.editorAt, editor);
        const PreviewPlacement::Result r = PreviewPlacement::place(area, e, QSize(400, 300), false, least);
        const QRect moved(r.editor, editor);
        EXPECT_FALSE(r.preview.intersects(moved));
        EXPECT_TRUE(area.contains(r.preview));
        EXPECT_EQ(r.editor == e.topLeft(), std::string(c.where) != "shared");
        const std::string where = r.preview.left() > moved.right()    ? "right"
                                  : r.preview.right() < moved.left()  ? "left"
                                  : r.preview.top() > moved.bottom()  ? "below"
                                                                      : "above";
        if (std::string(c.where) != "shared") {
            EXPECT_EQ(where, c.where);
            // A size the user gave is kept where it fits.
            EXPECT_EQ(PreviewPlacement::place(area, e, QSize(380, 250), true, least).preview.size(), QSize(380, 250));
        }
        if (where == "right" || where == "left") {
            EXPECT_EQ(r.preview.height(), area.height());  // the free height
        }
    }
}

// On any screen, also one halved by QT_SCALE_FACTOR=2, the preview lies wholly
// on it, at least as large as it may be; it leaves the editor free wherever the
// screen holds both, and otherwise the editor's top left, where its fields start.
TEST(PreviewPlacement, OnTheScreenWhateverItsSize) {
    using ui::PreviewPlacement;
    const QSize least(190, 150);
    const struct {
        QSize screen;  // available, in device-independent pixels
        QSize editor;
        bool both;  // the screen holds the editor and the preview side by side
    } cases[] = {
        {{640, 488}, {620, 480}, false},   // 1280x1024 at scale 2, a panel below
        {{512, 360}, {620, 480}, false},   // 1024x768 at scale 2: the editor is larger
        {{683, 384}, {620, 480}, false},   // 1366x768 at scale 2
        {{960, 516}, {620, 480}, true},    // 1920x1080 at scale 2
        {{800, 600}, {620, 420}, true},    // room below only
        {{300, 200}, {620, 480}, false},   // a quarter of the editor
    };
    for (const auto& c : cases) {
        for (const QPoint at : {QPoint(0, 0), QPoint(40, 30), QPoint(-50, 100)}) {
            SCOPED_TRACE(std::to_string(c.screen.width()) + "x" + std::to_string(c.screen.height()));
            const QRect area(QPoint(0, 0), c.screen);
            for (const bool keepSize : {false, true}) {
                const auto r = PreviewPlacement::place(area, QRect(at, c.editor), QSize(560, 700), keepSize, least);
                const QRect moved(r.editor, c.editor);
                EXPECT_TRUE(area.contains(r.preview));
                EXPECT_EQ(r.preview.size().boundedTo(least), least);
                EXPECT_EQ(r.preview.intersects(moved), !c.both);
                EXPECT_FALSE(r.preview.contains(moved.topLeft() + QPoint(20, 20)));
            }
        }
    }
}

// In the preview, the keys of a read-only text act on the text: none of the
// editor's node shortcuts reaches the schema from there. Copying the output
// gives the bytes written, without the breaks made for display.
TEST_F(XmlPreviewTest, KeysActOnTheTextNotOnTheSchema) {
    std::string schema = "<element name=\"r\" root=\"R\">";
    for (int i = 0; i < 40; ++i) schema += "<attribute name=\"attribute" + std::to_string(i) + "\" DataSource=\"1\"/>";
    schema += "</element>";
    show(schema);
    text1()->setText("R");
    previewCsv("x,y\r\n\"two\r\nlines\",w\r\n");
    clickNode(1);
    ui::XmlPreviewWindow* window = openPreview();
    settle(window);
    ui::RawXmlView* view = rawView(window);
    ASSERT_GT(view->document()->blockCount(), 3);  // the one long line is cut for display
    const std::string before = schemaXml();
    // As a click into the preview does (a tool window counts as active with
    // its editor, so activateWindow() alone does not move the focus).
    QApplication::setActiveWindow(window);
    view->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), view);
    for (const Qt::Key key : {Qt::Key_E, Qt::Key_T, Qt::Key_D, Qt::Key_Z, Qt::Key_Y, Qt::Key_A, Qt::Key_C}) {
        QApplication::clipboard()->clear();
        QTest::keyClick(view, key, Qt::ControlModifier);
    }
    EXPECT_EQ(schemaXml(), before);
    EXPECT_FALSE(editor->isModified());
    EXPECT_EQ(view->textCursor().selectedText().size(), view->document()->characterCount() - 1);
    EXPECT_EQ(QApplication::clipboard()->text(), view->output());
    EXPECT_TRUE(view->output().contains("\r\n")) << "the output's own line ends";
    EXPECT_EQ(view->output().toStdString(), DecodedText(window->result()));
    // A part of the long line: the characters shown without the cuts.
    const int from = view->document()->findBlockByNumber(2).position() + 3;
    const int to = view->document()->findBlockByNumber(4).position() + 7;
    EXPECT_EQ(view->outputBetween(from, to), view->toPlainText().mid(from, to - from).remove('\n'));
}

// The raw view's cuts for display fall between characters, never inside a
// surrogate pair, and the output's CR LF ends one line shown, not two.
TEST_F(XmlPreviewTest, TheRawViewCutsBetweenCharacters) {
    const QString pair = QString::fromUtf8("\xF0\x9F\x98\x80");
    const int limit = ui::RawXmlView::kLineLength;
    const struct {
        QString output;
        QStringList lines;
    } cases[] = {
        {QString(limit - 1, 'a') + pair + "b", {QString(limit - 1, 'a'), pair + "b"}},
        {QString(limit - 2, 'a') + pair + "b", {QString(limit - 2, 'a') + pair, "b"}},
        {"<a>\r\n<b>\r<c>\n", {"<a>", "<b>", "<c>", ""}},
    };
    ui::RawXmlView view;
    for (const auto& c : cases) {
        view.setOutput(c.output);
        while (view.filling()) QCoreApplication::processEvents();
        EXPECT_EQ(view.toPlainText().split('\n'), c.lines) << c.output.toStdString();
    }
}

TEST(XmlIndent, LaysOutOneNodeALine) {
    EXPECT_EQ(ui::IndentXml("<?xml version=\"1.0\"?>\n<R><r a=\"x>\"><c>t</c><e/><!--<n>--><![CDATA[<d>]]></r><s> </s><t>\n</t></R>\n"),
              "<?xml version=\"1.0\"?>\n<R>\n  <r a=\"x>\">\n    <c>t</c>\n    <e/>\n    <!--<n>-->\n"
              "    <![CDATA[<d>]]>\n  </r>\n  <s> </s>\n  <t>\n</t>\n</R>");
}

// The records shown are checked against the schema's XSD: each fault listed,
// double-clicked to its node in the tree (the leaf that wrote the value) and
// its cell in the CSV preview.
TEST_F(XmlPreviewTest, XsdFaultsAreListedAndLeadToTheirNodeAndCell) {
    const std::string xsd = dir.write("list.xsd",
        "<xs:schema xmlns:xs=\"http://www.w3.org/2001/XMLSchema\"><xs:element name=\"list\"><xs:complexType>"
        "<xs:sequence><xs:element name=\"item\" maxOccurs=\"unbounded\"><xs:complexType><xs:sequence>"
        "<xs:element name=\"price\" type=\"xs:int\"/></xs:sequence><xs:attribute name=\"id\" type=\"xs:int\"/>"
        "</xs:complexType></xs:element></xs:sequence></xs:complexType></xs:element></xs:schema>");
    show("<element name=\"item\"><element name=\"price\"><text DataSource=\" 02\"/></element>"
         "<attribute name=\"id\" DataSource=\"1\"/></element>");
    text1()->setText("list");
    previewCsv("1,10\r\nx,20\r\n3,abc\r\n");
    ui::XmlPreviewWindow* window = openPreview();
    settle(window);
    auto* faults = window->findChild<ui::XsdFaultList*>("lstXsdFaults");
    EXPECT_TRUE(faults->isHidden()) << "no XSD named";

    editor->document().setSetting(ui::Setting::Xsd, QString::fromStdString(xsd));
    settle(window);
    ASSERT_FALSE(faults->isHidden());
    ASSERT_EQ(faults->topLevelItemCount(), 2);
    const struct {
        const char* path;
        int row, treeIndex, csvRow, csvColumn;
    } clicks[] = {{"/list/item[2]/@id", 0, 4, 1, 0}, {"/list/item[3]/price", 1, 3, 2, 1}};
    auto* csvView = control<QTreeView>("ListView2");
    for (const auto& c : clicks) {
        EXPECT_EQ(faults->topLevelItem(c.row)->text(2), c.path);
        emit faults->itemActivated(faults->topLevelItem(c.row), 0);  // a double-click or Enter
        EXPECT_EQ(selectedIndex(), c.treeIndex);
        EXPECT_EQ(csvView->currentIndex().row(), c.csvRow);
        EXPECT_EQ(csvView->currentIndex().column(), c.csvColumn);
    }
}

}  // namespace
}  // namespace trelmo::test
