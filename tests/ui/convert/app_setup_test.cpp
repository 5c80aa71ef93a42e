// The application's set-up: Qt's own texts in Japanese whatever the locale,
// a warning when no font shows Japanese, Enter on buttons. Runs with a font
// configuration that has no fonts at all.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QAbstractItemView>
#include <QAbstractProxyModel>
#include <QFileDialog>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <sstream>

#include "tests/support/recording_messages.h"
#include "tests/support/temp_dir.h"
#include "tests/support/ui/qt_app.h"
#include "ui/common/app_setup.h"
#include "ui/common/enter_key.h"
#include "ui/common/qt_file_dialog.h"

namespace trelmo::test {
namespace {

bool qtJapaneseInstalled() {
    return QFileInfo::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_ja.qm");
}

class AppSetupTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static const TempDir fontless;
        const std::string conf = fontless.write("fonts.conf", "<?xml version=\"1.0\"?><fontconfig></fontconfig>");
        setenv("FONTCONFIG_FILE", conf.c_str(), 1);
        setenv("XDG_CONFIG_HOME", configHome().path().c_str(), 1);
        ui::setUpApplication(qtApp(), warnings(), messages());
    }
    static const TempDir& configHome() {
        static const TempDir home;
        return home;
    }
    static std::ostringstream& warnings() {
        static std::ostringstream text;
        return text;
    }
    static RecordingMessages& messages() {
        static RecordingMessages shown;
        return shown;
    }
};

TEST_F(AppSetupTest, WarnsOnceAboutEachMissingPieceOfJapanese) {
    std::vector<std::string> lines;
    std::istringstream in(warnings().str());
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    const std::size_t expected = qtJapaneseInstalled() ? 1 : 2;
    ASSERT_EQ(lines.size(), expected) << warnings().str();
    EXPECT_NE(lines.back().find("fonts-noto-cjk"), std::string::npos);
    if (expected == 2) {
        EXPECT_NE(lines.front().find("qt6-translations-l10n"), std::string::npos);
    }

    std::ostringstream again;
    RecordingMessages boxes;
    ui::setUpApplication(qtApp(), again, boxes);
    EXPECT_EQ(qtApp().findChildren<ui::EnterPressesButtons*>().size(), 1);
}

// Started from the desktop menu, standard error is not seen: a message box
// says it too, in a text any font shows.
TEST_F(AppSetupTest, AMissingFontIsToldInAMessageBoxReadableWithoutIt) {
    ASSERT_EQ(messages().shown.size(), 1u);
    const std::string& text = messages().shown[0].text;
    EXPECT_NE(text.find("fonts-noto-cjk"), std::string::npos) << text;
    EXPECT_TRUE(std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        << text;
}

TEST_F(AppSetupTest, QtTextsAreJapaneseEvenInTheFileDialogsDetails) {
    if (!qtJapaneseInstalled()) GTEST_SKIP() << "qt6-translations-l10n is not installed";
    struct Case {
        const char* context;
        const char* source;
        const char* disambiguation;
        const char* japanese;
    };
    for (const Case& c : {Case{"QPlatformTheme", "Cancel", nullptr, "キャンセル"},
                          Case{"QFileDialog", "%1 already exists.\nDo you want to replace it?", nullptr,
                               "%1 は既に存在します。\n置き換えますか?"},
                          Case{"QAbstractFileIconProvider", "Folder", "All other platforms", "フォルダ"}}) {
        EXPECT_EQ(QCoreApplication::translate(c.context, c.source, c.disambiguation), QString::fromUtf8(c.japanese));
    }

    // Sizes, dates and file types in the detail view, whatever the system's locale.
    TempDir dir;
    dir.write("people.csv", "a,b\r\n");
    ui::FileDialogSettings settings;
    settings.initDir = QString::fromStdString(dir.path().string());
    ui::ChooserDialog dialog(nullptr, ui::FileDialogMode::Open, settings);
    const QAbstractItemModel* model = dialog.proxyModel();
    const QModelIndex folder = dialog.findChild<QAbstractItemView*>("treeView")->rootIndex();
    ASSERT_TRUE(QTest::qWaitFor([&] { return model->rowCount(folder) > 0; }));
    const auto cell = [&](int column) { return model->index(0, column, folder).data().toString(); };
    EXPECT_EQ(cell(1), QString::fromUtf8("5 バイト"));
    EXPECT_EQ(cell(2), QString::fromUtf8("CSV ドキュメント"));
    EXPECT_TRUE(cell(3).contains(QLatin1Char('/'))) << cell(3).toStdString();
}

TEST_F(AppSetupTest, FileDialogsLeaveNoSettingsFile) {
    {
        ui::ChooserDialog dialog(nullptr, ui::FileDialogMode::Save, {});
        dialog.show();
    }
    EXPECT_TRUE(std::filesystem::is_empty(configHome().path()));
}

}  // namespace
}  // namespace trelmo::test
