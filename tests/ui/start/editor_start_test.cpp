// trelmo-edit's editor: shown by itself with the file given opened, and the
// program's end once it closes.

#include <gtest/gtest.h>

#include <QTimer>
#include <sys/stat.h>

#include "tests/support/recording_messages.h"
#include "tests/support/temp_dir.h"
#include "tests/support/ui/qt_app.h"
#include "tests/support/ui/recording_cursor.h"
#include "tests/support/ui/scripted_file_dialog.h"
#include "ui/start/editor_start.h"

namespace trelmo::test {
namespace {

class EditorStartTest : public ::testing::Test {
protected:
    EditorStartTest() { qtApp(); }

    RecordingMessages messages;
    ScriptedFileDialog files;
    RecordingCursor cursor;
    ui::UiServices services{messages, files, cursor};
    TempDir dir;
};

TEST_F(EditorStartTest, OpensTheFileGivenAsTheOpenCommandDoes) {
    const std::string fifo = dir.file("fifo.dsd");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string name = dir.write("店 一覧.dsd", "<element name=\"shop\" root=\"shops\"><text DataSource=\"1\"/></element>");
    const struct {
        std::string file;
        int nodes;       // the node list afterwards
        bool messages;   // the open's own messages came up
    } cases[] = {
        {std::string(), 0, false},
        {name, 2, false},
        {dir.file("missing.dsd"), 0, true},
        // A name in Shift_JIS bytes (会員.dsd), as the command line gives it, opens.
        {dir.write("\x89\xef\x88\xf5.dsd", "<element><text DataSource=\"1\"/></element>"), 2, false},
        // A FIFO is refused at once rather than waited on for a writer.
        {fifo, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        messages.shown.clear();
        const auto editor = ui::showSchemaEditor(services, c.file);
        EXPECT_TRUE(editor->isVisible());
        EXPECT_EQ(editor->parentWidget(), nullptr);
        EXPECT_EQ(editor->schemaNodeList().size(), static_cast<std::size_t>(c.nodes));
        EXPECT_FALSE(editor->isModified());
        EXPECT_EQ(messages.shown.empty(), !c.messages);
        EXPECT_TRUE(files.shown.empty());
    }
}

TEST_F(EditorStartTest, ClosingTheEditorEndsTheEventLoop) {
    const auto editor = ui::showSchemaEditor(services, std::string());
    QTimer::singleShot(0, editor.get(), [&] { editor->close(); });
    // Should the editor not end it, the loop ends with another status.
    QTimer fallback;
    fallback.setSingleShot(true);
    QObject::connect(&fallback, &QTimer::timeout, [] { QCoreApplication::exit(2); });
    fallback.start(30000);
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_FALSE(editor->isVisible());
}

}  // namespace
}  // namespace trelmo::test
