// Shows the schema editor for scripts/screenshot-columns: a new schema with a
// CSV previewed through the editor's own menu commands and the top node
// selected, then Ctrl+G. With --result the dialog is closed with Enter, so the
// new nodes and the marked columns show. When the windows are up it writes
// their geometry ("WxH+X+Y") to the file named by the first argument, then
// stays until it is killed (or a minute has passed).
//   columns_screenshot GEOMETRY-FILE [--result] CSV
#include <QAction>
#include <QApplication>
#include <QTest>

#include "tests/support/ui/screenshot_editor.h"
#include "ui/common/app_look.h"
#include "ui/editor/columns_dialog.h"
#include "ui/editor/frm_edit.h"
#include "ui/editor/schema_tree_view.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setWindowIcon(trelmo::ui::appIcon());
    trelmo::ui::useJapaneseFont();
    const bool result = argc == 4 && QByteArray(argv[2]) == "--result";
    if (argc != 3 && !result) {
        qWarning("usage: columns_screenshot GEOMETRY-FILE [--result] CSV");
        return 2;
    }
    using namespace trelmo;
    test::ScreenshotEditor shot;
    if (!shot.show()) return 1;
    ui::FrmEdit& editor = shot.editor;
    test::ScriptedFileDialog& files = shot.files;

    editor.findChild<QAction*>("mnuFileNew")->trigger();
    files.choose(QString::fromLocal8Bit(argv[argc - 1]));
    editor.findChild<QAction*>("mnuFileOpenCSV")->trigger();
    for (const std::string& text : shot.messages.texts()) qWarning("message: %s", text.c_str());
    auto* tree = editor.findChild<ui::SchemaTreeView*>("TreeView1");
    const QRect top = tree->visualItemRect(tree->node(1));
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, top.center());
    editor.findChild<QAction*>("PopMnuColumns")->trigger();
    auto* dialog = editor.findChild<ui::ColumnsDialog*>();
    if (!dialog) return 1;
    dialog->move(editor.x() + 120, editor.y() + 90);
    if (result) {
        QTest::keyClick(dialog->findChild<QWidget*>("grdColumns"), Qt::Key_Return);
        tree->expandAll();
    }

    test::writeGeometryWhenShown(QString::fromLocal8Bit(argv[1]), editor,
                                 editor.findChild<ui::ColumnsDialog*>());
    return app.exec();
}
