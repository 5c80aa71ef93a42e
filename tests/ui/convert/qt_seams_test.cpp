// The Qt side of the window seams: message boxes, file dialogs, the shared
// dialog object, the pointer and the progress adapter.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "engine/error.h"
#include "tests/support/temp_dir.h"
#include "tests/support/ui/qt_app.h"
#include "tests/support/ui/scripted_file_dialog.h"
#include "ui/common/qt_cursor.h"
#include "ui/common/qt_file_dialog.h"
#include "ui/common/qt_messages.h"
#include "ui/convert/bar_progress.h"

namespace trelmo::test {
namespace {

using ui::FileDialogMode;

class QtSeamsTest : public ::testing::Test {
protected:
    QtSeamsTest() { qtApp(); }
};

TEST_F(QtSeamsTest, MessageBoxShowsTheMessageUnderTheAppTitle) {
    auto box = ui::makeMessageBox({"一行目\r\n<b>二行目</b>", MsgButtons::Ok, MsgIcon::Exclamation, 0}, nullptr);
    EXPECT_EQ(box->windowTitle(), "Trelmo");
    EXPECT_EQ(box->text(), QString::fromUtf8("一行目\n<b>二行目</b>"));
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    EXPECT_EQ(box->icon(), QMessageBox::Warning);
    EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
}

TEST_F(QtSeamsTest, MessageBoxButtonsDefaultAndAnswers) {
    QWidget owner;
    auto box = ui::makeMessageBox({"q", MsgButtons::YesNoCancel, MsgIcon::None, 1}, &owner);
    EXPECT_EQ(box->parentWidget(), &owner);
    EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(static_cast<QAbstractButton*>(box->defaultButton()), box->button(QMessageBox::No));
    EXPECT_EQ(box->escapeButton(), box->button(QMessageBox::Cancel));

    auto okCancel = ui::makeMessageBox({"q", MsgButtons::OkCancel, MsgIcon::None, 0}, nullptr);
    EXPECT_EQ(static_cast<QAbstractButton*>(okCancel->defaultButton()), okCancel->button(QMessageBox::Ok));

    // A box closed without a button answers as its escape button would.
    for (const MsgButtons buttons : {MsgButtons::Ok, MsgButtons::OkCancel, MsgButtons::YesNo, MsgButtons::YesNoCancel}) {
        auto closed = ui::makeMessageBox({"q", buttons, MsgIcon::None, 0}, nullptr);
        const auto escape = closed->standardButton(closed->escapeButton());
        EXPECT_EQ(ui::answerFor(QMessageBox::NoButton, buttons), ui::answerFor(escape, buttons));
    }
}

TEST_F(QtSeamsTest, FiltersKeepTheirDescriptionsAndAllFilesMatchesEverything) {
    const QStringList filters = ui::qtNameFilters(QString::fromUtf8("CSVファイル(*.csv)|*.csv|すべてのﾌｧｲﾙ (*.*)|*.*"));
    EXPECT_EQ(filters, (QStringList{QString::fromUtf8("CSVファイル(*.csv) (*.csv *.CSV)"),
                                    QString::fromUtf8("すべてのﾌｧｲﾙ (*.*) (*)")}));
    EXPECT_EQ(ui::qtNameFilters("Text|*.txt;*.log"), QStringList{"Text (*.txt *.TXT *.log *.LOG)"});
    EXPECT_TRUE(ui::qtNameFilters("").isEmpty());
}

QStringList comboItems(QFileDialog& dialog) {
    QStringList items;
    auto* combo = dialog.findChild<QComboBox*>("fileTypeCombo");
    if (!combo) return items;
    for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
    return items;
}

TEST_F(QtSeamsTest, OpenDialogShowsDescriptionsAsWritten) {
    ui::FileDialogSettings settings;
    settings.title = QString::fromUtf8("CSVを開く");
    settings.filter = QString::fromUtf8("CSVファイル(*.csv)|*.csv|すべてのﾌｧｲﾙ (*.*)|*.*");
    settings.flags = ui::dlgflags::FileMustExist | ui::dlgflags::HideReadOnly;
    settings.defaultExt = "xml";  // left over from the output chooser
    QFileDialog dialog;
    ui::configureFileDialog(dialog, FileDialogMode::Open, settings);
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("CSVを開く"));
    EXPECT_TRUE(dialog.testOption(QFileDialog::DontUseNativeDialog));
    EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_TRUE(dialog.defaultSuffix().isEmpty());
    EXPECT_EQ(comboItems(dialog),
              (QStringList{QString::fromUtf8("CSVファイル(*.csv)"), QString::fromUtf8("すべてのﾌｧｲﾙ (*.*)")}));
}

// Types a name into a dialog (an open one needs an existing file) and presses
// its button. Returns the chosen file, or the message that refused the name.
QString typeAndAccept(const TempDir& dir, FileDialogMode mode, const QString& name, const QString& defaultExt) {
    ui::FileDialogSettings settings;
    settings.flags = ui::dlgflags::FileMustExist;
    settings.defaultExt = defaultExt;
    settings.initDir = QString::fromStdString(dir.path().string());
    ui::ChooserDialog dialog(nullptr, mode, settings);
    dialog.findChild<QLineEdit*>("fileNameEdit")->setText(name);
    QString refused;
    QTimer::singleShot(0, [&refused] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            refused = box->text();
            box->reject();
        }
    });
    dialog.accept();
    if (dialog.result() != QDialog::Accepted) return refused;
    return QFileInfo(dialog.selectedFiles().value(0)).fileName();
}

