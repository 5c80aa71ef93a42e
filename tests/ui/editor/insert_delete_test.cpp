// Building a schema through the pop-up menu, the menu bar and the shortcuts.
#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <functional>

#include "tests/support/temp_dir.h"
#include "tests/support/ui/editor_fixture.h"

namespace trelmo::test {
namespace {

const char* const kRefusal = "elementにしか子要素を挿入できません。";
const char* const kDecl = "<?xml version=\"1.0\"?>";

class InsertDeleteTest : public EditorTest {
protected:
    // Clicks the tree at pos. While a pop-up is up, runs `during` on it and
    // closes it. Returns whether a pop-up came up.
    bool click(const QPoint& pos, Qt::MouseButton button = Qt::RightButton,
               const std::function<void(QMenu*)>& during = {}) {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            if (QWidget* popup = QApplication::activePopupWidget()) {
                seen = true;
                if (during) during(qobject_cast<QMenu*>(popup));
                popup->close();
            }
        });
        QTest::mouseClick(tree()->viewport(), button, {}, pos);
        QCoreApplication::processEvents();
        return seen;
    }
    QPoint nodeCenter(int treeIndex) const {
        return tree()->visualItemRect(tree()->node(treeIndex)).center();
    }
    // The command refused with its message, leaving the schema as it was.
    void expectRefused(const std::string& what, const std::function<void()>& command,
                       const char* refusal = kRefusal) {
        SCOPED_TRACE(what);
        const std::string before = schemaXml();
        const std::string treeBefore = treeDump();
        const bool modified = editor->isModified();
        messages.shown.clear();
        command();
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text, refusal);
        EXPECT_EQ(messages.shown[0].buttons, MsgButtons::Ok);
        EXPECT_EQ(messages.shown[0].icon, MsgIcon::Exclamation);
        EXPECT_EQ(schemaXml(), before);
        EXPECT_EQ(treeDump(), treeBefore);
        EXPECT_EQ(editor->isModified(), modified);
    }
};

