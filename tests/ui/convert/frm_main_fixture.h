#pragma once
// The real conversion window, offscreen, with scripted messages, file dialogs
// and pointer. Controls are found by their names.

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <memory>

#include "tests/support/recording_messages.h"
#include "tests/support/temp_dir.h"
#include "tests/support/ui/qt_app.h"
#include "tests/support/ui/recording_cursor.h"
#include "tests/support/ui/scripted_file_dialog.h"
#include "ui/convert/frm_main.h"

namespace trelmo::test {

class FrmMainTest : public ::testing::Test {
protected:
    FrmMainTest() {
        qtApp();
        window = std::make_unique<ui::FrmMain>(services);
        window->show();
    }

    template <typename T>
    T* control(const char* name) const {
        T* found = window->findChild<T*>(QString::fromLatin1(name));
        if (!found) ADD_FAILURE() << "no control " << name;
        return found;
    }

    QLineEdit* box(const char* name) const { return control<QLineEdit>(name); }
    void click(const char* name) const { control<QPushButton>(name)->click(); }
    QString status() const { return control<QLabel>("Label4")->text(); }
    QProgressBar* bar() const { return control<QProgressBar>("ProgressBar1"); }

    void setPaths(const std::string& csv, const std::string& dsd, const std::string& xml) const {
        box("Text1")->setText(QString::fromStdString(csv));
        box("Text2")->setText(QString::fromStdString(dsd));
        box("Text3")->setText(QString::fromStdString(xml));
    }

    RecordingMessages messages;
    ScriptedFileDialog files;
    RecordingCursor cursor;
    ui::UiServices services{messages, files, cursor};
    std::unique_ptr<ui::FrmMain> window;
    TempDir dir;
};

}  // namespace trelmo::test
