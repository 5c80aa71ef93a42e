// The properties panel: loading a clicked node and the register button.
#include <QComboBox>
#include <QPushButton>
#include <QTest>

#include <functional>

#include "tests/support/ui/editor_fixture.h"

namespace trelmo::test {
namespace {

const char* const kDataSourceMessage =
    "データソースを指定してください。\r\n（CSVの左から数えて何列目を挿入したいのかということです。）";
const char* const kDecl = "<?xml version=\"1.0\"?>";

class PanelTest : public EditorTest {
protected:
    // Registers the text in the data-source box for the node k.
    void registerDataSource(int k, const char* text) {
        clickNode(k);
        combo2()->setEditText(QString::fromUtf8(text));
        clickButton("cmdApply");
    }
    const QTreeWidgetItem* firstRow() const { return nodeList()->topLevelItem(0); }
    void expectMessage(const std::string& text, MsgIcon icon) {
        ASSERT_FALSE(messages.shown.empty());
        EXPECT_EQ(messages.shown.back().text, text);
        EXPECT_EQ(messages.shown.back().buttons, MsgButtons::Ok);
        EXPECT_EQ(messages.shown.back().icon, icon);
    }
};

const char* const kKinds =
    "<element name=\"r\"><element name=\"e\" DataSource=\"9\"/>"
    "<attribute name=\"a\" DataSource=\"2\"/><text DataSource=\"3\"/>"
    "<cdatasection DataSource=\"4\"/><comment DataSource=\"5\"/><bogus name=\"b\" DataSource=\"6\"/>"
    "<Element name=\"cap\"/><x:element xmlns:x=\"urn:x\" name=\"ns\"/><Text DataSource=\"7\"/>"
    "</element>";

TEST_F(PanelTest, FieldsFollowTheKindOfTheClickedNode) {
    show(kKinds);
    const std::pair<int, const char*> expected[] = {
        {2, "[e] on window / [] off grey"},        // element: its DataSource is not shown
        {3, "[a] on window / [2] on window"},      // attribute
        {4, "[] off grey / [3] on window"},        // text
        {5, "[] off grey / [4] on window"},        // cdatasection
        {6, "[] off grey / [5] on window"},        // comment
        {7, "[] off grey / [] off grey"},          // unknown kind
        {8, "[cap] on window / [] off grey"},      // kind compared in lower case
        {9, "[ns] on window / [] off grey"},       // and without its prefix
        {10, "[] off grey / [7] on window"},
        {1, "[r] on window / [] off grey"},
    };
    for (const auto& [k, state] : expected) {
        clickNode(k);
        EXPECT_EQ(panel(), state) << "node " << k;
        EXPECT_TRUE(nodeList()->isEnabled());
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(PanelTest, RegisterElementName) {
    show(kKinds);
    clickNode(2);
    txtName()->clear();
    const QTreeWidgetItem* row = firstRow();
    clickButton("cmdApply");
    expectMessage("要素の名前が必要です。", MsgIcon::None);
    EXPECT_EQ(editor->focusWidget(), txtName());
    EXPECT_EQ(firstRow(), row);  // the list was not refreshed

    const std::string tree = treeDump();
    txtName()->setText(" shop ");
    clickButton("cmdApply");
    EXPECT_EQ(nodeList()->topLevelItem(1)->text(1), " shop ");
    EXPECT_EQ(nodeList()->topLevelItem(1)->text(2), "9");  // left untouched
    EXPECT_EQ(editor->schemaNodeList()[1].attribute("name"), " shop ");
    EXPECT_EQ(treeDump(), tree);
    EXPECT_TRUE(editor->isModified());
    EXPECT_EQ(messages.shown.size(), 1u);
}

TEST_F(PanelTest, RegisterAttributeNeedsNameThenDataSource) {
    trigger("mnuFileNew");
    clickNode(1);
    ctrlKey(Qt::Key_A);
    txtName()->clear();
    clickButton("cmdApply");
    expectMessage("属性の名前が必要です。", MsgIcon::None);
    EXPECT_EQ(editor->focusWidget(), txtName());

    txtName()->setText("id");
    combo2()->setEditText("");
    const QTreeWidgetItem* row = firstRow();
    clickButton("cmdApply");
    expectMessage(kDataSourceMessage, MsgIcon::None);
    EXPECT_EQ(editor->focusWidget(), combo2());
    EXPECT_EQ(firstRow(), row);
    EXPECT_EQ(nodeListDump(), "element|element|\nattribute|attribute|\n");

    combo2()->setCurrentIndex(0);
    clickButton("cmdApply");
    EXPECT_EQ(schemaXml(), std::string(kDecl) +
                               "<element name=\"element\"><attribute name=\"id\" DataSource=\"1\"/>"
                               "</element>");
    EXPECT_EQ(nodeListDump(), "element|element|\nattribute|id|1\n");
    EXPECT_EQ(messages.shown.size(), 2u);
}

TEST_F(PanelTest, DataNodesNeedADataSourceStoredAsASixteenBitNumber) {
    show("<element name=\"r\"><text/><cdatasection/><comment/></element>");
    for (int k = 2; k <= 4; ++k) {
        registerDataSource(k, "");
        expectMessage(kDataSourceMessage, MsgIcon::None);
        EXPECT_EQ(editor->focusWidget(), combo2());
    }
    EXPECT_EQ(messages.shown.size(), 3u);
    EXPECT_EQ(nodeListDump(), "element|r|\ntext||\ncdatasection||\ncomment||\n");
    messages.shown.clear();
    const std::pair<const char*, const char*> cases[] = {
        {"2.5", "2"}, {"3.5", "4"}, {" +007 ", "7"}, {"0", "0"}, {"-3", "-3"}, {"99", "99"},
        {"32767", "32767"},
        // Full-width digits, signs and blanks, as input methods type them.
        {"１２", "12"}, {"－３", "-3"}, {"\u3000＋７\u3000", "7"}, {"２.５", "2"}};
    for (const auto& [typed, stored] : cases) {
        for (int k = 2; k <= 4; ++k) {
            registerDataSource(k, typed);
            EXPECT_EQ(editor->schemaNodeList()[static_cast<std::size_t>(k - 1)].attribute(
                          "DataSource"),
                      stored)
                << typed << " on node " << k;
            EXPECT_EQ(nodeList()->topLevelItem(k - 1)->text(2).toStdString(), stored);
        }
    }
    EXPECT_TRUE(messages.shown.empty());
}

// The message names the value and what is expected.
TEST_F(PanelTest, DataSourceThatIsNoNumberIsARunTimeError) {
    show("<element name=\"r\"><text DataSource=\"1\"/><attribute name=\"a\"/></element>");
    const QTreeWidgetItem* row = firstRow();
    const std::string expected = "CSVの左から数えた列の番号（1～32767）を指定してください。";
    registerDataSource(2, "abc");
    expectMessage("データソース「abc」は数値ではありません。" + expected, MsgIcon::Critical);
    registerDataSource(2, "40000");
    expectMessage("データソース「40000」は範囲外の数値です。" + expected, MsgIcon::Critical);
    EXPECT_EQ(editor->schemaNodeList()[1].attribute("DataSource"), "1");
    EXPECT_EQ(firstRow(), row);

    // An attribute keeps the name stored before the number failed.
    messages.answerNext(MsgAnswer::No);  // the data source typed above is dropped
    clickNode(3);
    txtName()->setText("renamed");
    combo2()->setEditText("x1");
    clickButton("cmdApply");
    expectMessage("データソース「x1」は数値ではありません。" + expected, MsgIcon::Critical);
    EXPECT_EQ(editor->schemaNodeList()[2].attribute("name"), "renamed");
    EXPECT_FALSE(editor->schemaNodeList()[2].attribute("DataSource").has_value());
    EXPECT_EQ(firstRow(), row);
}

// A fixed value instead of a column: stored as Value (read in any case),
// listed as "固定: <value>", undone as one step; a column replaces it again.
TEST_F(PanelTest, AFixedValueInsteadOfAColumn) {
    show("<element name=\"r\"><text value=\"old\"/><attribute name=\"a\" DataSource=\"2\"/></element>");
    auto* kind = control<QComboBox>("sourceKindBox");
    auto* fixed = control<QLineEdit>("fixedValueEdit");
    clickNode(2);
    EXPECT_EQ(kind->currentText(), QString::fromUtf8("固定値"));
    EXPECT_EQ(fixed->text(), "old");
    EXPECT_FALSE(combo2()->isEnabled());
    clickNode(3);
    kind->setCurrentIndex(1);
    fixed->setText(QString::fromUtf8("固定の値"));
    messages.answerNext(MsgAnswer::Yes);
    clickNode(1);  // the question registers it
    const char* const stored = "<element name=\"r\"><text value=\"old\"/><attribute name=\"a\" Value=\"固定の値\"/></element>";
    EXPECT_EQ(schemaXml(), stored);
    EXPECT_EQ(nodeListDump(), "element|r|\ntext|--|固定: old\nattribute|a|固定: 固定の値\n");
    trigger("mnuEditUndo");
    EXPECT_EQ(nodeListDump(), "element|r|\ntext|--|固定: old\nattribute|a|2\n");
    clickNode(2);
    kind->setCurrentIndex(0);
    combo2()->setEditText("4");
    clickButton("cmdApply");  // a column removes the fixed value
    EXPECT_EQ(editor->schemaNodeList()[1].attributes().size(), 1u);
    EXPECT_EQ(editor->schemaNodeList()[1].attribute("DataSource"), "4");
}

// With no node selected nothing can be typed or registered; a new or opened
// schema selects its top node and shows it.
TEST_F(PanelTest, ThePanelFollowsTheSelection) {
    const struct {
        const char* name;
        std::function<void()> arrange;
        int selected;
        const char* panel;
    } cases[] = {
        {"fresh window", [] {}, 0, "[] off grey / [] off grey"},
        {"new schema after a text node", [&] {
             show(kKinds);
             clickNode(4);
             trigger("mnuFileNew");
         }, 1, "[element] on window / [] off grey"},
        {"opened after a text node", [&] {
             show(kKinds);
             clickNode(4);
             show(kKinds);
         }, 1, "[r] on window / [] off grey"},
        {"a top node that is no element", [&] {
             show("<text DataSource=\"1\"/>");
             messages.shown.clear();
         }, 0, "[] off grey / [] off grey"},
        {"the selection taken away", [&] {
             show(kKinds);
             clickNode(3);
             QTest::mouseClick(tree()->viewport(), Qt::LeftButton, Qt::ControlModifier,
                               tree()->visualItemRect(tree()->node(3)).center());
         }, 0, "[] off grey / [] off grey"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.arrange();
        EXPECT_EQ(selectedIndex(), c.selected);
        EXPECT_EQ(panel(), c.panel);
        EXPECT_EQ(control<QPushButton>("cmdApply")->isEnabled(), c.selected != 0);
        EXPECT_TRUE(messages.shown.empty()) << lastMessage();
    }
}

// Pressing below the last node keeps the selection, and register still
// writes into the node the panel shows.
TEST_F(PanelTest, AClickOnEmptySpaceKeepsTheNodeShown) {
    show("<element name=\"r\"><element name=\"e\"/>"
         "<attribute name=\"a\" DataSource=\"2\"/></element>");
    clickNode(3);
    const QRect last = tree()->visualItemRect(tree()->node(tree()->nodeCount()));
    QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {},
                      QPoint(last.center().x(), last.bottom() + 30));
    EXPECT_EQ(selectedIndex(), 3);
    EXPECT_EQ(panel(), "[a] on window / [2] on window");
    txtName()->setText("b");
    clickButton("cmdApply");
    EXPECT_EQ(editor->schemaNodeList()[2].attribute("name"), "b");
}

TEST_F(PanelTest, KeyboardSelectionLoadsThePanel) {
    show(kKinds);
    clickNode(2);
    activate();
    tree()->setFocus();
    QTest::keyClick(tree(), Qt::Key_Down);
    EXPECT_EQ(selectedIndex(), 3);
    EXPECT_EQ(panel(), "[a] on window / [2] on window");
}

TEST_F(PanelTest, FocusSelectsTheWholeText) {
    show(kKinds);
    clickNode(3);
    activate();
    combo2()->setFocus();
    txtName()->setFocus();
    EXPECT_EQ(txtName()->selectedText(), "a");
    combo2()->setFocus();
    EXPECT_EQ(combo2()->lineEdit()->selectedText(), "2");
}

}  // namespace
}  // namespace trelmo::test
