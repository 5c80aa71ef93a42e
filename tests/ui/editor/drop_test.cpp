// Files dropped onto the editor, as a file manager sends them: text/uri-list
// with file URLs.
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include "tests/support/temp_dir.h"
#include "tests/support/ui/editor_fixture.h"
#include "tests/support/ui/send_drop.h"

namespace trelmo::test {
namespace {

const char* const kNotOpened =
    "開けないファイルです（このコンピューターにあるスキーマ(*.dsd)とCSV(*.csv)だけを開けます）：";

class DropTest : public EditorTest {
protected:
    // Drags the URLs onto the widget at its centre and drops them; whether
    // the drag was accepted.
    bool drop(QWidget* onto, const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        data.setText(urls.isEmpty() ? QString() : urls.front().toString());
        return sendDrop(onto, data);
    }
    QUrl file(const char* name, std::string_view bytes) {
        return QUrl::fromLocalFile(QString::fromStdString(dir.write(name, bytes)));
    }
    TempDir dir;
};

TEST_F(DropTest, SchemasOpenAndCsvFilesArePreviewed) {
    const QUrl schema = file("スキーマ 1.dsd", "<element name=\"r\" root=\"out\"><text DataSource=\"1\"/></element>");
    const QUrl csv = file("データ 1.CSV", "a,b\r\n");
    for (QWidget* onto : {static_cast<QWidget*>(editor.get()), static_cast<QWidget*>(txtName()),
                          static_cast<QWidget*>(text1())}) {
        SCOPED_TRACE(onto->objectName().toStdString());
        messages.answerNext(MsgAnswer::No);  // changes from the round before are dropped
        ASSERT_TRUE(drop(onto, {schema, csv}));
        EXPECT_EQ(nodeListDump(), "element|r|\ntext|--|1\n");
        EXPECT_EQ(previewDump(), "1|2\na|b\n");
        EXPECT_EQ(text1()->text(), "out");
        EXPECT_EQ(txtName()->text(), "r");  // not the file's name
        trigger("mnuFileNew");
    }
    EXPECT_EQ(messages.texts(), std::vector<std::string>(2, kSaveQuestion));
}

// With unsaved changes the question comes first, as for the menu command.
TEST_F(DropTest, UnsavedChangesAreAskedAbout) {
    trigger("mnuFileNew");
    messages.answerNext(MsgAnswer::Cancel);
    ASSERT_TRUE(drop(editor.get(), {file("s.dsd", "<element name=\"other\"/>")}));
    EXPECT_EQ(messages.texts(), std::vector<std::string>{kSaveQuestion});
    EXPECT_EQ(nodeListDump(), "element|element|\n");
}

TEST_F(DropTest, AnythingElseIsRefusedByName) {
    const QUrl text = file("memo.txt", "x");
    const QUrl remote("https://example.org/s.dsd");
    ASSERT_TRUE(drop(editor.get(), {text, remote}));
    EXPECT_EQ(messages.texts(),
              std::vector<std::string>{std::string(kNotOpened) + "\r\n" +
                                       text.toLocalFile().toStdString() + "\r\n" +
                                       remote.toString().toStdString()});
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::Exclamation);
    EXPECT_FALSE(editor->schemaDoc().has_value());

    QMimeData plain;
    plain.setText("not a file");
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &plain, Qt::LeftButton, {});
    QCoreApplication::sendEvent(editor.get(), &enter);
    EXPECT_FALSE(enter.isAccepted());
}

}  // namespace
}  // namespace trelmo::test
