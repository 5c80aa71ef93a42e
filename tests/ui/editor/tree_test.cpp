// The schema tree and the node list built from a document.
#include <QTest>

#include "tests/support/ui/editor_fixture.h"
#include "ui/editor/image_list.h"

namespace trelmo::test {
namespace {

using TreeTest = EditorTest;

const char* const kEveryKind =
    "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>"
    "<element name=\"shop\" root=\"shops\" encoding=\"Shift_JIS\">"
    "<attribute name=\"id\" DataSource=\"1\"/><element name=\"city\"><text DataSource=\"2\"/>"
    "</element><cdatasection DataSource=\"3\"/><comment DataSource=\"4\"/><bogus name=\"x\"/>"
    "</element>";

QImage argb(const QPixmap& p) { return p.toImage().convertToFormat(QImage::Format_ARGB32); }

TEST_F(TreeTest, EveryKindHasItsPictureColourAndRow) {
    show(kEveryKind);
    EXPECT_EQ(treeDump(),
              "element 1 #0000c0 open selected\n"
              "  attribute 5 #ff8000\n"
              "  element 1 #0000c0\n"
              "    text 3 #400000\n"
              "  cdatasection 3 #008000\n"
              "  comment 3 #808080\n"
              "  bogus 4 #ff0000\n");
    EXPECT_EQ(nodeListDump(),
              "element|shop|\n"
              "attribute|id|1\n"
              "element|city|\n"
              "text|--|2\n"
              "cdatasection|--|3\n"
              "comment|--|4\n"
              "bogus|x|\n");
    EXPECT_EQ(control<QLineEdit>("Text1")->text(), "shops");
    EXPECT_EQ(control<QLineEdit>("txtEncoding")->text(), "Shift_JIS");
    EXPECT_EQ(selectedIndex(), 1);
    EXPECT_FALSE(editor->isModified());
    EXPECT_TRUE(messages.shown.empty());

    // The pictures themselves: the node's own, and the open box when selected.
    const ui::ImageList images;
    for (int k = 1; k <= tree()->nodeCount(); ++k) {
        const QTreeWidgetItem* item = tree()->node(k);
        const int picture = item->data(0, ui::SchemaTreeView::PictureRole).toInt();
        EXPECT_EQ(item->data(0, ui::SchemaTreeView::SelectedPictureRole).toInt(), 2);
        const QIcon icon = item->icon(0);
        EXPECT_EQ(argb(icon.pixmap(16, 16, QIcon::Normal)), argb(images.picture(picture))) << k;
        EXPECT_EQ(argb(icon.pixmap(16, 16, QIcon::Selected)), argb(images.picture(2))) << k;
    }
}

// Tree index k stands for SchemaNodeList[k - 1] whatever lies between the
// elements of the file.
TEST_F(TreeTest, TreeIndexFollowsTheElementsOnly) {
    show("<?xml version=\"1.0\"?>\n<!-- file comment -->\n<?app top?>\n"
         "<element name=\"r\">\n  <!-- c -->\n  <?app data?>\n"
         "  <element name=\"a\">text here<![CDATA[cdata]]>\n"
         "    <Element name=\"cap\"><text DataSource=\"1\"/></Element>\n"
         "    <note>free <b>bold</b> text</note>\n"
         "  </element>\n"
         "  <x:element xmlns:x=\"urn:x\" name=\"ns\"/>\n"
         "  <attribute name=\"z\" DataSource=\"2\"/>\n"
         "</element>\n<!-- after -->\n");
    const std::vector<xml::Node>& list = editor->schemaNodeList();
    ASSERT_EQ(list.size(), 8u);
    ASSERT_EQ(tree()->nodeCount(), 8);
    for (int k = 1; k <= 8; ++k) {
        const xml::Node& e = list[static_cast<std::size_t>(k - 1)];
        const QTreeWidgetItem* item = tree()->node(k);
        EXPECT_EQ(item->text(0).toStdString(), e.name()) << k;
        EXPECT_EQ(tree()->treeIndex(item), k);
        if (k == 1) continue;
        const auto parent = std::find(list.begin(), list.end(), e.parent());
        ASSERT_NE(parent, list.end());
        EXPECT_EQ(tree()->treeIndex(item->parent()), parent - list.begin() + 1) << k;
    }
    EXPECT_EQ(nodeListDump(),
              "element|r|\nelement|a|\nElement|cap|\ntext|--|1\nnote||\nb||\n"
              "x:element|ns|\nattribute|z|2\n");

    // Clicking a node shows its own element in the panel.
    const char* names[] = {"r", "a", "cap", "", "", "", "ns", "z"};
    for (int k = 1; k <= 8; ++k) {
        clickNode(k);
        EXPECT_EQ(selectedIndex(), k);
        EXPECT_EQ(txtName()->text().toStdString(), names[k - 1]) << k;
    }
}

// The name column of each kind; after a rebuild only the root is expanded.
TEST_F(TreeTest, NodeListNameColumnAndOnlyTheRootExpanded) {
    show("<element name=\"r\"><element name=\"a\"><element name=\"b\"><text/></element></element>"
         "<text DataSource=\"1\"/><comment/><element name=\"\"/><text datasource=\"5\"/>"
         "<cdatasection DataSource=\"\"/></element>");
    EXPECT_EQ(nodeListDump(),
              "element|r|\nelement|a|\nelement|b|\ntext||\n"
              "text|--|1\ncomment||\nelement|--|\ntext|--|\ncdatasection|--|\n");
    EXPECT_EQ(treeDump(),
              "element 1 #0000c0 open selected\n"
              "  element 1 #0000c0\n"
              "    element 1 #0000c0\n"
              "      text 3 #400000\n"
              "  text 3 #400000\n"
              "  comment 3 #808080\n"
              "  element 1 #0000c0\n"
              "  text 3 #400000\n"
              "  cdatasection 3 #008000\n");
}

std::string manyElements(int count) {
    std::string text = "<element>";
    for (int i = 1; i < count; ++i) text += "<text/>";
    return text + "</element>";
}

// Rows are counted in 16 bits: one element more overflows, and the rows listed
// before it stay.
TEST_F(TreeTest, NodeListHoldsUpTo32767Elements) {
    show(manyElements(32767));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(nodeList()->topLevelItemCount(), 32767);
    EXPECT_EQ(tree()->nodeCount(), 32767);

    show(manyElements(32768));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "オーバーフローしました。");
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::Critical);
    EXPECT_EQ(nodeList()->topLevelItemCount(), 32767);
    EXPECT_EQ(nodeList()->topLevelItem(32766)->text(0), "text");

    // Highlighting the last node meets the same limit; the panel shows none.
    clickNode(32768);
    EXPECT_EQ(messages.shown.back().text, "オーバーフローしました。");
    EXPECT_EQ(panel(), "[] off grey / [] off grey");
}

}  // namespace
}  // namespace trelmo::test
