// The check before saving: the settings it writes into the schema, each rule
// with its message and the node it selects, and the question when nothing is
// bound to a column.
#include <QTreeWidget>
#include <filesystem>

#include "tests/support/temp_dir.h"
#include "tests/support/ui/editor_fixture.h"

namespace trelmo::test {
namespace {

const char* const kNoRootName = "ルートノードの要素名を入力してください。";
const char* const kPlaceholder = "ルートノードの要素名";
const char* const kNothingBound = "データソースが一つも設定されていません。\r\nデータが挿入されませんがよろしいですか？";

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

// The window's part of the rules (each rule is the engine's): the node at
// fault is selected and shown in the panel; a root name at fault takes the focus.
TEST_F(SaveCheckTest, TheFaultIsShownWhereItIs) {
    const struct {
        const char* schema;
        const char* root;
        int selected;  // 0 for the root-name box
    } cases[] = {
        {"<element name=\"r\"><element name=\"a b\"/></element>", "out", 2},
        {"<element name=\"r\"><text DataSource=\"1\"/></element>", "a:r", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.schema);
        activate();
        tree()->setFocus();
        saveSchema(c.schema, c.root);
        ASSERT_EQ(messages.shown.size(), 1u) << lastMessage();
        EXPECT_TRUE(files.shown.empty());
        // The settings were written before the check.
        EXPECT_EQ(editor->schemaDoc()->documentElement().attribute("root"), c.root);
        if (c.selected == 0) {
            EXPECT_TRUE(text1()->hasFocus());
            continue;
        }
        EXPECT_EQ(selectedIndex(), c.selected);
        // The panel shows it as a click does, so "登録" writes into it.
        const std::string shown = panel();
        clickNode(c.selected);
        EXPECT_EQ(panel(), shown);
    }
}

// A data source beyond the previewed CSV: the node is selected and the save
// goes on only when told.
TEST_F(SaveCheckTest, ADataSourceWithoutAColumnAsksFirst) {
    TempDir dir;
    files.choose(QString::fromStdString(dir.write("in.csv", "a,b\r\nc,d\r\n")));
    trigger("mnuFileOpenCSV");
    for (const MsgAnswer answer : {MsgAnswer::No, MsgAnswer::Yes}) {
        messages.answerNext(answer);
        saveSchema("<element name=\"r\"><text DataSource=\"1\"/><comment DataSource=\"3\"/></element>");
        ASSERT_EQ(messages.shown.size(), 1u) << lastMessage();
        EXPECT_EQ(messages.shown[0].buttons, MsgButtons::YesNo);
        EXPECT_NE(lastMessage().find("データソース「3」"), std::string::npos) << lastMessage();
        EXPECT_EQ(selectedIndex(), 3);
        EXPECT_EQ(files.shown.size(), answer == MsgAnswer::Yes ? 1u : 0u);
    }
}

// An XSD that cannot be loaded is named in a warning; the save goes on only
// when told. For a schema never saved, a relative path is read from the
// folder it is saved into, as the saved file will read it.
TEST_F(SaveCheckTest, AnXsdThatCannotBeLoadedAsksFirst) {
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "sub");
    dir.write("sub/bad.xsd", "<notxsd/>");
    dir.write("sub/ok.xsd", "<xs:schema xmlns:xs=\"http://www.w3.org/2001/XMLSchema\">"
                            "<xs:element name=\"out\"/></xs:schema>");
    const std::string saved = dir.file("out.dsd");
    const struct {
        const char* xsd;
        MsgAnswer answer;
        bool asked;
    } cases[] = {{"sub/bad.xsd", MsgAnswer::No, true}, {"sub/bad.xsd", MsgAnswer::Yes, true},
                 {"sub/ok.xsd", MsgAnswer::No, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.xsd);
        std::filesystem::remove(saved);
        messages.answerNext(c.answer);
        files.choose(QString::fromStdString(saved));
        saveSchema(std::string("<element name=\"r\" xsd=\"") + c.xsd + "\"><text DataSource=\"1\"/></element>");
        ASSERT_EQ(messages.shown.size(), c.asked ? 1u : 0u) << lastMessage();
        if (c.asked) {
            EXPECT_EQ(messages.shown[0].buttons, MsgButtons::YesNo);
            EXPECT_EQ(messages.shown[0].defaultButton, 1);
            EXPECT_NE(lastMessage().find("bad.xsd"), std::string::npos) << lastMessage();
        }
        EXPECT_EQ(fileExists(saved), !c.asked || c.answer == MsgAnswer::Yes);
        if (fileExists(saved)) {
            EXPECT_NE(readFile(saved).find(std::string("xsd=\"") + c.xsd + "\""), std::string::npos);  // as typed
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

TEST_F(SaveCheckTest, RootNameMissing) {
    trigger("mnuFileNew");
    for (const char* root : {"", kPlaceholder}) {
        SCOPED_TRACE(root);
        text1()->setText(QString::fromUtf8(root));
        messages.shown.clear();
        trigger("mnuFileNewSave");
        expectOnly(kNoRootName);
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
    expectOnly(kNothingBound, MsgButtons::OkCancel);
    EXPECT_TRUE(files.shown.empty());
    EXPECT_EQ(schemaXml(), "<?xml version=\"1.0\"?><element name=\"element\" root=\"RootNode\"/>");
    EXPECT_TRUE(editor->isModified());

    messages.shown.clear();
    trigger("mnuFileNewSave");  // OK
    expectOnly(kNothingBound, MsgButtons::OkCancel);
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
