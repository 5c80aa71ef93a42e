#pragma once
// The editor with a CSV previewed, and the dialog "CSVの列から作成" opened
// through its shortcut.
#include <QCheckBox>
#include <QDialog>
#include <QTest>

#include "tests/support/temp_dir.h"
#include "tests/support/ui/editor_fixture.h"
#include "ui/editor/columns_dialog.h"
#include "ui/editor/columns_model.h"

namespace trelmo::test {

class ColumnsTest : public EditorTest {
protected:
    // Previews a file with these bytes through the menu.
    void previewCsv(std::string_view bytes) {
        files.choose(QString::fromStdString(dir.write("in.csv", bytes)));
        trigger("mnuFileOpenCSV");
    }
    // A schema, then a CSV previewed beside it.
    void open(std::string_view schema, std::string_view csv) {
        show(schema);
        previewCsv(csv);
    }
    // Ctrl+G on the node of this tree index; the dialog it opened, or null.
    ui::ColumnsDialog* openDialog(int treeIndex = 1) {
        clickNode(treeIndex);
        ctrlKey(Qt::Key_G);
        return editor->findChild<ui::ColumnsDialog*>();
    }
    // Closes the dialog with Enter and lets it go.
    void pressEnter(ui::ColumnsDialog* dialog) {
        QTest::keyClick(dialog->findChild<QWidget*>("grdColumns"), Qt::Key_Return);
        QTest::qWait(0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // The names the dialog proposes, joined by ",".
    static std::string names(const ui::ColumnsDialog* dialog) {
        const ui::ColumnsModel& m = dialog->model();
        std::string out;
        for (int r = 0; r < m.rowCount(); ++r)
            out += (r ? "," : "") +
                   m.index(r, ui::ColumnsModel::Name).data(Qt::EditRole).toString().toStdString();
        return out;
    }

    TempDir dir;
};

}  // namespace trelmo::test
