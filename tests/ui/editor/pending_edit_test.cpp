// Values typed into the panel but not registered are never dropped unasked:
// before every command that would drop them the editor asks to register them,
// drop them, or stay.
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUndoStack>
#include <functional>

#include "tests/support/ui/editor_fixture.h"

namespace trelmo::test {
namespace {

const char* const kSchema =
    "<element name=\"r\" root=\"out\"><element name=\"a\"/><text DataSource=\"1\"/></element>";

class PendingEditTest : public EditorTest {
protected:
    // The schema with one register in its history, "a" shown and renamed in
    // the panel without 登録.
    xml::Node arrange() {
        editor = std::make_unique<ui::FrmEdit>(services, nullptr);
        editor->show();
        show(kSchema);
        clickNode(3);
        combo2()->setEditText("2");
        clickButton("cmdApply");
        clickNode(2);
        type(txtName(), "typed");
        messages.shown.clear();
        files.shown.clear();
        return editor->schemaNodeList()[1];
    }
    void pressOnNode(int treeIndex, Qt::MouseButton button) {
        QTimer::singleShot(0, [] {
            if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
        });
        QTest::mouseClick(tree()->viewport(), button, {},
                          tree()->visualItemRect(tree()->node(treeIndex)).center());
    }
    int historyIndex() { return editor->document().history().index(); }
};

TEST_F(PendingEditTest, EveryCommandThatDropsTypedValuesAsksFirst) {
    struct Command {
        const char* name;
        std::function<void()> run;
        std::function<bool(int historyBefore)> done;  // whether the command went on
        bool takesBackTheRegister = false;
    };
    const auto dialogShown = [&](int) { return !files.shown.empty(); };
    const auto selectedText = [&](int) { return selectedIndex() == 3; };
    const Command commands[] = {
        {"save", [&] { trigger("mnuFileNewSave"); }, dialogShown},
        {"close", [&] { editor->close(); }, [&](int) { return !editor->isVisible(); }},
        {"new", [&] { trigger("mnuFileNew"); },
         [&](int) { return editor->schemaNodeList().size() == 1; }},
        {"open", [&] { trigger("mnuFileOpenDSD"); }, dialogShown},
        {"CSV", [&] { trigger("mnuFileOpenCSV"); }, dialogShown},
        {"click", [&] { clickNode(3); }, selectedText},
        {"right-click", [&] { pressOnNode(3, Qt::RightButton); }, selectedText},
        {"arrow key", [&] {
             activate();
             tree()->setFocus();
             QTest::keyClick(tree(), Qt::Key_Down);
         }, selectedText},
        {"XML preview's node", [&] { editor->selectTreeIndex(3); }, selectedText},
        {"insert", [&] { ctrlKey(Qt::Key_E); },
         [&](int) { return editor->schemaNodeList().size() == 4; }},
        {"delete", [&] { trigger("PopMnuDel"); },
         [&](int) { return editor->schemaNodeList().size() == 2; }},
        {"undo", [&] { trigger("mnuEditUndo"); },
         [&](int before) { return historyIndex() < before; }, true},
    };
    for (const Command& c : commands) {
        for (const MsgAnswer answer : {MsgAnswer::Yes, MsgAnswer::No, MsgAnswer::Cancel}) {
            SCOPED_TRACE(std::string(c.name) + " answered " + std::to_string(int(answer)));
            const xml::Node a = arrange();
            // A register is one more step of the history.
            const int before = historyIndex() + (answer == MsgAnswer::Yes ? 1 : 0);
            messages.answerNext(answer);
            messages.answerNext(MsgAnswer::No);  // the question about unsaved changes
            c.run();
            messages.clearAnswers();
            ASSERT_FALSE(messages.shown.empty());
            EXPECT_EQ(messages.shown[0].text, kPendingQuestion);
            EXPECT_EQ(messages.shown[0].buttons, MsgButtons::YesNoCancel);
            const bool registered = answer == MsgAnswer::Yes && !c.takesBackTheRegister;
            EXPECT_EQ(a.attribute("name"), registered ? "typed" : "a");
            EXPECT_EQ(c.done(before), answer != MsgAnswer::Cancel);
            if (answer != MsgAnswer::Cancel) continue;
            EXPECT_EQ(messages.shown.size(), 1u) << lastMessage();
            EXPECT_EQ(selectedIndex(), 2);
            EXPECT_EQ(txtName()->text(), "typed");
        }
    }
}

// Yes goes on only when the register went through; a click on the node shown
// keeps the typed values; Enter in either box registers.
TEST_F(PendingEditTest, RegisteringAndEnter) {
    arrange();
    type(txtName(), "");
    messages.answerNext(MsgAnswer::Yes);
    clickNode(3);
    EXPECT_EQ(messages.texts(), (std::vector<std::string>{kPendingQuestion, "要素の名前が必要です。"}));
    EXPECT_EQ(selectedIndex(), 2);

    type(txtName(), "kept");
    clickNode(2);
    EXPECT_EQ(txtName()->text(), "kept");
    QTest::keyClick(txtName(), Qt::Key_Return);
    EXPECT_EQ(editor->schemaNodeList()[1].attribute("name"), "kept");

    clickNode(3);
    combo2()->setEditText(QString::fromUtf8("３"));
    QTest::keyClick(combo2()->lineEdit(), Qt::Key_Enter);
    EXPECT_EQ(editor->schemaNodeList()[2].attribute("DataSource"), "3");
    EXPECT_EQ(combo2()->currentText(), "3");  // the panel shows what was stored
    messages.shown.clear();
    clickNode(1);
    EXPECT_TRUE(messages.shown.empty()) << lastMessage();
}

// The question's box takes the release of the button, so only the press
// reaches the tree: whatever the answer, the node highlighted is the node
// shown and the one 登録 writes into; the right button's pop-up comes up over it.
TEST_F(PendingEditTest, APressAnsweredLeavesTheHighlightOnTheNodeShown) {
    for (const Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
        for (const MsgAnswer answer : {MsgAnswer::Yes, MsgAnswer::No, MsgAnswer::Cancel}) {
            SCOPED_TRACE(std::to_string(int(button)) + " answered " + std::to_string(int(answer)));
            const xml::Node a = arrange();
            messages.answerNext(answer);
            bool popup = false;
            QTimer::singleShot(0, [&] {
                if (QWidget* menu = QApplication::activePopupWidget()) popup = (menu->close(), true);
            });
            QTest::mousePress(tree()->viewport(), button, {},
                              tree()->visualItemRect(tree()->node(3)).center());
            QCoreApplication::processEvents();
            const bool moved = answer != MsgAnswer::Cancel;
            EXPECT_EQ(selectedIndex(), moved ? 3 : 2);
            EXPECT_EQ(popup, moved && button == Qt::RightButton);
            if (!moved) continue;
            combo2()->setEditText("3");
            QTest::keyClick(combo2()->lineEdit(), Qt::Key_Return);
            EXPECT_EQ(editor->schemaNodeList()[2].attribute("DataSource"), "3");
            EXPECT_EQ(a.attribute("name"), answer == MsgAnswer::Yes ? "typed" : "a");
        }
    }
}

}  // namespace
}  // namespace trelmo::test
