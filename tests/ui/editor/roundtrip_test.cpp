// The whole loop: preview the example CSV, build the example schema through
// the editor's menus and panel, save it, convert with it, open it again.
#include <QTest>

#include "engine/progress.h"
#include "engine/startup/startup.h"
#include "tests/support/temp_dir.h"
#include "tests/support/ui/editor_fixture.h"

namespace trelmo::test {
namespace {

class RoundTripTest : public EditorTest {
protected:
    // Sets the selected node's name and data source (an index into the
    // choices of Combo2, -1 for none) and registers them.
    void apply(const char* name, int choice = -1) {
        if (name) txtName()->setText(QString::fromUtf8(name));
        if (choice >= 0) combo2()->setCurrentIndex(choice);
        clickButton("cmdApply");
    }
    // Builds the shops schema the way a user does and saves it as shops.dsd.
    void buildAndSave() {
        trigger("mnuFileNew");
        ASSERT_EQ(comboItems(), "1,2,3,4,5");  // a new schema offers five numbers
        files.choose(QString::fromStdString((sourceDir() / "examples" / "shops.csv").string()));
        trigger("mnuFileOpenCSV");
        ASSERT_EQ(comboItems(), "1,2,3,4");

        clickNode(1);
        apply("shop");
        trigger("PopMnuAttributeIn");
        apply("id", 0);
        clickNode(1);
        trigger("PopMnuElementIn");
        apply("city");
        trigger("PopMnuTextIn");  // below city, which is selected
        apply(nullptr, 1);
        clickNode(1);
        trigger("PopMnuCDATAIn");
        apply(nullptr, 2);
        clickNode(1);
        trigger("PopMnuCommentIn");
        apply(nullptr, 3);
        text1()->setText("shops");
        txtEncoding()->setText("Shift_JIS");
        ASSERT_TRUE(editor->isModified());

        files.choose(QString::fromStdString(dsd));
        trigger("mnuFileNewSave");
        ASSERT_TRUE(messages.shown.empty()) << lastMessage();
        ASSERT_FALSE(editor->isModified());
    }

    TempDir dir;
    const std::string dsd = dir.file("shops.dsd");
};

const char* const kNodeList =
    "element|shop|\nattribute|id|1\nelement|city|\ntext|--|2\ncdatasection|--|3\ncomment|--|4\n";

TEST_F(RoundTripTest, TheBuiltSchemaConvertsTheExample) {
    buildAndSave();
    EXPECT_EQ(nodeListDump(), kNodeList);
    EXPECT_EQ(readFile(dsd),
              "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n"
              "<element name=\"shop\" encoding=\"Shift_JIS\" root=\"shops\"><attribute name=\"id\" "
              "DataSource=\"1\"/><element name=\"city\"><text DataSource=\"2\"/></element>"
              "<cdatasection DataSource=\"3\"/><comment DataSource=\"4\"/></element>\r\n");

    const std::string csv = (sourceDir() / "examples" / "shops.csv").string();
    const std::string out = dir.file("shops.xml");
    RecordingMessages convertMessages;
    NullProgress progress;
    EXPECT_EQ(Main(JoinArguments({csv, dsd, out}), convertMessages, progress), ExitStatus::Success);
    EXPECT_TRUE(convertMessages.shown.empty());
    EXPECT_EQ(readFile(out), readFile(sourceDir() / "tests/data/convert/shops/expected.xml"));
}

TEST_F(RoundTripTest, TheSavedSchemaOpensAsItWasBuilt) {
    buildAndSave();
    const std::string saved = schemaXml();

    // In a new showing of the editor, as a user would come back to it.
    editor->close();
    ASSERT_FALSE(editor->isVisible());
    editor->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(editor.get()));
    files.choose(QString::fromStdString(dsd));
    trigger("mnuFileOpenDSD");
    EXPECT_TRUE(messages.shown.empty()) << lastMessage();
    EXPECT_EQ(treeDump(),
              "element 1 #0000c0 open selected\n"
              "  attribute 5 #ff8000\n"
              "  element 1 #0000c0\n"
              "    text 3 #400000\n"
              "  cdatasection 3 #008000\n"
              "  comment 3 #808080\n");
    EXPECT_EQ(nodeListDump(), kNodeList);
    EXPECT_EQ(editor->schemaNodeList().size(), 6u);
    EXPECT_EQ(text1()->text(), "shops");
    EXPECT_EQ(txtEncoding()->text(), "Shift_JIS");
    EXPECT_EQ(schemaXml(), saved);
    EXPECT_FALSE(editor->isModified());

    // Saved again unchanged, the file is the same.
    const std::string before = readFile(dsd);
    files.choose(QString::fromStdString(dir.file("again.dsd")));
    trigger("mnuFileNewSave");
    EXPECT_EQ(readFile(dir.path() / "again.dsd"), before);
}

}  // namespace
}  // namespace trelmo::test
