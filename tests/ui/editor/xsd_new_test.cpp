// "XSDから新規作成" through the real window with the recipient XSD, the
// dialog's キャンセル and the questions before, and "列を名前で割り当て".
#include <QPushButton>
#include <QTest>
#include <QUndoStack>

#include "engine/xsd/bind_by_name.h"
#include "tests/support/temp_dir.h"
#include "tests/support/ui/editor_fixture.h"
#include "ui/editor/schema_document.h"
#include "ui/editor/xsd_new_dialog.h"

namespace trelmo::test {
namespace {

class XsdNewTest : public EditorTest {
protected:
    XsdNewTest() {
        const auto fixture = sourceDir() / "tests/data/xsd/recipient";
        std::filesystem::create_directories(dir.path() / "common");
        for (const char* name : {"recipient.xsd", "common/codes.xsd", "recipients.csv"})
            writeFile(dir.path() / name, readFile(fixture / name));
        expected = readFile(fixture / "expected.dsd");
        std::erase_if(expected, [](char c) { return c == '\n' || c == '\r'; });
    }
    // ファイル → XSDから新規作成 → the recipient XSD; the dialog it opened, or null.
    ui::XsdNewDialog* openDialog(bool chooseFile = true) {
        if (chooseFile) files.choose(QString::fromStdString(dir.file("recipient.xsd")));
        trigger("mnuFileNewFromXsd");
        return editor->findChild<ui::XsdNewDialog*>();
    }
    void close(ui::XsdNewDialog* dialog, Qt::Key key) {
        if (key == Qt::Key_Escape)
            dialog->findChild<QPushButton*>("cmdCancel")->click();
        else
            QTest::keyClick(dialog->findChild<QWidget*>("tvwXsdTree"), key);
        QTest::qWait(0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    std::string row(int index) const {
        const QTreeWidgetItem* item = nodeList()->topLevelItem(index);
        return (item->text(1) + "|" + item->text(3) + "|" + item->text(4)).toStdString();
    }

    TempDir dir;
    std::string expected;
};

TEST_F(XsdNewTest, EnterBuildsTheSchemaAndSavingNamesTheXsdBesideIt) {
    ui::XsdNewDialog* dialog = openDialog();
    ASSERT_NE(dialog, nullptr) << lastMessage();
    EXPECT_EQ(files.shown.back().settings.title, QString::fromUtf8("XSDを選択"));
    EXPECT_EQ(dialog->root().name, "RCP00000");
    ASSERT_NE(dialog->record(), nullptr);
    EXPECT_EQ(dialog->record()->name, "RCP00010");
    close(dialog, Qt::Key_Return);

    std::string unsaved = expected;
    unsaved.replace(unsaved.find("\"recipient.xsd\""), 15, "\"" + dir.file("recipient.xsd") + "\"");
    EXPECT_EQ(schemaXml(), unsaved);
    EXPECT_TRUE(editor->isModified());
    EXPECT_EQ(text1()->text().toStdString(), "RCP00000");
    EXPECT_EQ(row(1), "AAA00001|必須|区分");
    EXPECT_EQ(row(4), "AAA00020|必須|氏名");
    EXPECT_EQ(row(6), "AAA00030||フリガナ");

    // The save check wants every leaf bound: the recipient CSV's names first.
    files.choose(QString::fromStdString(dir.file("recipients.csv")));
    trigger("mnuFileOpenCSV");
    editor->document().setSetting(ui::Setting::HeaderRows, "1");
    trigger("PopMnuBindByName");
    files.choose(QString::fromStdString(dir.file("recipients.dsd")));
    trigger("mnuFileNewSave");
    EXPECT_FALSE(editor->isModified()) << lastMessage();
    const std::string saved = readFile(dir.path() / "recipients.dsd");
    EXPECT_NE(saved.find("xsd=\"recipient.xsd\""), std::string::npos) << saved;
    EXPECT_EQ(editor->document().xsdPath(), "recipient.xsd");
}

// Each way out before OK: the schema, its history and Modified stay.
TEST_F(XsdNewTest, CancelLeavesEverythingAsItWas) {
    const struct {
        const char* what;
        bool modified;
        bool cancelFile;
    } cases[] = {{"the file dialog", false, true}, {"キャンセル", false, false}, {"the save question", true, false}};
    for (const auto& c : cases) {
        show("<element name=\"r\"><text DataSource=\"1\"/></element>");
        if (c.modified) {
            editor->document().setSetting(ui::Setting::HeaderRows, "1");
            messages.answerNext(MsgAnswer::Cancel);
        }
        const std::string before = schemaXml();
        const int steps = editor->document().history().count();
        if (c.cancelFile) files.cancel();
        if (ui::XsdNewDialog* dialog = openDialog(!c.cancelFile)) close(dialog, Qt::Key_Escape);
        EXPECT_EQ(schemaXml(), before) << c.what;
        EXPECT_EQ(editor->isModified(), c.modified) << c.what;
        EXPECT_EQ(editor->document().history().count(), steps) << c.what;
        EXPECT_EQ(editor->findChild<ui::XsdNewDialog*>(), nullptr) << c.what;
    }
}

TEST_F(XsdNewTest, BindingByNameTakesNamesAndLabelsOfTheHeaderLine) {
    close(openDialog(), Qt::Key_Return);
    const std::string unbound = schemaXml();
    const auto preview = [&](const char* header) {
        std::string csv = readFile(dir.path() / "recipients.csv");
        files.choose(QString::fromStdString(dir.write("in.csv", header + csv.substr(csv.find('\n')))));
        trigger("mnuFileOpenCSV");
    };
    preview("AAA00001,AAA00010,氏名,フリガナ,AAA00040");
    trigger("PopMnuBindByName");
    EXPECT_EQ(lastMessage(), xsd::kBindNeedsHeader);
    EXPECT_EQ(schemaXml(), unbound);

    editor->document().setSetting(ui::Setting::HeaderRows, "1");
    const struct {
        const char* header;
        const char* report;
        const char* bound;
    } cases[] = {{"AAA00001,AAA00010,氏名,フリガナ,AAA00040", "5 個のノードに列を割り当てました。",
                  "1,2,3,4,5"},
                 {" 区分 ,x,AAA00010,AAA00030", "3 個のノードに列を割り当てました。\r\n\r\n列が見つからない必須のノード:"
                  "\r\n  AAA00020「氏名」\r\n  AAA00040「郵便番号」", "1,3,,4,"}};
    for (const auto& c : cases) {
        preview(c.header);
        const std::string before = schemaXml();
        trigger("PopMnuBindByName");
        EXPECT_EQ(lastMessage(), c.report);
        std::string bound;
        for (int leaf : {1, 3, 5, 7, 9})  // the attribute and the texts of the first four elements
            bound += (leaf > 1 ? "," : "") + nodeList()->topLevelItem(leaf)->text(2).toStdString();
        EXPECT_EQ(bound, c.bound) << c.header;
        trigger("mnuEditUndo");
        EXPECT_EQ(schemaXml(), before) << c.header;
    }
}

}  // namespace
}  // namespace trelmo::test
