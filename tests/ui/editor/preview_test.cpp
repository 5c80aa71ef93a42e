// The CSV preview: the dialog, the table and the data-source choices after
// each outcome.
#include <QSignalSpy>

#include "tests/support/temp_dir.h"
#include "tests/support/ui/editor_fixture.h"
#include "ui/editor/preview_model.h"

namespace trelmo::test {
namespace {

class PreviewTest : public EditorTest {
protected:
    // Previews a file with these bytes through the menu.
    void previewFile(std::string_view bytes, const char* name = "in.csv") {
        files.choose(QString::fromStdString(dir.write(name, bytes)));
        trigger("mnuFileOpenCSV");
    }
    TempDir dir;
};

TEST_F(PreviewTest, TheOpenDialog) {
    trigger("mnuFileOpenCSV");
    ASSERT_EQ(files.shown.size(), 1u);
    const ui::FileDialogSettings& s = files.shown[0].settings;
    EXPECT_EQ(files.shown[0].mode, ui::FileDialogMode::Open);
    EXPECT_EQ(s.title, QString::fromUtf8("CSVを選択してください"));
    EXPECT_EQ(s.fileName, "");
    EXPECT_EQ(s.filter, QString::fromUtf8("CSVファイル(*.csv)|*.csv|すべてのﾌｧｲﾙ (*.*)|*.*"));
    EXPECT_EQ(s.defaultExt, "csv");
    EXPECT_EQ(s.flags, 5124);
    EXPECT_TRUE(s.cancelError);
}

TEST_F(PreviewTest, ColumnsFollowTheFirstRecord) {
    trigger("mnuFileNew");
    previewFile("a,b,c\r\nd,e\r\n");
    EXPECT_EQ(previewDump(), "1|2|3\na|b|c\nd|e|\n");
    EXPECT_EQ(comboItems(), "1,2,3");
    EXPECT_EQ(combo2()->currentText(), "");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(PreviewTest, QuotedFieldsShowWithoutTheirQuotes) {
    previewFile("1,\"Kobe, Hyogo\",a&b,x\r\n2,\"two\r\nlines\",c,y\r\n3,\"a\"\"b\",,\r\n");
    EXPECT_EQ(previewDump(), "1|2|3|4\n1|Kobe, Hyogo|a&b|x\n2|two\r\nlines|c|y\n3|a\"\"b||\n");
    EXPECT_EQ(comboItems(), "1,2,3,4");
}

TEST_F(PreviewTest, ARecordLongerThanTheFirstEndsTheList) {
    previewFile("a,b\r\nc,d\r\ne,f,g\r\nh,i\r\n");
    EXPECT_EQ(previewDump(), "1|2\na|b\nc|d\n");
    EXPECT_EQ(comboItems(), "1,2");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(PreviewTest, AnEmptyFileListsNothing) {
    previewFile("a,b,c\r\n");
    ASSERT_EQ(comboItems(), "1,2,3");
    previewFile("");
    EXPECT_EQ(previewDump(), "\n");
    EXPECT_EQ(comboItems(), "");
    EXPECT_TRUE(messages.shown.empty());
    // Single fields only make no record either.
    previewFile("a\r\nb\r\n");
    EXPECT_EQ(previewDump(), "\n");
}

TEST_F(PreviewTest, OneRecordIsShown) {
    previewFile("x,y");
    EXPECT_EQ(previewDump(), "1|2\nx|y\n");
    EXPECT_EQ(comboItems(), "1,2");
}

TEST_F(PreviewTest, CancelKeepsTheEarlierNumbers) {
    previewFile("a,b,c\r\n");
    trigger("mnuFileOpenCSV");
    EXPECT_EQ(previewDump(), "\n");
    EXPECT_EQ(comboItems(), "1,2,3");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(PreviewTest, AFileThatCannotBeReadListsNothing) {
    previewFile("a,b,c\r\n");
    std::filesystem::create_directory(dir.path() / "folder.csv");
    for (const char* name : {"missing.csv", "folder.csv"}) {
        SCOPED_TRACE(name);
        files.choose(QString::fromStdString(dir.file(name)));
        trigger("mnuFileOpenCSV");
        EXPECT_EQ(previewDump(), "\n");
        EXPECT_EQ(comboItems(), "");
        EXPECT_TRUE(messages.shown.empty()) << lastMessage();
    }
}

TEST_F(PreviewTest, ADialogFailureIsToldPlainly) {
    previewFile("a,b\r\n");
    files.fail(32002, "ダイアログを開けません。");
    trigger("mnuFileOpenCSV");
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"ダイアログを開けません。"});
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::None);
    EXPECT_EQ(previewDump(), "\n");
    EXPECT_EQ(comboItems(), "1,2");
}

TEST_F(PreviewTest, ANameWithoutExtensionGetsCsv) {
    dir.write("data.csv", "p,q\r\n");
    files.choose(QString::fromStdString(dir.file("data")));
    trigger("mnuFileOpenCSV");
    EXPECT_EQ(previewDump(), "1|2\np|q\n");
}

TEST_F(PreviewTest, TheViewsSeeOneResetForTheWholeFile) {
    std::string bytes;
    for (int r = 0; r < 1000; ++r) bytes += std::to_string(r) + ",a,b\r\n";
    QSignalSpy reset(preview(), &QAbstractItemModel::modelReset);
    QSignalSpy inserted(preview(), &QAbstractItemModel::rowsInserted);
    previewFile(bytes);
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(inserted.count(), 0);
    EXPECT_EQ(preview()->rowCount(), 1000);
    EXPECT_EQ(preview()->cell(999, 0), "999");
}

TEST_F(PreviewTest, ShiftJisFileShowsItsText) {
    previewFile("\x8E\x73,\x87\x40\r\n");  // "市,①" in code page 932
    EXPECT_EQ(previewDump(), "1|2\n市|①\n");
}

TEST_F(PreviewTest, TheSchemaAndThePreviewLeaveEachOtherAlone) {
    trigger("mnuFileNew");
    previewFile("a,b\r\n");
    files.choose(QString::fromStdString(dir.write("s.dsd", "<element name=\"r\"/>")));
    messages.answerNext(MsgAnswer::No);  // drop the new schema
    trigger("mnuFileOpenDSD");
    EXPECT_EQ(previewDump(), "1|2\na|b\n");
    EXPECT_EQ(comboItems(), "1,2");

    // A new schema empties the preview and offers five numbers again.
    trigger("mnuFileNew");
    EXPECT_EQ(previewDump(), "\n");
    EXPECT_EQ(comboItems(), "1,2,3,4,5");
}

}  // namespace
}  // namespace trelmo::test
