// The check before saving: the settings it writes into the schema, each rule
// with its message and the node it selects, and the question when nothing is
// bound to a column.
#include <QTreeWidget>

#include "tests/support/temp_dir.h"
#include "tests/support/ui/editor_fixture.h"

namespace trelmo::test {
namespace {

const char* const kM1 = "ルートノードの要素名を入力してください。";
const char* const kPlaceholder = "ルートノードの要素名";
const char* const kM7 = "データソースが一つも設定されていません。\r\nデータが挿入されませんがよろしいですか？";
const std::string kM2 = "要素名またはデータソースを指定してください：\r\n";
const std::string kM3 = "要素名を指定してください：\r\n";
const std::string kM4 = "elementにデータソースは必要ありません：\r\n";
const std::string kM5 = "データソースを指定してください：\r\n";
const std::string kM6 = "対象外のノードタイプがあります:\r\n<";
const std::string kNotAName = "XMLで使えない名前です：\r\n";
const std::string kPrefixed = "コロン（:）のある名前は使えません：\r\n";
const std::string kShiftJis = "エンコーディング Shift_JIS で書けない文字";

class SaveCheckTest : public EditorTest {
protected:
    // Shows the schema as an opened file with Text1 set, then saves.
    void saveSchema(const std::string& schema, const char* root = "out", const char* encoding = "") {
        show(schema);
        text1()->setText(QString::fromUtf8(root));
        txtEncoding()->setText(QString::fromUtf8(encoding));
        editor->document().setModified(false);
        messages.shown.clear();
        files.shown.clear();
        trigger("mnuFileNewSave");
    }
    void expectOnly(const std::string& text, MsgButtons buttons = MsgButtons::Ok) {
        ASSERT_EQ(messages.shown.size(), 1u) << lastMessage();
        EXPECT_EQ(messages.shown[0].text, text);
        EXPECT_EQ(messages.shown[0].buttons, buttons);
        EXPECT_EQ(messages.shown[0].icon, MsgIcon::None);
        EXPECT_EQ(messages.shown[0].defaultButton, 0);
    }
};

struct RuleCase {
    const char* schema;
    std::string message;
    int selected;  // tree index of the node reported, 0 for the root-name box
    const char* root = "out";
    const char* encoding = "";
};

TEST_F(SaveCheckTest, EachRuleWithItsMessageAndNode) {
    const RuleCase cases[] = {
        {"<element name=\"r\"><element/></element>", kM2 + "element", 2},
        {"<element name=\"r\"><text/></element>", kM2 + "text", 2},
        {"<element name=\"r\"><bogus/></element>", kM2 + "bogus", 2},
        {"<element name=\"r\"><bogus name=\"b\"/></element>", kM6 + "bogus> ", 2},
        {"<element name=\"r\"><Element name=\"b\"/></element>", kM6 + "Element> ", 2},
        {"<element name=\"\"/>", kM3 + "element", 1},
        {"<element name=\"r\"><element DataSource=\"\"/></element>", kM3 + "element", 2},
        {"<element name=\"r\"><element name=\"e\" DataSource=\"1\"/></element>", kM4 + "element", 2},
        {"<element name=\"r\"><attribute DataSource=\"1\"/></element>", kM3 + "attribute", 2},
        {"<element name=\"r\"><attribute name=\"\" DataSource=\"\"/></element>", kM3 + "attribute", 2},
        {"<element name=\"r\"><attribute name=\"a\"/></element>", kM5 + "attribute", 2},
        {"<element name=\"r\"><attribute name=\"a\" DataSource=\"\"/></element>", kM5 + "attribute", 2},
        {"<element name=\"r\"><text datasource=\"1\"/></element>", kM5 + "text", 2},
        {"<element name=\"r\"><comment name=\"c\"/></element>", kM5 + "comment", 2},
        {"<element name=\"r\"><cdatasection name=\"c\"/></element>", kM5 + "cdatasection", 2},
        {"<element name=\"r\"><cdatasection DataSource=\"\"/></element>", kM5 + "cdatasection", 2},
        // The first failing node in document order, though a later one breaks
        // a rule that is tested earlier.
        {"<element name=\"r\"><element name=\"e\"><text name=\"t\"/></element><element/></element>",
         kM5 + "text", 3},
        // Names the output cannot carry, checked after the rules above and
        // before the question about data sources, each message naming the name.
        {"<element name=\"r\"><element name=\"a b\"/></element>", kNotAName + "element「a b」", 2},
        {"<element name=\"1r\"><text DataSource=\"1\"/></element>", kNotAName + "element「1r」", 1},
        {"<element name=\"r\"><attribute name=\" \" DataSource=\"1\"/></element>",
         kNotAName + "attribute「 」", 2},
        {"<element name=\"r\"><element name=\"a b\"/><text/></element>", kM2 + "text", 3},
        {"<element name=\"r\"><text DataSource=\"1\"/></element>", kNotAName + "最上位の要素名「my root」", 0,
         "my root"},
        // No prefix is ever declared in the output.
        {"<element name=\"r\"><element name=\"p:e\"/></element>", kPrefixed + "element「p:e」", 2},
        {"<element name=\"r\"><attribute name=\"xml:lang\" DataSource=\"1\"/></element>",
         kPrefixed + "attribute「xml:lang」", 2},
        {"<element name=\"r\"/>", kPrefixed + "最上位の要素名「a:r」", 0, "a:r"},
        // Characters the encoding of the output cannot hold, from the box or
        // from the schema's own declaration.
        {"<element name=\"r\"><element name=\"한국\"/></element>",
         kShiftJis + "「한」(U+D55C)があります：\r\nelement「한국」", 2, "out", "Shift_JIS"},
        {"<element name=\"r\" encoding=\"Shift_JIS\"><attribute name=\"é\" DataSource=\"1\"/></element>",
         kShiftJis + "「é」(U+00E9)があります：\r\nattribute「é」", 2},
        {"<element name=\"r\"><text DataSource=\"1\"/></element>",
         kShiftJis + "「한」(U+D55C)があります：\r\n最上位の要素名「한」", 0, "한", "Shift_JIS"},
    };
    for (const RuleCase& c : cases) {
        SCOPED_TRACE(c.schema);
        activate();
        tree()->setFocus();
        saveSchema(c.schema, c.root, c.encoding);
        expectOnly(c.message);
        // The node reported is selected; the root name takes the focus.
        if (c.selected > 0) {
            EXPECT_EQ(selectedIndex(), c.selected);
            EXPECT_EQ(tree()->currentItem(), tree()->node(c.selected));
        } else {
            EXPECT_TRUE(text1()->hasFocus());
        }
        EXPECT_TRUE(files.shown.empty());
        // The settings were written before the check.
        EXPECT_EQ(editor->schemaDoc()->documentElement().attribute("root"), c.root);
        EXPECT_FALSE(editor->isModified());
        // The panel shows the node reported, as a click does, so "登録"
        // writes into the node it shows.
        if (c.selected > 0) {
            const std::string shown = panel();
            clickNode(c.selected);
            EXPECT_EQ(panel(), shown);
        }
    }
}

TEST_F(SaveCheckTest, TheMessageComesBeforeTheSelectionButForAnEmptyCData) {
    int selectedAtMessage = -1;
    messages.onShow = [&](const Message&) { selectedAtMessage = selectedIndex(); };
    saveSchema("<element name=\"r\"><text/></element>");
    EXPECT_EQ(selectedAtMessage, 1);  // the top node, as opened
    EXPECT_EQ(selectedIndex(), 2);

    saveSchema("<element name=\"r\"><cdatasection DataSource=\"\"/></element>");
    EXPECT_EQ(selectedAtMessage, 2);
    saveSchema("<element name=\"r\"><cdatasection/></element>");
    EXPECT_EQ(selectedAtMessage, 1);
}

TEST_F(SaveCheckTest, ANestedNodeIsShownInTheTree) {
    saveSchema("<element name=\"r\"><element name=\"a\"><element name=\"b\"><comment/></element>"
               "</element></element>");
    EXPECT_EQ(selectedIndex(), 4);
    EXPECT_TRUE(tree()->node(3)->isExpanded());
    EXPECT_TRUE(tree()->node(2)->isExpanded());
}

TEST_F(SaveCheckTest, PassingSchemasGoOnToTheDialog) {
    // An empty DataSource on an element, names the encoding holds and a data
    // source that is no number all pass.
    saveSchema("<element name=\"r\"><element name=\"店舗\" DataSource=\"\"/>"
               "<attribute name=\"ｶﾅ\" DataSource=\"x\"/></element>", "_r-1.a", "Shift_JIS");
    EXPECT_TRUE(messages.shown.empty()) << lastMessage();
    ASSERT_EQ(files.shown.size(), 1u);

    saveSchema("<element name=\"r\"><text DataSource=\"1\"/><comment DataSource=\"2\"/>"
               "<cdatasection DataSource=\"3\"/></element>");
    EXPECT_TRUE(messages.shown.empty()) << lastMessage();
    EXPECT_EQ(files.shown.size(), 1u);
}

TEST_F(SaveCheckTest, RootNameMissing) {
    trigger("mnuFileNew");
    for (const char* root : {"", kPlaceholder}) {
        SCOPED_TRACE(root);
        text1()->setText(QString::fromUtf8(root));
        messages.shown.clear();
        trigger("mnuFileNewSave");
        expectOnly(kM1);
        EXPECT_EQ(text1()->text(), QString::fromUtf8(kPlaceholder));
        EXPECT_EQ(control<QLineEdit>("Text2")->text(), "/" + QString::fromUtf8(kPlaceholder));
        EXPECT_EQ(schemaXml(), "<?xml version=\"1.0\"?><element name=\"element\"/>");
        EXPECT_TRUE(files.shown.empty());
        EXPECT_TRUE(editor->isModified());
    }
}

TEST_F(SaveCheckTest, NothingBoundAsksFirst) {
    trigger("mnuFileNew");
    messages.answerNext(MsgAnswer::Cancel);
    trigger("mnuFileNewSave");
    expectOnly(kM7, MsgButtons::OkCancel);
    EXPECT_TRUE(files.shown.empty());
    EXPECT_EQ(schemaXml(), "<?xml version=\"1.0\"?><element name=\"element\" root=\"RootNode\"/>");
    EXPECT_TRUE(editor->isModified());

    messages.shown.clear();
    trigger("mnuFileNewSave");  // OK
    expectOnly(kM7, MsgButtons::OkCancel);
    EXPECT_EQ(files.shown.size(), 1u);
}

TEST_F(SaveCheckTest, EncodingGoesIntoTheDeclarationAndTheTopElement) {
    trigger("mnuFileNew");
    txtEncoding()->setText("Shift_JIS");
    messages.answerNext(MsgAnswer::Cancel);
    trigger("mnuFileNewSave");
    const std::string withEncoding =
        "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>"
        "<element name=\"element\" encoding=\"Shift_JIS\" root=\"RootNode\"/>";
    EXPECT_EQ(schemaXml(), withEncoding);

    // Cleared, the box changes nothing; a new name replaces the old.
    txtEncoding()->clear();
    messages.answerNext(MsgAnswer::Cancel);
    trigger("mnuFileNewSave");
    EXPECT_EQ(schemaXml(), withEncoding);
    txtEncoding()->setText("utf-8");
    text1()->setText("list");
    messages.answerNext(MsgAnswer::Cancel);
    trigger("mnuFileNewSave");
    EXPECT_EQ(schemaXml(), "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
                           "<element name=\"element\" encoding=\"utf-8\" root=\"list\"/>");
}

TEST_F(SaveCheckTest, ADeclarationIsAddedFirstWhenThereIsNone) {
    show("<!-- note --><?style x?><element name=\"r\" encoding=\"old\"><text DataSource=\"1\"/></element>");
    text1()->setText("out");
    txtEncoding()->setText("EUC-JP");
    trigger("mnuFileNewSave");
    EXPECT_EQ(schemaXml(), "<?xml version=\"1.0\" encoding=\"EUC-JP\"?><!-- note --><?style x?>"
                           "<element name=\"r\" encoding=\"EUC-JP\" root=\"out\"><text DataSource=\"1\"/></element>");
    const xml::Node first = editor->schemaDoc()->asNode().child(0);
    EXPECT_EQ(first.name(), "xml");
    EXPECT_EQ(first.value(), "version=\"1.0\" encoding=\"EUC-JP\"");
}

// An encoding the writer cannot use, or one that breaks the declaration, is
// refused before it goes into the schema: clearing the box then saves again.
TEST_F(SaveCheckTest, ARejectedEncodingIsNotKept) {
    TempDir dir;
    const std::string old = dir.write("s.dsd", "old schema");
    for (const char* encoding : {"x-no-such-encoding", "UTF-8\"?><x"}) {
        SCOPED_TRACE(encoding);
        show("<?xml version=\"1.0\"?><element name=\"r\"><text DataSource=\"1\"/></element>");
        const std::string before = schemaXml();
        text1()->setText("out");
        txtEncoding()->setText(encoding);
        messages.shown.clear();
        files.shown.clear();
        trigger("mnuFileNewSave");
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].icon, MsgIcon::Critical);
        EXPECT_NE(messages.shown[0].text.find(encoding), std::string::npos) << lastMessage();
        EXPECT_EQ(schemaXml(), before);
        EXPECT_TRUE(files.shown.empty());

