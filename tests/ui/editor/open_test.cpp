// Opening a schema file: the dialog, what each outcome leaves in the editor,
// and files the editor did not write.
#include <QPushButton>

#include "tests/support/temp_dir.h"
#include "tests/support/ui/editor_fixture.h"
#include "ui/editor/preview_model.h"

namespace trelmo::test {
namespace {

const char* const kSchema =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<element name=\"shop\" root=\"shops\" encoding=\"EUC-JP\">\n"
    "  <attribute name=\"id\" DataSource=\"1\"/>\n"
    "  <element name=\"city\"><text DataSource=\"2\"/></element>\n"
    "</element>\n";

class OpenTest : public EditorTest {
protected:
    // Puts something in every control that opening empties or keeps.
    void fillEditor() {
        trigger("mnuFileNew");
        show("<element name=\"old\" root=\"oldroot\" encoding=\"old\"><text DataSource=\"7\"/></element>");
        clickNode(2);
        preview()->addHeader("1");
        preview()->addItem({"kept"});
        messages.shown.clear();
    }
    // Opens through the menu; the question about unsaved changes, when it
    // comes, is answered with No and left out of `messages`.
    void openMenu() {
        const bool asks = editor->isModified();
        if (asks) messages.answerNext(MsgAnswer::No);
        trigger("mnuFileOpenDSD");
        if (!asks) return;
        ASSERT_FALSE(messages.shown.empty());
        EXPECT_EQ(messages.shown.front().text, kSaveQuestion);
        messages.shown.erase(messages.shown.begin());
    }
    // Opens a file with these bytes through the menu.
    void open(std::string_view bytes) {
        files.choose(QString::fromStdString(dir.write("s.dsd", bytes)));
        openMenu();
    }
    void expectEmptied() {
        EXPECT_EQ(tree()->nodeCount(), 0);
        EXPECT_EQ(nodeList()->topLevelItemCount(), 0);
        EXPECT_EQ(txtName()->text(), "");
        EXPECT_EQ(txtEncoding()->text(), "");
        EXPECT_EQ(text1()->text(), "oldroot");  // Text1 is not touched
    }
    // Only the parser's message, with its icon.
    void expectParserMessage() {
        ASSERT_EQ(messages.shown.size(), 1u) << lastMessage();
        EXPECT_EQ(messages.shown[0].icon, MsgIcon::Exclamation);
        EXPECT_NE(messages.shown[0].text.find("\r\nLine: "), std::string::npos);
        EXPECT_NE(messages.shown[0].text.find("\r\nText: "), std::string::npos);
    }
    TempDir dir;
};

TEST_F(OpenTest, TheOpenDialog) {
    trigger("mnuFileOpenDSD");
    expectOneDialog(ui::FileDialogMode::Open, "開く", "スキーマﾌｧｲﾙ (*.dsd)|*.dsd|すべてのﾌｧｲﾙ (*.*)|*.*",
                    nullptr, ui::dlgflags::FileMustExist | ui::dlgflags::HideReadOnly);
}

// Cancelled or failed, the dialog leaves no document; only the failure is
// told, plainly.
TEST_F(OpenTest, NoFileLeavesNoDocument) {
    for (const bool fails : {false, true}) {
        SCOPED_TRACE(fails);
        fillEditor();
        if (fails) files.fail(32002, "ダイアログを開けません。");
        openMenu();
        EXPECT_FALSE(editor->schemaDoc().has_value());
        EXPECT_TRUE(editor->schemaNodeList().empty());
        expectEmptied();
        if (fails) {
            EXPECT_EQ(messages.texts(), std::vector<std::string>{"ダイアログを開けません。"});
            EXPECT_EQ(messages.shown[0].icon, MsgIcon::None);
            messages.shown.clear();
        }
        EXPECT_TRUE(messages.shown.empty());
        EXPECT_FALSE(editor->isModified());  // the changes were dropped
        // The preview is left alone; with no node the panel is off.
        EXPECT_EQ(previewDump(), "1\nkept\n");
        EXPECT_EQ(panel(), "[] off grey / [] off grey");
        // Without a document the commands do nothing.
        trigger("PopMnuElementIn");
        trigger("mnuFileNewSave");
        EXPECT_TRUE(messages.shown.empty());
    }
}

TEST_F(OpenTest, LoadedShowsTreeListRootAndEncoding) {
    fillEditor();
    open(kSchema);
    EXPECT_TRUE(messages.shown.empty()) << lastMessage();
    EXPECT_EQ(treeDump(),
              "element 1 #0000c0 open selected\n  attribute 5 #ff8000\n  element 1 #0000c0\n    text 3 #400000\n");
    EXPECT_EQ(nodeListDump(), "element|shop|\nattribute|id|1\nelement|city|\ntext|--|2\n");
    EXPECT_EQ(editor->schemaNodeList().size(), 4u);
    EXPECT_EQ(text1()->text(), "shops");
    EXPECT_EQ(control<QLineEdit>("Text2")->text(), "/shops");
    EXPECT_EQ(txtEncoding()->text(), "EUC-JP");  // the attribute, not the declaration
    EXPECT_EQ(selectedIndex(), 1);  // the top node, shown in the panel
    EXPECT_EQ(panel(), "[shop] on window / [] off grey");
    EXPECT_EQ(comboItems(), "1,2,3,4,5");
    EXPECT_EQ(previewDump(), "1\nkept\n");
    EXPECT_FALSE(editor->isModified());
}

TEST_F(OpenTest, WithoutRootAndEncodingBothBoxesAreEmpty) {
    fillEditor();
    open("<element name=\"r\" Root=\"R\" ENCODING=\"E\"><text DataSource=\"1\"/></element>");
    EXPECT_TRUE(messages.shown.empty()) << lastMessage();
    EXPECT_EQ(text1()->text(), "");
    EXPECT_EQ(control<QLineEdit>("Text2")->text(), "/");
    EXPECT_EQ(txtEncoding()->text(), "");
    EXPECT_EQ(tree()->nodeCount(), 2);
}

// A file the parser rejects: only its message, an empty document, and the
// views emptied.
TEST_F(OpenTest, AParseErrorEmptiesTheViews) {
    const std::pair<const char*, const char*> cases[] = {
        {"name,DataSource\r\nid,1\r\n", ""},  // not XML
        {"<!DOCTYPE element SYSTEM \"http://10.255.255.1/dsd.dtd\">\n<element name=\"r\"/>", ""},
        {"<!DOCTYPE element SYSTEM \"no-such.dtd\">\n<element name=\"r\"/>", "no-such.dtd"},
        {"<?xml version=\"1.0\" encoding=\"x-no-such\"?>\n<element name=\"r\"/>", ""},
    };
    for (const auto& [bytes, named] : cases) {
        SCOPED_TRACE(bytes);
        fillEditor();
        open(bytes);
        expectParserMessage();
        EXPECT_NE(lastMessage().find(named), std::string::npos) << lastMessage();
        ASSERT_TRUE(editor->schemaDoc().has_value());
        EXPECT_FALSE(editor->schemaDoc()->documentElement());
        expectEmptied();
    }
}

TEST_F(OpenTest, AnotherTopElementStillFillsTheList) {
    fillEditor();
    open("<Element name=\"r\" root=\"list\"><text DataSource=\"1\"/></Element>");
    ASSERT_EQ(messages.texts(), std::vector<std::string>{"最上位のノードは<element>でなければなりません。"
                                                         "\r\n<Element> ではじまりました。"});
    EXPECT_EQ(messages.shown[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::None);
    EXPECT_EQ(tree()->nodeCount(), 0);
    EXPECT_EQ(editor->schemaNodeList().size(), 2u);
    EXPECT_EQ(nodeListDump(), "Element|r|\ntext|--|1\n");
    EXPECT_EQ(text1()->text(), "list");

    // With no tree node to act on, the commands say so.
    messages.shown.clear();
    ctrlKey(Qt::Key_E);
    trigger("PopMnuDel");
    clickButton("cmdApply");
    EXPECT_EQ(messages.texts(), std::vector<std::string>(2, kNoNodeSelected));
}

TEST_F(OpenTest, ShiftJisWithCodePage932Characters) {
    // "市" and "①～" in code page 932.
    open("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n"
         "<element name=\"\x8E\x73\" root=\"\x87\x40\x81\x60\" encoding=\"Shift_JIS\">"
         "<attribute name=\"\x87\x40\" DataSource=\"1\"/></element>\r\n");
    EXPECT_TRUE(messages.shown.empty()) << lastMessage();
    EXPECT_EQ(text1()->text(), QString::fromUtf8("①～"));
    EXPECT_EQ(txtEncoding()->text(), "Shift_JIS");
    EXPECT_EQ(nodeListDump(), "element|市|\nattribute|①|1\n");
}

TEST_F(OpenTest, OpeningInAFreshEditorIsClean) {
    open(kSchema);
    EXPECT_FALSE(editor->isModified());
    editor->close();
    EXPECT_FALSE(editor->isVisible());
    EXPECT_TRUE(messages.shown.empty());
}

}  // namespace
}  // namespace trelmo::test
