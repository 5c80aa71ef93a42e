// The three file choosers and their shared dialog.

#include <cstring>

#include "engine/error.h"
#include "tests/ui/convert/frm_main_fixture.h"

namespace trelmo::test {
namespace {

using ui::FileDialogMode;
using ChooserTest = FrmMainTest;

constexpr int kOpenFlags = ui::dlgflags::FileMustExist | ui::dlgflags::HideReadOnly;
const QString kAllFiles = QString::fromUtf8("|すべてのﾌｧｲﾙ (*.*)|*.*");

struct Chooser {
    const char* button;
    const char* box;
    const char* chosen;
    FileDialogMode mode;
    int flags;  // 0: only that it does not ask before overwriting
    const char* defaultExt;
};
const Chooser kChoosers[] = {
    {"Command1", "Text1", "/data/in.csv", FileDialogMode::Open, kOpenFlags, ""},
    {"Command2", "Text2", "/data/s.dsd", FileDialogMode::Open, kOpenFlags, ""},
    {"Command3", "Text3", "/data/out.xml", FileDialogMode::Save, 0, "xml"},
};

TEST_F(ChooserTest, EachChooserShowsItsDialogAndFillsItsBox) {
    for (const Chooser& c : kChoosers) {
        SCOPED_TRACE(c.button);
        files.shown.clear();
        files.choose(c.chosen);
        click(c.button);
        EXPECT_EQ(box(c.box)->text(), c.chosen);
        ASSERT_EQ(files.shown.size(), 1u);
        const ui::FileDialogSettings& s = files.shown[0].settings;
        EXPECT_EQ(files.shown[0].mode, c.mode);
        // Its own kind of file first, then all files.
        EXPECT_EQ(s.filter.section('|', 1, 1), QStringLiteral("*") + std::strrchr(c.chosen, '.'));
        EXPECT_TRUE(s.filter.endsWith(kAllFiles));
        if (c.flags) {
            EXPECT_EQ(s.flags, c.flags);
        }
        EXPECT_FALSE(s.flags & ui::dlgflags::OverwritePrompt);
        EXPECT_EQ(s.defaultExt, c.defaultExt);
        // Never the name just chosen: a conversion could replace its own input.
        EXPECT_TRUE(s.fileName.isEmpty());
        EXPECT_TRUE(s.cancelError);
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ChooserTest, CancelledChoosersLeaveTheirBoxesAsTheyWere) {
    setPaths("a.csv", "b.dsd", "c.xml");
    for (const Chooser& c : kChoosers) {
        files.cancel();
        click(c.button);
    }
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
    click("Command1");  // open: sets the flags
    click("Command3");  // save: sets the default extension, not the flags
    click("Command2");  // open: sets the flags, not the default extension
    ASSERT_EQ(files.shown.size(), 3u);
    EXPECT_TRUE(files.shown[0].settings.defaultExt.isEmpty());
    EXPECT_EQ(files.shown[1].settings.flags, kOpenFlags);
    EXPECT_EQ(files.shown[2].settings.defaultExt, "xml");
}

}  // namespace
}  // namespace trelmo::test