        txtEncoding()->clear();
        files.choose(QString::fromStdString(old));
        trigger("mnuFileNewSave");
        EXPECT_EQ(messages.shown.size(), 1u) << lastMessage();
        EXPECT_EQ(readFile(old), "<?xml version=\"1.0\"?>\r\n<element name=\"r\" root=\"out\">"
                                 "<text DataSource=\"1\"/></element>\r\n");
    }
}

TEST_F(SaveCheckTest, ADocumentWithoutContentIsAnError) {
    TempDir dir;
    text1()->setText("out");
    files.choose(QString::fromStdString(dir.write("broken.dsd", "not xml")));
    trigger("mnuFileOpenDSD");
    ASSERT_TRUE(editor->schemaDoc().has_value());
    messages.shown.clear();
    files.shown.clear();
    trigger("mnuFileNewSave");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::Critical);
    EXPECT_TRUE(files.shown.empty());
}

TEST_F(SaveCheckTest, MoreThan32767ElementsOverflow) {
    std::string schema = "<element name=\"r\">";
    for (int i = 0; i < 32767; ++i) schema += "<text DataSource=\"1\"/>";
    schema += "</element>";
    saveSchema(schema);
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_EQ(messages.shown.back().text, "オーバーフローしました。");
    EXPECT_EQ(messages.shown.back().icon, MsgIcon::Critical);
    EXPECT_TRUE(files.shown.empty());
}

}  // namespace
}  // namespace trelmo::test
