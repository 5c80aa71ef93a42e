// Undo and redo through the menu "編集(&E)" and its shortcuts: each kind of
// edit taken back and forth, the node each step touched shown, and a history
// that every new document starts afresh.
#include <QTest>
#include <functional>

#include "tests/support/temp_dir.h"
#include "tests/support/ui/editor_fixture.h"

namespace trelmo::test {
namespace {

// Tree indexes: 1 r, 2 a, 3 text, 4 z.
const char* const kSchema =
    "<element name=\"r\"><element name=\"a\"><text DataSource=\"1\"/></element>"
    "<attribute name=\"z\"/></element>";

class UndoTest : public EditorTest {
protected:
    bool canUndo() const { return action("mnuEditUndo")->isEnabled(); }
    bool canRedo() const { return action("mnuEditRedo")->isEnabled(); }
    // The selected node is shown in the panel as a click shows it.
    void expectShown(int treeIndex) {
        EXPECT_EQ(selectedIndex(), treeIndex);
        const std::string shown = panel();
        clickNode(treeIndex);
        EXPECT_EQ(panel(), shown);
    }
};

TEST_F(UndoTest, EveryKindOfEditBackAndForth) {
    struct Step {
        const char* name;
        std::function<void()> edit;
        int shownAfterUndo;  // tree index of the node the step touched
        int shownAfterRedo;
    };
    const Step steps[] = {
        {"insert", [&] { clickNode(2); ctrlKey(Qt::Key_E); }, 2, 4},
        {"register a name", [&] { txtName()->setText("b"); clickButton("cmdApply"); }, 4, 4},
        {"register a data source where there was none",
         [&] { clickNode(5); combo2()->setEditText("3"); clickButton("cmdApply"); }, 5, 5},
        {"delete a node that stands before another",
         [&] { clickNode(2); trigger("PopMnuDel"); }, 2, 1},
    };
    show(kSchema);
    std::vector<std::string> states{schemaXml() + "\n" + nodeListDump()};
    for (const Step& s : steps) {
        s.edit();
        states.push_back(schemaXml() + "\n" + nodeListDump());
    }
    ASSERT_EQ(messages.shown.size(), 0u) << lastMessage();

    for (std::size_t i = std::size(steps); i-- > 0;) {
        SCOPED_TRACE(std::string("undo ") + steps[i].name);
        trigger("mnuEditUndo");
        EXPECT_EQ(schemaXml() + "\n" + nodeListDump(), states[i]);
        EXPECT_EQ(editor->isModified(), i > 0);  // back at the state opened
        expectShown(steps[i].shownAfterUndo);
    }
    EXPECT_FALSE(canUndo());
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        SCOPED_TRACE(std::string("redo ") + steps[i].name);
        trigger("mnuEditRedo");
        EXPECT_EQ(schemaXml() + "\n" + nodeListDump(), states[i + 1]);
        expectShown(steps[i].shownAfterRedo);
    }
    EXPECT_FALSE(canRedo());
}

TEST_F(UndoTest, TheMenuAndShortcutsFollowTheHistory) {
    EXPECT_FALSE(canUndo());
    EXPECT_FALSE(canRedo());
    show(kSchema);
    clickNode(2);
    ctrlKey(Qt::Key_E);
    EXPECT_TRUE(canUndo());
    EXPECT_FALSE(canRedo());
    EXPECT_EQ(action("mnuEditUndo")->text(), QString::fromUtf8("元に戻す(&U)"));

    const std::pair<Qt::KeyboardModifiers, Qt::Key> redoKeys[] = {
        {Qt::ControlModifier, Qt::Key_Y}, {Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z}};
    for (const auto& [modifiers, key] : redoKeys) {
        ctrlKey(Qt::Key_Z);
        EXPECT_EQ(tree()->nodeCount(), 4);
        EXPECT_FALSE(canUndo());
        EXPECT_TRUE(canRedo());
        QTest::keyClick(editor.get(), key, modifiers);
        EXPECT_EQ(tree()->nodeCount(), 5);
        EXPECT_FALSE(canRedo());
    }
}

// Saved, then undone: the schema differs from the file again.
TEST_F(UndoTest, UndoAfterASaveIsAChange) {
    TempDir dir;
    show("<element name=\"r\"><text DataSource=\"1\"/></element>");
    text1()->setText("out");
    clickNode(2);
    combo2()->setEditText("2");
    clickButton("cmdApply");
    files.choose(QString::fromStdString(dir.file("s.dsd")));
    trigger("mnuFileNewSave");
    ASSERT_FALSE(editor->isModified()) << lastMessage();
    trigger("mnuEditUndo");
    EXPECT_TRUE(editor->isModified());
    EXPECT_EQ(editor->schemaNodeList()[1].attribute("DataSource"), "1");
}

TEST_F(UndoTest, ANewDocumentStartsANewHistory) {
    TempDir dir;
    const std::pair<const char*, std::function<void()>> replacements[] = {
        {"new", [&] { trigger("mnuFileNew"); }},
        {"open",
         [&] {
             files.choose(QString::fromStdString(dir.write("s.dsd", kSchema)));
             trigger("mnuFileOpenDSD");
         }},
        {"showing again",
         [&] {
             editor->close();
             editor->show();
         }},
    };
    for (const auto& [name, replace] : replacements) {
        SCOPED_TRACE(name);
        show(kSchema);
        clickNode(2);
        ctrlKey(Qt::Key_E);
        ctrlKey(Qt::Key_E);
        trigger("mnuEditUndo");
        ASSERT_TRUE(canUndo() && canRedo());
        messages.answerNext(MsgAnswer::No);  // drop the changes
        replace();
        EXPECT_FALSE(canUndo());
        EXPECT_FALSE(canRedo());
    }
}

// Edits update the views in place; what they show is what a rebuild from the
// schema, with the same node selected, shows (a register leaves the tree as
// it is, as it always did).
TEST_F(UndoTest, TheViewsShowWhatARebuildWould) {
    show("<element name=\"r\"><element name=\"a\"><text DataSource=\"1\"/>"
         "<element name=\"b\"><comment DataSource=\"2\"/></element></element>"
         "<attribute name=\"z\" DataSource=\"3\"/><element name=\"c\"/></element>");
    const std::pair<const char*, std::function<void()>> edits[] = {
        {"insert in the middle", [&] { clickNode(4); ctrlKey(Qt::Key_A); }},
        {"insert at the end", [&] { clickNode(8); ctrlKey(Qt::Key_E); }},
        {"register", [&] {
             clickNode(7);
             txtName()->setText("y");
             clickButton("cmdApply");
             tree()->collapseAll();
             tree()->selectNode(tree()->node(1));
             tree()->selectNode(tree()->node(7));
         }},
        {"delete a subtree", [&] { clickNode(2); trigger("PopMnuDel"); }},
        {"undo", [&] { trigger("mnuEditUndo"); }},
        {"undo again", [&] { trigger("mnuEditUndo"); }},
        {"redo", [&] { trigger("mnuEditRedo"); }},
        {"delete the last node", [&] { clickNode(9); trigger("PopMnuDel"); }},
    };
    for (const auto& [name, edit] : edits) {
        SCOPED_TRACE(name);
        edit();
        const std::string tree = treeDump(), list = nodeListDump();
        xml::Document copy;
        ASSERT_TRUE(copy.loadXml(editor->schemaDoc()->xml()));
        auto rebuilt = std::make_unique<ui::FrmEdit>(services);
        rebuilt->show();
        rebuilt->showDocument(std::move(copy));
        rebuilt->selectTreeIndex(selectedIndex());
        std::swap(editor, rebuilt);
        EXPECT_EQ(treeDump(), tree);
        EXPECT_EQ(nodeListDump(), list);
        std::swap(editor, rebuilt);
    }
    EXPECT_EQ(editor->viewRebuilds(), 0);
    EXPECT_TRUE(messages.shown.empty()) << lastMessage();
}

}  // namespace
}  // namespace trelmo::test
