// Shows the schema editor for scripts/screenshot-editor: a schema, expanded,
// beside a CSV preview. With a schema file it opens that file and then the
// CSV through the editor's own menu commands, and selects the first node below
// the top element; without one it shows a built-in schema with every node kind.
// With --xml the XML preview is shown beside it; when the schema names an XSD,
// the last fault the preview lists is double-clicked. When the windows are up it
// writes their geometry ("WxH+X+Y") to the file named by the first argument,
// then stays until it is killed (or a minute has passed).
//   editor_screenshot GEOMETRY-FILE [--xml] [CSV [DSD]]
#include <QAction>
#include <QApplication>
#include <QTest>
#include <QTime>
#include <QTimer>
#include <QTreeWidget>
#include <vector>

#include "tests/support/ui/screenshot_editor.h"
#include "ui/common/app_look.h"
#include "ui/editor/frm_edit.h"
#include "ui/editor/schema_tree_view.h"
#include "ui/preview/xml_preview_window.h"

namespace {

const char* const kSchema =
    "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>"
    "<element name=\"shop\" root=\"shops\" encoding=\"Shift_JIS\">"
    "<attribute name=\"id\" DataSource=\"1\"/>"
    "<element name=\"city\"><text DataSource=\"2\"/><elemnt name=\"misspelt\"/></element>"
    "<cdatasection DataSource=\"3\"/><comment DataSource=\"4\"/></element>";

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setWindowIcon(trelmo::ui::appIcon());
    trelmo::ui::useJapaneseFont();
    if (argc < 2) {
        qWarning("usage: editor_screenshot GEOMETRY-FILE [--xml] [CSV [DSD]]");
        return 2;
    }
    std::vector<const char*> args(argv, argv + argc);
    const bool withXml = args.size() > 2 && QByteArray(args[2]) == "--xml";
    if (withXml) args.erase(args.begin() + 2);
    const auto given = static_cast<int>(args.size());
    using namespace trelmo;
    test::ScreenshotEditor shot;
    if (!shot.show()) return 1;
    ui::FrmEdit& editor = shot.editor;
    test::ScriptedFileDialog& files = shot.files;

    const auto menu = [&](const char* action, const char* path) {
        files.choose(QString::fromLocal8Bit(path));
        editor.findChild<QAction*>(action)->trigger();
    };
    int shown = 3;  // the city element of the built-in schema
    if (given > 3) {
        menu("mnuFileOpenDSD", args[3]);
        shown = 2;
    } else {
        xml::Document doc;
        if (!doc.loadXml(kSchema)) return 1;
        editor.showDocument(std::move(doc));
    }
    if (given > 2) menu("mnuFileOpenCSV", args[2]);
    for (const std::string& text : shot.messages.texts()) qWarning("message: %s", text.c_str());
    auto* tree = editor.findChild<ui::SchemaTreeView*>("TreeView1");
    if (!tree->node(shown)) return 1;
    tree->expandAll();
    // Select the node with the mouse, so the panel shows it.
    const QRect node = tree->visualItemRect(tree->node(shown));
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, node.center());
    if (withXml) editor.findChild<QAction*>("mnuViewXmlPreview")->trigger();

    auto* preview = editor.findChild<ui::XmlPreviewWindow*>();
    const QString geometry = QString::fromLocal8Bit(args[1]);
    auto* faults = preview ? preview->findChild<QTreeWidget*>("lstXsdFaults") : nullptr;
    if (!faults || editor.document().xsdPath().isEmpty()) {
        test::writeGeometryWhenShown(geometry, editor, preview);
        return app.exec();
    }
    // The preview checks a moment after it is shown: wait for its list.
    auto* poll = new QTimer(&app);
    QObject::connect(poll, &QTimer::timeout, [&, poll, started = QTime::currentTime()] {
        const int count = faults->topLevelItemCount();
        if (count == 0 && started.msecsTo(QTime::currentTime()) < 10000) return;
        poll->stop();
        if (count > 0) {
            const QPoint at = faults->visualItemRect(faults->topLevelItem(count - 1)).center();
            QTest::mouseClick(faults->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(faults->viewport(), Qt::LeftButton, {}, at);
        }
        test::writeGeometryWhenShown(geometry, editor, preview);
    });
    poll->start(50);
    return app.exec();
}