TEST_F(InsertDeleteTest, BuildWithTheShortcuts) {
    trigger("mnuFileNew");
    clickNode(1);
    ctrlKey(Qt::Key_E);
    EXPECT_EQ(schemaXml(), std::string(kDecl) +
                               "<element name=\"element\"><element name=\"element\"/></element>");
    EXPECT_EQ(treeDump(), "element 1 #0000c0 open\n  element 1 #0000c0 open selected\n");
    EXPECT_EQ(nodeListDump(), "element|element|\nelement|element|\n");
    EXPECT_EQ(txtName()->text(), "element");
    EXPECT_TRUE(txtName()->isEnabled());
    EXPECT_FALSE(combo2()->isEnabled());

    ctrlKey(Qt::Key_T);  // under the new element, which is selected
    EXPECT_EQ(selectedIndex(), 3);
    EXPECT_FALSE(txtName()->isEnabled());
    EXPECT_TRUE(combo2()->isEnabled());
    clickNode(2);
    ctrlKey(Qt::Key_A);
    EXPECT_EQ(txtName()->text(), "attribute");
    clickNode(2);
    ctrlKey(Qt::Key_C);
    clickNode(2);
    ctrlKey(Qt::Key_D);
    EXPECT_EQ(selectedIndex(), 6);

    EXPECT_EQ(schemaXml(), std::string(kDecl) +
                               "<element name=\"element\"><element name=\"element\"><text/>"
                               "<attribute name=\"attribute\"/><comment/><cdatasection/>"
                               "</element></element>");
    EXPECT_EQ(treeDump(),
              "element 1 #0000c0 open\n"
              "  element 1 #0000c0 open\n"
              "    text 3 #400000\n"
              "    attribute 5 #ff8000\n"
              "    comment 3 #808080\n"
              "    cdatasection 3 #008000 open selected\n");
    EXPECT_EQ(nodeListDump(),
              "element|element|\nelement|element|\ntext||\nattribute|attribute|\n"
              "comment||\ncdatasection||\n");
    EXPECT_TRUE(editor->isModified());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(InsertDeleteTest, BuildWithTheMenuItems) {
    trigger("mnuFileNew");
    const char* items[] = {"PopMnuElementIn", "PopMnuTextIn", "PopMnuAttributeIn",
                           "PopMnuCommentIn", "PopMnuCDATAIn"};
    for (const char* item : items) {
        clickNode(1);
        trigger(item);
    }
    EXPECT_EQ(schemaXml(), std::string(kDecl) +
                               "<element name=\"element\"><element name=\"element\"/><text/>"
                               "<attribute name=\"attribute\"/><comment/><cdatasection/>"
                               "</element>");
    EXPECT_EQ(treeDump(),
              "element 1 #0000c0 open\n"
              "  element 1 #0000c0\n"
              "  text 3 #400000\n"
              "  attribute 5 #ff8000\n"
              "  comment 3 #808080\n"
              "  cdatasection 3 #008000 open selected\n");
}

TEST_F(InsertDeleteTest, AttributeComesAfterExistingChildrenAndNamesRepeat) {
    show("<element name=\"r\"><element name=\"a\"/><text DataSource=\"1\"/></element>");
    clickNode(1);
    ctrlKey(Qt::Key_A);
    clickNode(1);
    ctrlKey(Qt::Key_E);
    clickNode(1);
    ctrlKey(Qt::Key_E);
    EXPECT_EQ(nodeListDump(),
              "element|r|\nelement|a|\ntext|--|1\nattribute|attribute|\nelement|element|\n"
              "element|element|\n");
    EXPECT_EQ(tree()->node(4)->text(0), "attribute");
    EXPECT_EQ(selectedIndex(), 6);
}

TEST_F(InsertDeleteTest, OnlyElementNodesTakeChildren) {
    show("<element name=\"r\"><text DataSource=\"1\"/><attribute name=\"a\" DataSource=\"2\"/>"
         "<comment DataSource=\"3\"/><cdatasection DataSource=\"4\"/>"
         "<Element name=\"cap\"/><bogus name=\"b\"/></element>");
    for (int k = 2; k <= 7; ++k) {
        clickNode(k);
        expectRefused(tree()->node(k)->text(0).toStdString(), [&] { ctrlKey(Qt::Key_E); });
    }
}

TEST_F(InsertDeleteTest, WithoutADocumentNothingHappensWithoutASelectionTheySayWhy) {
    ctrlKey(Qt::Key_E);  // no document yet
    trigger("PopMnuDel");
    EXPECT_FALSE(editor->schemaDoc().has_value());
    EXPECT_TRUE(messages.shown.empty());

    trigger("mnuFileNew");
    ASSERT_EQ(selectedIndex(), 1);
    tree()->clearSelection();
    for (const auto& [name, command] : std::initializer_list<
             std::pair<const char*, std::function<void()>>>{
             {"Ctrl+E", [&] { ctrlKey(Qt::Key_E); }},
             {"Ctrl+D", [&] { ctrlKey(Qt::Key_D); }},
             {"削除", [&] { trigger("PopMnuDel"); }}}) {
        expectRefused(name, command, kNoNodeSelected);
    }
}

// A schema nested deeper than a load reads would neither open nor convert.
TEST_F(InsertDeleteTest, NoInsertPastTheDepthALoadReads) {
    const int limit = xml::Document::kMaxLoadDepth;
    std::string text;
    for (int i = 1; i < limit; ++i) text += "<element name=\"e\">";
    for (int i = 1; i < limit; ++i) text += "</element>";
    show(text);
    tree()->selectNode(tree()->node(limit - 1));
    ctrlKey(Qt::Key_E);  // reaches the limit
    ASSERT_EQ(selectedIndex(), limit);
    expectRefused("past the limit", [&] { ctrlKey(Qt::Key_T); },
                  "これより深い階層には挿入できません（最大257階層）。");
    xml::Document reread;
    EXPECT_TRUE(reread.loadXml(editor->schemaDoc()->xml())) << reread.parseError().reason;
}

// Delete deletes the selected node as 削除 does; the Menu key and Shift+F10
// bring up the pop-up menu at the selected node.
TEST_F(InsertDeleteTest, TheKeysOfTheTree) {
    show("<element name=\"r\"><element name=\"a\"/><element name=\"b\"/></element>");
    clickNode(3);
    activate();
    tree()->setFocus();
    QTest::keyClick(tree(), Qt::Key_Delete);
    EXPECT_EQ(nodeListDump(), "element|r|\nelement|a|\n");
    EXPECT_EQ(selectedIndex(), 1);
    trigger("mnuEditUndo");
    EXPECT_EQ(nodeListDump(), "element|r|\nelement|a|\nelement|b|\n");

    for (const auto& [key, modifiers] : {std::pair{Qt::Key_Menu, Qt::KeyboardModifiers{}},
                                         std::pair{Qt::Key_F10, Qt::KeyboardModifiers{Qt::ShiftModifier}}}) {
        clickNode(2);
        QPoint at;
        QTimer::singleShot(0, [&] {
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                at = tree()->viewport()->mapFromGlobal(menu->pos());
                menu->close();
            }
        });
        QTest::keyClick(tree(), key, modifiers);
        const QRect node = tree()->visualItemRect(tree()->node(2));
        EXPECT_TRUE(node.adjusted(0, 0, 0, node.height()).contains(at)) << key;
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(InsertDeleteTest, DeleteTakesTheSubtreeAndSelectsTheParent) {
    show("<?xml version=\"1.0\"?><element name=\"r\"><element name=\"a\"><text DataSource=\"1\"/>"
         "<element name=\"b\"><comment DataSource=\"2\"/></element></element>"
         "<attribute name=\"z\" DataSource=\"3\"/></element>");
    clickNode(4);
    ASSERT_EQ(txtName()->text(), "b");
    trigger("PopMnuDel");
    EXPECT_EQ(schemaXml(), std::string(kDecl) +
                               "<element name=\"r\"><element name=\"a\"><text DataSource=\"1\"/>"
                               "</element><attribute name=\"z\" DataSource=\"3\"/></element>");
    EXPECT_EQ(treeDump(),
              "element 1 #0000c0 open\n"
              "  element 1 #0000c0 open selected\n"
              "    text 3 #400000\n"
              "  attribute 5 #ff8000\n");
    EXPECT_EQ(nodeListDump(), "element|r|\nelement|a|\ntext|--|1\nattribute|z|3\n");
    EXPECT_EQ(editor->schemaNodeList().size(), 4u);
    EXPECT_EQ(txtName()->text(), "a");
    EXPECT_TRUE(editor->isModified());
    EXPECT_TRUE(messages.shown.empty());
}

// A node deleted from an indented file takes its indentation with it; the
// file keeps its own line ends, and undo puts both back.
TEST_F(InsertDeleteTest, DeletingFromAnIndentedFileKeepsItsLayout) {
    const std::string head = "<?xml version=\"1.0\"?>\r\n<element name=\"r\" root=\"out\">\r\n";
    const std::string a = "  <element name=\"a\"/>\r\n";
    const std::string rest = "  <text DataSource=\"1\"/>\r\n</element>\r\n";
    TempDir dir;
    editor->openSchemaFile(QString::fromStdString(dir.write("in.dsd", head + a + rest)));
    const auto saved = [&](const char* name) {
        files.choose(QString::fromStdString(dir.file(name)));
        trigger("mnuFileNewSave");
        return readFile(dir.file(name));
    };
    clickNode(2);
    trigger("PopMnuDel");
    EXPECT_EQ(saved("deleted.dsd"), head + rest);
    trigger("mnuEditUndo");
    EXPECT_EQ(saved("undone.dsd"), head + a + rest);
    EXPECT_TRUE(messages.shown.empty()) << lastMessage();
}

TEST_F(InsertDeleteTest, TheRootCannotBeDeleted) {
    trigger("mnuFileNew");
    clickNode(1);
    expectRefused("root", [&] { trigger("PopMnuDel"); }, "削除できません");
    EXPECT_EQ(schemaXml(), std::string(kDecl) + "<element name=\"element\"/>");
}

// A right press selects the node under the pointer and loads it into the
// panel; the pop-up's commands then act on it.
TEST_F(InsertDeleteTest, RightClickSelectsThenActsOnThePointedNode) {
    show("<element name=\"r\"><element name=\"a\"/><element name=\"b\"/></element>");
    clickNode(2);
    int selectedDuring = 0;
    QString shownDuring;
    const bool shown = click(nodeCenter(3), Qt::RightButton, [&](QMenu* menu) {
        EXPECT_EQ(menu, control<QMenu>("PopMnu"));
        selectedDuring = selectedIndex();
        shownDuring = txtName()->text();
        trigger("PopMnuTextIn");
    });
    ASSERT_TRUE(shown);
    EXPECT_EQ(selectedDuring, 3);
    EXPECT_EQ(shownDuring, "b");
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(nodeListDump(), "element|r|\nelement|a|\nelement|b|\ntext||\n");
    EXPECT_EQ(selectedIndex(), 4);
}

TEST_F(InsertDeleteTest, NoPopUpOnEmptySpaceOrLeftButton) {
    trigger("mnuFileNew");
    const QRect root = tree()->visualItemRect(tree()->node(1));
    EXPECT_FALSE(click(QPoint(root.center().x(), root.bottom() + 40)));
    EXPECT_FALSE(click(root.center(), Qt::LeftButton));
    EXPECT_EQ(selectedIndex(), 1);
}

}  // namespace
}  // namespace trelmo::test
