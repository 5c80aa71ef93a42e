// The CSV preview: the dialog, the table and the data-source choices after
// each outcome.
#include <QSignalSpy>

#include "tests/support/temp_dir.h"
#include "tests/support/ui/editor_fixture.h"
#include "ui/editor/preview_model.h"

namespace trelmo::test {
namespace {

const std::string kNoRecord = "有効なデータ(CSV)がありません。";

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
    expectOneDialog(ui::FileDialogMode::Open, "CSVを選択してください",
                    "CSVファイル(*.csv)|*.csv|すべてのﾌｧｲﾙ (*.*)|*.*", "csv", 5124);
}

// Each file replaces what an earlier one showed: the columns follow the
// widest record, and every record shows.
TEST_F(PreviewTest, TheTableAndTheNumbersFollowTheFile) {
    struct Case {
        const char* bytes;
        const char* dump;
        const char* numbers;
        std::string message = {};  // why the table is empty
    };
    const Case cases[] = {
        {"a,b,c\r\nd,e\r\n", "1|2|3\na|b|c\nd|e|\n", "1,2,3"},
        {"1,\"Kobe, Hyogo\",a&b,x\r\n2,\"two\r\nlines\",c,y\r\n3,\"a\"\"b\",,\r\n",
         "1|2|3|4\n1|Kobe, Hyogo|a&b|x\n2|two\r\nlines|c|y\n3|a\"\"b||\n", "1,2,3,4"},
        {"a,b\r\nc,d\r\ne,f,g\r\nh,i\r\n", "1|2|3\na|b|\nc|d|\ne|f|g\nh|i|\n", "1,2,3"},
        {"x,y", "1|2\nx|y\n", "1,2"},                     // one record, no line break
        {"\x8E\x73,\x87\x40\r\n", "1|2\n市|①\n", "1,2"},  // "市,①" in code page 932
        {"", "\n", "", kNoRecord},
        {"a\r\nb\r\n", "\n", "", kNoRecord},  // single fields make no record
        {"a,b\r\nc,\x81\x7f\r\n", "\n", "",
         "ファイルの 2 行目に Shift_JIS (CP932) として読めない文字があります (先頭から 8 バイト目): "},
    };
    trigger("mnuFileNew");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dump);
        previewFile("p,q,r,s,t\r\n");
        previewFile(c.bytes);
        EXPECT_EQ(previewDump(), c.dump);
        EXPECT_EQ(comboItems(), c.numbers);
        EXPECT_EQ(combo2()->currentText(), "");
        EXPECT_EQ(lastMessage().substr(0, c.message.size()), c.message);
        EXPECT_EQ(messages.shown.size(), c.message.empty() ? 0u : 1u);
        messages.shown.clear();
    }
}

// A cancelled or failed dialog empties the table but keeps the earlier numbers;
// only the failure is told, plainly.
TEST_F(PreviewTest, NoFileKeepsTheEarlierNumbers) {
    for (const bool fails : {false, true}) {
        SCOPED_TRACE(fails);
        messages.shown.clear();
        previewFile("a,b,c\r\n");
        if (fails) files.fail(32002, "ダイアログを開けません。");
        trigger("mnuFileOpenCSV");
        EXPECT_EQ(previewDump(), "\n");
        EXPECT_EQ(comboItems(), "1,2,3");
        if (!fails) {
            EXPECT_TRUE(messages.shown.empty());
            continue;
        }
        EXPECT_EQ(messages.texts(), std::vector<std::string>{"ダイアログを開けません。"});
        EXPECT_EQ(messages.shown[0].icon, MsgIcon::None);
    }
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
        ASSERT_EQ(messages.shown.size(), 1u);  // the reader's reason, naming the file
        EXPECT_NE(lastMessage().find(name), std::string::npos) << lastMessage();
        messages.shown.clear();
    }
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
