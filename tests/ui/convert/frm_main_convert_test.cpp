// One conversion in the window: the required paths, the engine's road with
// its status texts, messages and pointer, and clicks while it yields.

#include <QCoreApplication>
#include <QMouseEvent>
#include <sstream>

#include "engine/startup/console.h"
#include "engine/startup/startup.h"
#include "tests/ui/convert/frm_main_fixture.h"

namespace trelmo::test {
namespace {

using ConvertTest = FrmMainTest;

const char* const kSchema =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<element name=\"row\" root=\"rows\" encoding=\"UTF-8\">"
    "<attribute name=\"id\" DataSource=\"1\"/><text DataSource=\"2\"/></element>\n";
const char* const kCsv = "1,東京\r\n2,\"大阪, 北\"\r\n3,<&>\r\n";
const char* const kExpectedXml =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    "<rows><row id=\"1\">東京</row><row id=\"2\">大阪, 北</row><row id=\"3\">&lt;&amp;&gt;</row></rows>\r\n";

Message msg(const char* text, MsgIcon icon) { return {text, MsgButtons::Ok, icon, 0}; }

void expectMessages(const std::vector<Message>& shown, const std::vector<Message>& expected) {
    ASSERT_EQ(shown.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(shown[i].text, expected[i].text);
        EXPECT_EQ(shown[i].icon, expected[i].icon);
        EXPECT_EQ(shown[i].buttons, MsgButtons::Ok);
    }
}

TEST_F(ConvertTest, AllPathsEmptyAsksForTheCsvOnly) {
    click("cmdDoConvert");
    expectMessages(messages.shown, {msg("CSVが選択されていません。", MsgIcon::Exclamation)});
    ASSERT_EQ(files.shown.size(), 1u);
    EXPECT_EQ(files.shown[0].settings.title, QString::fromUtf8("CSVを開く"));
    EXPECT_EQ(files.shown[0].settings.flags, ui::dlgflags::FileMustExist | ui::dlgflags::HideReadOnly);
    EXPECT_TRUE(box("Text1")->text().isEmpty());
    EXPECT_TRUE(status().isEmpty());
    EXPECT_TRUE(cursor.changes.empty());
}

TEST_F(ConvertTest, MissingSchemaThenDestinationAreAskedForInTurn) {
    box("Text1")->setText("in.csv");
    files.choose("/data/s.dsd");
    click("cmdDoConvert");
    expectMessages(messages.shown, {msg("スキーマが選択されていません。", MsgIcon::Exclamation)});
    ASSERT_EQ(files.shown.size(), 1u);
    EXPECT_EQ(files.shown[0].settings.title, QString::fromUtf8("開く"));
    EXPECT_EQ(box("Text2")->text(), "/data/s.dsd");

    files.choose("/data/out");
    click("cmdDoConvert");
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[1].text, "保存先が選択されていません。");
    EXPECT_EQ(messages.shown[1].icon, MsgIcon::Exclamation);
    ASSERT_EQ(files.shown.size(), 2u);
    EXPECT_EQ(files.shown[1].mode, ui::FileDialogMode::Save);
    EXPECT_EQ(box("Text3")->text(), "/data/out.xml");
    // A chosen path is not converted at once.
    EXPECT_TRUE(status().isEmpty());
    EXPECT_TRUE(cursor.changes.empty());
}

TEST_F(ConvertTest, ConvertsWritesTheFileAndSaysSo) {
    const std::string out = dir.file("out.xml");
    setPaths(dir.write("in.csv", kCsv), dir.write("s.dsd", kSchema), out);
    click("cmdDoConvert");
    expectMessages(messages.shown, {msg("変換されました。", MsgIcon::Information)});
    EXPECT_EQ(status(), "Finish");
    ASSERT_TRUE(fileExists(out));
    EXPECT_EQ(readFile(out), kExpectedXml);
    EXPECT_EQ(bar()->minimum(), 0);
    EXPECT_EQ(bar()->maximum(), 2);
    EXPECT_EQ(bar()->value(), 2);
    EXPECT_EQ(cursor.changes, (std::vector<bool>{true, false}));

    // The command line writes the same bytes.
    std::ostringstream err;
    StreamMessages console(err);
    NullProgress none;
    const std::string again = dir.file("again.xml");
    Main(JoinArguments({dir.file("in.csv"), dir.file("s.dsd"), again}), console, none);
    EXPECT_EQ(readFile(again), readFile(out));
}

TEST_F(ConvertTest, SchemaThatIsNotXmlIsRefusedAndTheStatusKept) {
    const std::string out = dir.file("out.xml");
    setPaths(dir.write("in.csv", kCsv), dir.write("s.dsd", kSchema), out);
    click("cmdDoConvert");
    ASSERT_EQ(status(), "Finish");
    messages.shown.clear();
    cursor.changes.clear();

    // The CSV is not read: it does not even exist.
    const std::string second = dir.file("second.xml");
    setPaths(dir.file("missing.csv"), dir.write("bad.dsd", "this is <not xml"), second);
    click("cmdDoConvert");
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_FALSE(messages.shown[0].text.empty()) << "the parser's detail";
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(messages.shown[1].text, "スキーマファイルの読み込みに失敗しました。");
    EXPECT_EQ(messages.shown[1].icon, MsgIcon::Critical);
    EXPECT_EQ(status(), "Finish");
    EXPECT_FALSE(fileExists(second));
    EXPECT_EQ(cursor.changes, (std::vector<bool>{true, false}));
}

TEST_F(ConvertTest, CsvWithOneRecordIsRefused) {
    const std::string out = dir.file("out.xml");
    setPaths(dir.write("in.csv", "1,a\r\n"), dir.write("s.dsd", kSchema), out);
    click("cmdDoConvert");
    expectMessages(messages.shown, {msg("有効なデータ(CSV)がありません。", MsgIcon::Exclamation)});
    EXPECT_EQ(status(), "DSD has loaded.");
    EXPECT_FALSE(fileExists(out));
    EXPECT_FALSE(cursor.wait);
}

TEST_F(ConvertTest, SaveIntoAMissingFolderShowsTheErrorAndKeepsTheStage) {
    const std::string out = dir.file("no-such-folder/out.xml");
    setPaths(dir.write("in.csv", kCsv), dir.write("s.dsd", kSchema), out);
    click("cmdDoConvert");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::None);
    EXPECT_NE(messages.shown[0].text.find("out.xml"), std::string::npos) << messages.shown[0].text;
    EXPECT_EQ(status(), "Saving XML...");
    EXPECT_FALSE(fileExists(out));
    EXPECT_FALSE(cursor.wait);
    EXPECT_EQ(cursor.changes, (std::vector<bool>{true, false}));
}

