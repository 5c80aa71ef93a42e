// Saving: the save dialog, the file written, Modified, and the failures that
// must leave files and state alone.
#include <QPushButton>
#include <QTest>
#include <cerrno>

#include "tests/support/io_faults.h"
#include "tests/support/temp_dir.h"
#include "tests/support/ui/editor_fixture.h"

namespace trelmo::test {
namespace {

const char* const kShops =
    "<element name=\"shop\"><attribute name=\"id\" DataSource=\"1\"/>"
    "<element name=\"city\"><text DataSource=\"2\"/></element></element>";

class SaveTest : public EditorTest {
protected:
    // A changed schema that passes the check.
    void changedSchema() {
        trigger("mnuFileNew");
        show(kShops);
        text1()->setText("shops");
        ASSERT_TRUE(editor->isModified());
        messages.shown.clear();
    }
    QString path(const char* name) const { return QString::fromStdString(dir.file(name)); }
    TempDir dir;
};

TEST_F(SaveTest, TheSaveDialog) {
    changedSchema();
    trigger("mnuFileNewSave");
    expectOneDialog(ui::FileDialogMode::Save, "保存",
                    "DataSourceDefinition(*.dsd)|*.dsd|すべてのﾌｧｲﾙ (*.*)|*.*", "dsd",
                    ui::dlgflags::OverwritePrompt);
    // Cancelled: silent, nothing written, still changed.
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(editor->isModified());
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

// 上書き保存 writes back to the file the schema came from, after the check
// and without a dialog; a new schema asks for a name.
TEST_F(SaveTest, CtrlSWritesBackToTheFileOpened) {
    const std::string file = dir.write("s.dsd", std::string("<element name=\"shop\" root=\"out\">") +
                                                    "<text DataSource=\"1\"/></element>");
    editor->openSchemaFile(QString::fromStdString(file));
    type(txtEncoding(), "UTF-8");
    ctrlKey(Qt::Key_S);
    EXPECT_TRUE(files.shown.empty());
    EXPECT_FALSE(editor->isModified()) << lastMessage();
    EXPECT_NE(readFile(file).find("encoding=\"UTF-8\""), std::string::npos);
    trigger("mnuFileNew");
    ctrlKey(Qt::Key_S);
    ASSERT_EQ(files.shown.size(), 1u);
    EXPECT_EQ(files.shown[0].mode, ui::FileDialogMode::Save);
}

TEST_F(SaveTest, WritesTheSchemaAndClearsModified) {
    changedSchema();
    txtEncoding()->setText("Shift_JIS");
    files.choose(path("shops"));  // the default extension is added
    trigger("mnuFileNewSave");
    EXPECT_TRUE(messages.shown.empty()) << lastMessage();
    EXPECT_FALSE(editor->isModified());
    EXPECT_EQ(readFile(dir.path() / "shops.dsd"),
              "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n"
              "<element name=\"shop\" encoding=\"Shift_JIS\" root=\"shops\"><attribute name=\"id\" "
              "DataSource=\"1\"/><element name=\"city\"><text DataSource=\"2\"/></element></element>\r\n");

    // Every save asks for the name again; the file is replaced.
    text1()->setText("stores");
    files.choose(path("shops.dsd"));
    control<QPushButton>("cmdSave")->click();
    EXPECT_EQ(files.shown.size(), 2u);
    EXPECT_EQ(files.shown[1].settings.fileName, "");
    EXPECT_NE(readFile(dir.path() / "shops.dsd").find("root=\"stores\""), std::string::npos);
}

TEST_F(SaveTest, ANewSchemaSavedAtOnce) {
    trigger("mnuFileNew");
    files.choose(path("new.dsd"));
    trigger("mnuFileNewSave");  // the question about unbound data sources answered with OK
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(readFile(dir.path() / "new.dsd"),
              "<?xml version=\"1.0\"?>\r\n<element name=\"element\" root=\"RootNode\"/>\r\n");
    EXPECT_FALSE(editor->isModified());
}

TEST_F(SaveTest, ADialogFailureIsToldPlainly) {
    changedSchema();
    files.fail(32003, "ファイル名が長すぎます。");
    trigger("mnuFileNewSave");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "ファイル名が長すぎます。");
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::None);
    EXPECT_TRUE(editor->isModified());
}

// A missing folder or a folder in the way fails the write: told plainly, no
// file or temporary file left, and the schema still counts as changed.
TEST_F(SaveTest, AFailedWriteIsToldAndKeepsModified) {
    changedSchema();
    std::filesystem::create_directory(dir.path() / "folder.dsd");
    for (const char* name : {"missing/s.dsd", "folder.dsd"}) {
        SCOPED_TRACE(name);
        messages.shown.clear();
        files.choose(path(name));
        trigger("mnuFileNewSave");
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_NE(messages.shown[0].text.find(name), std::string::npos) << messages.shown[0].text;
        EXPECT_EQ(messages.shown[0].buttons, MsgButtons::Ok);
        EXPECT_EQ(messages.shown[0].icon, MsgIcon::None);
        EXPECT_TRUE(editor->isModified());
    }
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "folder.dsd"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1);
}

// Each file operation of the save, made to fail in turn: the message, the old
// file as it was, Modified kept, no temporary file; the run without a failure
// writes the schema.
TEST_F(SaveTest, EachFailingFileOperationKeepsTheOldFile) {
    changedSchema();
    const std::string old = dir.file("s.dsd");
    const FaultSweep sweep = eachFailingOperation([&](unsigned long n) {
        SCOPED_TRACE(n);
        writeFile(old, "old schema");
        const bool modified = editor->isModified();
        messages.shown.clear();
        files.choose(QString::fromStdString(old));
        trigger("mnuFileNewSave");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                                std::filesystem::directory_iterator()),
                  1);
        if (messages.shown.empty()) {
            EXPECT_FALSE(editor->isModified());
            EXPECT_NE(readFile(old).find("root=\"shops\""), std::string::npos) << readFile(old);
            return true;
        }
        EXPECT_NE(messages.shown[0].text.find(std::string("入出力エラーが発生しました。")), std::string::npos) << messages.shown[0].text;
        EXPECT_NE(messages.shown[0].text.find(old), std::string::npos) << messages.shown[0].text;
        EXPECT_EQ(readFile(old), "old schema");
        EXPECT_EQ(editor->isModified(), modified);
        return false;
    });
    for (unsigned long n : sweep.succeededDespite) EXPECT_GT(n + 3, sweep.operations) << n;
}

TEST_F(SaveTest, ASavedSchemaOpenedAgainIsClean) {
    changedSchema();
    files.choose(path("s.dsd"));
    trigger("mnuFileNewSave");
    files.choose(path("s.dsd"));
    trigger("mnuFileOpenDSD");
    EXPECT_FALSE(editor->isModified());
    editor->close();
    EXPECT_FALSE(editor->isVisible());
    EXPECT_TRUE(messages.shown.empty()) << lastMessage();
}

}  // namespace
}  // namespace trelmo::test