TEST_F(QtSeamsTest, OpenDialogTriesTheDefaultExtensionBeforeTheFileMustExist) {
    TempDir dir;
    dir.write("people.csv", "a,b");
    dir.write("README", "x");
    dir.write("README.csv", "x");
    const FileDialogMode open = FileDialogMode::Open;
    struct Case {
        FileDialogMode mode;
        const char* typed;
        const char* defaultExt;
        const char* result;
    };
    for (const Case& c : {Case{open, "people", "csv", "people.csv"}, Case{open, "people.csv", "csv", "people.csv"},
                          Case{open, "README", "csv", "README"}, Case{open, "people", "", "people\nFile not found"},
                          Case{open, "ghost", "csv", "ghost\nFile not found"},
                          Case{open, "people.txt", "csv", "people.txt\nFile not found"},
                          Case{FileDialogMode::Save, "new", "xml", "new.xml"}}) {
        SCOPED_TRACE(c.typed);
        const QString result = typeAndAccept(dir, c.mode, c.typed, c.defaultExt);
        EXPECT_TRUE(result.startsWith(QString::fromUtf8(c.result))) << result.toStdString();
    }
}

TEST_F(QtSeamsTest, DialogOpensInTheGivenFileFolderElseTheInitialElseTheWorkingFolder) {
    TempDir dir;
    const QString initial = QString::fromStdString(dir.path().string());
    const QString other = QString::fromStdString((dir.path() / "other").string());
    QDir().mkpath(other);
    struct Case {
        QString fileName, initDir, folder;
    };
    for (const Case& c : {Case{"", initial, initial}, Case{other + "/x.csv", initial, other},
                          Case{"", initial + "/gone", QDir::currentPath()}, Case{"", "", QDir::currentPath()}}) {
        SCOPED_TRACE(c.fileName.toStdString() + " " + c.initDir.toStdString());
        ui::FileDialogSettings settings;
        settings.fileName = c.fileName;
        settings.initDir = c.initDir;
        QFileDialog dialog;
        ui::configureFileDialog(dialog, FileDialogMode::Open, settings);
        EXPECT_EQ(QFileInfo(dialog.directory().absolutePath()).canonicalFilePath(),
                  QFileInfo(c.folder).canonicalFilePath());
    }
}

TEST_F(QtSeamsTest, SaveDialogOverwritesWithoutAskingUnlessTold) {
    ui::FileDialogSettings settings;
    settings.filter = "XML(*.xml)|*.xml";
    settings.defaultExt = "xml";
    settings.flags = ui::dlgflags::FileMustExist | ui::dlgflags::HideReadOnly;  // left over
    QFileDialog dialog;
    ui::configureFileDialog(dialog, FileDialogMode::Save, settings);
    EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(dialog.fileMode(), QFileDialog::AnyFile);
    EXPECT_TRUE(dialog.testOption(QFileDialog::DontConfirmOverwrite));
    EXPECT_EQ(dialog.defaultSuffix(), "xml");

    settings.flags = ui::dlgflags::OverwritePrompt;
    QFileDialog asking;
    ui::configureFileDialog(asking, FileDialogMode::Save, settings);
    EXPECT_FALSE(asking.testOption(QFileDialog::DontConfirmOverwrite));
}