// A path of blanks is not missing: it fails when its file is opened, shown
// so that its blanks can be seen, and nothing is written.
TEST_F(ConvertTest, PathOfBlanksFailsWhenOpened) {
    const std::string csv = dir.write("in.csv", kCsv);
    const std::string dsd = dir.write("s.dsd", kSchema);
    const struct {
        std::string csv, dsd, xml;
        const char* stage;
    } cases[] = {
        {"   ", dsd, dir.file("out.xml"), "DSD has loaded."},
        {csv, "   ", dir.file("out.xml"), ""},
        {csv, dsd, "   ", "Saving XML..."},
    };
    for (const auto& c : cases) {
        messages.shown.clear();
        control<QLabel>("Label4")->clear();
        setPaths(c.csv, c.dsd, c.xml);
        click("cmdDoConvert");
        ASSERT_FALSE(messages.shown.empty());
        EXPECT_NE(messages.shown[0].text.find("「   」"), std::string::npos) << messages.shown[0].text;
        EXPECT_EQ(status(), c.stage);
        EXPECT_FALSE(cursor.wait);
        EXPECT_FALSE(fileExists("   "));
        EXPECT_FALSE(fileExists(dir.file("out.xml")));
    }
}

void postClick(QWidget* target) {
    const QPointF at = QRectF(target->rect()).center();
    const QPointF global = target->mapToGlobal(at);
    QCoreApplication::postEvent(target, new QMouseEvent(QEvent::MouseButtonPress, at, global, Qt::LeftButton,
                                                        Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(target, new QMouseEvent(QEvent::MouseButtonRelease, at, global, Qt::LeftButton,
                                                        Qt::NoButton, Qt::NoModifier));
}

TEST_F(ConvertTest, ClicksDuringAConversionAreIgnoredAndTheControlsDisabled) {
    std::string csv;
    for (int i = 1; i <= 300; ++i) csv += std::to_string(i) + ",x\r\n";
    const std::string out = dir.file("out.xml");
    setPaths(dir.write("in.csv", csv), dir.write("s.dsd", kSchema), out);

    const std::vector<const char*> controls = {"Text1",        "Text2",         "Text3",  "Command1", "Command2",
                                               "cmdDoConvert", "cmdEditSchema", "cmdInfo", "Command3"};
    std::vector<const char*> enabledDuring;
    QMetaObject::invokeMethod(
        window.get(),
        [&] {
            for (const char* name : controls) {
                if (control<QWidget>(name)->isEnabled()) enabledDuring.push_back(name);
            }
        },
        Qt::QueuedConnection);
    control<QWidget>("cmdDoConvert")->setFocus();

    // These arrive while the generator yields.
    for (const char* name : {"cmdDoConvert", "Command1", "Command3", "cmdInfo", "cmdEditSchema"}) {
        postClick(control<QWidget>(name));
    }
    QMetaObject::invokeMethod(window.get(), "close", Qt::QueuedConnection);
    click("cmdDoConvert");
    EXPECT_FALSE(window->converting());
    QCoreApplication::processEvents();  // anything not delivered during the conversion

    expectMessages(messages.shown, {msg("変換されました。", MsgIcon::Information)});
    EXPECT_TRUE(files.shown.empty());
    EXPECT_EQ(window->findChild<QWidget*>("frmEdit"), nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(bar()->value(), 299);
    EXPECT_EQ(cursor.changes, (std::vector<bool>{true, false}));
    EXPECT_TRUE(enabledDuring.empty()) << enabledDuring.front();
    for (const char* name : controls) EXPECT_TRUE(control<QWidget>(name)->isEnabled()) << name;
    EXPECT_EQ(window->focusWidget(), control<QWidget>("cmdDoConvert"));

    // Afterwards the buttons work again.
    click("cmdInfo");
    EXPECT_EQ(messages.shown.size(), 2u);
}

}  // namespace
}  // namespace trelmo::test
