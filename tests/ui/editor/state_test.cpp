// The document state: a new schema, Modified after each command, and the
// question asked on closing.
#include <QTest>
#include <QTreeView>

#include "tests/support/ui/editor_fixture.h"
#include "ui/editor/preview_model.h"

namespace trelmo::test {
namespace {

const char* const kQuestion = "変更されています。保存しますか？";

using StateTest = EditorTest;

TEST_F(StateTest, NewSchemaMakesTheDeclarationAndTopElement) {
    trigger("mnuFileNew");
    EXPECT_EQ(schemaXml(), "<?xml version=\"1.0\"?><element name=\"element\"/>");
    EXPECT_EQ(treeDump(), "element 1 #0000c0 open\n");
    EXPECT_EQ(nodeListDump(), "element|element|\n");
    EXPECT_EQ(selectedIndex(), 0);
    EXPECT_EQ(control<QLineEdit>("Text1")->text(), "RootNode");
    EXPECT_EQ(control<QLineEdit>("Text2")->text(), "/RootNode");
    ASSERT_EQ(combo2()->count(), 5);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(combo2()->itemText(i), QString::number(i + 1));
    EXPECT_EQ(combo2()->currentText(), "");
    EXPECT_TRUE(editor->isModified());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(StateTest, NewSchemaReplacesTheDocumentAndEmptiesThePreview) {
    trigger("mnuFileNew");
    clickNode(1);
    ctrlKey(Qt::Key_E);
    control<QLineEdit>("txtEncoding")->setText("Shift_JIS");
    control<QLineEdit>("Text1")->setText("shops");
    auto* preview = static_cast<ui::PreviewModel*>(control<QTreeView>("ListView2")->model());
    preview->addHeader("1");
    preview->addHeader("2");
    preview->addItem({"a", "b"});

    trigger("mnuFileNew");
    EXPECT_EQ(schemaXml(), "<?xml version=\"1.0\"?><element name=\"element\"/>");
    EXPECT_EQ(treeDump(), "element 1 #0000c0 open\n");
    EXPECT_EQ(editor->schemaNodeList().size(), 1u);
    EXPECT_EQ(control<QLineEdit>("txtEncoding")->text(), "");
    EXPECT_EQ(control<QLineEdit>("Text1")->text(), "RootNode");
    EXPECT_EQ(preview->columnCount(), 0);
    EXPECT_EQ(preview->rowCount(), 0);
    EXPECT_EQ(combo2()->count(), 5);
}

TEST_F(StateTest, ModifiedFollowsOnlyNewInsertAndDelete) {
    EXPECT_FALSE(editor->isModified());
    trigger("mnuFileNew");
    EXPECT_TRUE(editor->isModified());

    // A clean document: only the commands that change structure set it.
    messages.answerNext(MsgAnswer::No);
    editor->close();
    editor->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(editor.get()));
    show("<element name=\"r\"><element name=\"a\"/></element>");
    ASSERT_FALSE(editor->isModified());

    clickNode(2);
    txtName()->setText("b");
    clickButton("cmdApply");
    control<QLineEdit>("Text1")->setText("x");
    control<QLineEdit>("txtEncoding")->setText("UTF-8");
    EXPECT_FALSE(editor->isModified());

    trigger("PopMnuDel");
    EXPECT_TRUE(editor->isModified());
}

TEST_F(StateTest, ClosingUnchangedAsksNothing) {
    editor->close();
    EXPECT_FALSE(editor->isVisible());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(StateTest, CloseQuestionYesSavesAndStaysOpen) {
    trigger("mnuFileNew");
    messages.answerNext(MsgAnswer::Yes);
    editor->close();
    ASSERT_EQ(messages.shown.size(), 2u);
    const Message& asked = messages.shown[0];
    EXPECT_EQ(asked.text, kQuestion);
    EXPECT_EQ(asked.buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(asked.icon, MsgIcon::None);
    EXPECT_EQ(asked.defaultButton, 0);
    // The save ran: its check asked about the missing data sources, then the
    // save dialog was cancelled.
    EXPECT_EQ(messages.shown[1].buttons, MsgButtons::OkCancel);
    EXPECT_EQ(files.shown.size(), 1u);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_TRUE(editor->isModified());  // nothing was written
}

TEST_F(StateTest, CloseQuestionNoClosesOnce) {
    trigger("mnuFileNew");
    const std::string before = schemaXml();
    messages.answerNext(MsgAnswer::No);
    trigger("mnuFileExit");
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(messages.texts(), std::vector<std::string>{kQuestion});
    EXPECT_TRUE(files.shown.empty());
    EXPECT_EQ(schemaXml(), before);
}

TEST_F(StateTest, CloseQuestionCancelStays) {
    trigger("mnuFileNew");
    messages.answerNext(MsgAnswer::Cancel);
    editor->close();
    EXPECT_TRUE(editor->isVisible());
    EXPECT_TRUE(editor->isModified());
    EXPECT_EQ(messages.texts(), std::vector<std::string>{kQuestion});
}

TEST_F(StateTest, EscapeGoesThroughTheQuestion) {
    trigger("mnuFileNew");
    messages.answerNext(MsgAnswer::Cancel);
    activate();
    QTest::keyClick(editor.get(), Qt::Key_Escape);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(messages.texts(), std::vector<std::string>{kQuestion});
    messages.answerNext(MsgAnswer::No);
    QTest::keyClick(editor.get(), Qt::Key_Escape);
    EXPECT_FALSE(editor->isVisible());
}

}  // namespace
}  // namespace trelmo::test
