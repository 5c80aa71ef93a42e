// The three file choosers and their shared dialog.

#include "engine/error.h"
#include "tests/ui/convert/frm_main_fixture.h"

namespace trelmo::test {
namespace {

using ui::FileDialogMode;
using ChooserTest = FrmMainTest;

const QString kAllFiles = QString::fromUtf8("|すべてのﾌｧｲﾙ (*.*)|*.*");

TEST_F(ChooserTest, EachChooserShowsItsDialogAndFillsItsBox) {
    files.choose("/data/in.csv");
    files.choose("/data/s.dsd");
    files.choose("/data/out.xml");
    click("Command1");
    click("Command2");
    click("Command3");
    EXPECT_EQ(box("Text1")->text(), "/data/in.csv");
    EXPECT_EQ(box("Text2")->text(), "/data/s.dsd");
    EXPECT_EQ(box("Text3")->text(), "/data/out.xml");

    ASSERT_EQ(files.shown.size(), 3u);
    const auto& csv = files.shown[0];
    EXPECT_EQ(csv.mode, FileDialogMode::Open);
    EXPECT_EQ(csv.settings.title, QString::fromUtf8("CSVを開く"));
    EXPECT_EQ(csv.settings.filter, QString::fromUtf8("CSVファイル(*.csv)|*.csv") + kAllFiles);
    EXPECT_EQ(csv.settings.flags, 4100);
    EXPECT_TRUE(csv.settings.fileName.isEmpty());
    EXPECT_TRUE(csv.settings.cancelError);

    const auto& dsd = files.shown[1];
    EXPECT_EQ(dsd.mode, FileDialogMode::Open);
    EXPECT_EQ(dsd.settings.title, QString::fromUtf8("開く"));
    EXPECT_EQ(dsd.settings.filter, QString::fromUtf8("スキーマﾌｧｲﾙ (*.dsd)|*.dsd") + kAllFiles);
    EXPECT_EQ(dsd.settings.flags, 4100);
    EXPECT_TRUE(dsd.settings.fileName.isEmpty());

    const auto& xml = files.shown[2];
    EXPECT_EQ(xml.mode, FileDialogMode::Save);
    EXPECT_EQ(xml.settings.title, QString::fromUtf8("保存先の選択"));
    EXPECT_EQ(xml.settings.filter, QString::fromUtf8("XML(*.xml)|*.xml") + kAllFiles);
    EXPECT_EQ(xml.settings.defaultExt, "xml");
    EXPECT_FALSE(xml.settings.flags & ui::dlgflags::OverwritePrompt);
    // Never the name just chosen: a conversion could replace its own input.
    EXPECT_TRUE(xml.settings.fileName.isEmpty());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ChooserTest, CancelledChoosersLeaveTheirBoxesAsTheyWere) {
    setPaths("a.csv", "b.dsd", "c.xml");
    files.cancel();
    files.cancel();
    files.cancel();
    click("Command1");
    click("Command2");
    click("Command3");
    EXPECT_EQ(files.shown.size(), 3u);
    EXPECT_EQ(box("Text1")->text(), "a.csv");
    EXPECT_EQ(box("Text2")->text(), "b.dsd");
    EXPECT_EQ(box("Text3")->text(), "c.xml");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ChooserTest, ADialogFailureIsShownPlainAndTheBoxKept) {
    box("Text2")->setText("keep.dsd");
    files.fail(err::FileAccess, "ダイアログを開けません。");
    click("Command2");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "ダイアログを開けません。");
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::None);
    EXPECT_EQ(box("Text2")->text(), "keep.dsd");
}

TEST_F(ChooserTest, OutputChooserAddsTheDefaultExtension) {
    files.choose("/data/result");
    click("Command3");
    EXPECT_EQ(box("Text3")->text(), "/data/result.xml");
    files.choose("/data/result.txt");
    click("Command3");
    EXPECT_EQ(box("Text3")->text(), "/data/result.txt");
}

TEST_F(ChooserTest, PropertiesAChooserDoesNotSetKeepTheirLastValue) {
    click("Command1");  // open: flags 4100
    click("Command3");  // save: sets the default extension, not the flags
    click("Command2");  // open: sets the flags, not the default extension
    ASSERT_EQ(files.shown.size(), 3u);
    EXPECT_TRUE(files.shown[0].settings.defaultExt.isEmpty());
    EXPECT_EQ(files.shown[1].settings.flags, 4100);
    EXPECT_EQ(files.shown[2].settings.defaultExt, "xml");
}

}  // namespace
}  // namespace trelmo::test