TEST_F(QtSeamsTest, CommonDialogCancelRaisesOnlyWhenAsked) {
    ScriptedFileDialog files;
    ui::CommonDialog dialog(files);
    dialog.settings.fileName = "old";
    dialog.showOpen();  // cancelled, no error asked for
    EXPECT_TRUE(dialog.settings.fileName.isEmpty());

    dialog.settings.cancelError = true;
    try {
        dialog.showSave();
        ADD_FAILURE() << "no error";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), 32755);
    }

    files.fail(err::FileAccess, "broken");
    EXPECT_THROW(dialog.showOpen(), RuntimeError);
}

TEST_F(QtSeamsTest, CommonDialogAddsTheDefaultExtensionToANameWithout) {
    TempDir dir;
    const QString existing = QString::fromStdString(dir.write("README", "x"));
    ScriptedFileDialog files;
    ui::CommonDialog dialog(files);
    dialog.settings.defaultExt = "xml";
    files.choose("/d/out");
    files.choose("/d/out.txt");
    files.choose(existing);
    files.choose("/d/new");
    dialog.showSave();
    EXPECT_EQ(dialog.settings.fileName, "/d/out.xml");
    dialog.showSave();
    EXPECT_EQ(dialog.settings.fileName, "/d/out.txt");
    dialog.showOpen();  // an existing file is opened as it is named
    EXPECT_EQ(dialog.settings.fileName, existing);
    dialog.showOpen();
    EXPECT_EQ(dialog.settings.fileName, "/d/new.xml");
}

TEST_F(QtSeamsTest, CommonDialogOpensInTheFolderOfItsLastChoice) {
    ScriptedFileDialog files;
    ui::CommonDialog dialog(files);
    files.choose("/d/a/in.csv");
    dialog.showOpen();
    dialog.showOpen();  // cancelled: the folder stays
    dialog.settings = ui::FileDialogSettings{};  // a window that resets the properties keeps the folder
    dialog.showOpen();
    dialog.settings.initDir = "/given";
    dialog.showOpen();
    ASSERT_EQ(files.shown.size(), 4u);
    EXPECT_EQ(files.shown[0].settings.initDir, "");
    EXPECT_EQ(files.shown[1].settings.initDir, "/d/a");
    EXPECT_EQ(files.shown[2].settings.initDir, "/d/a");
    EXPECT_EQ(files.shown[3].settings.initDir, "/given");

    ui::CommonDialog another(files);  // another window's dialog
    another.showOpen();
    EXPECT_EQ(files.shown.back().settings.initDir, "");
}

TEST_F(QtSeamsTest, WaitCursorIsOneOverrideAndGivesWayToMessageBoxes) {
    ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
    {
        ui::QtCursor cursor;
        cursor.setWait(true);
        cursor.setWait(true);
        ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        {
            const ui::NormalPointer normal;
            EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::ArrowCursor);
        }
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        cursor.setWait(false);
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
        cursor.setWait(true);
    }  // restored when it goes
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    const ui::NormalPointer none;
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(QtSeamsTest, ProgressMovesTheBarAndYieldRunsPendingEvents) {
    QProgressBar bar;
    ui::BarProgress progress(bar);
    progress.setMinimum(0);
    progress.setMaximum(4);
    progress.setValue(3);
    EXPECT_EQ(bar.minimum(), 0);
    EXPECT_EQ(bar.maximum(), 4);
    EXPECT_EQ(bar.value(), 3);

    bool ran = false;
    QMetaObject::invokeMethod(&bar, [&ran] { ran = true; }, Qt::QueuedConnection);
    progress.yield();
    EXPECT_TRUE(ran);
}

}  // namespace
}  // namespace trelmo::test
