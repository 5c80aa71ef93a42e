#include "ui/start/run_windows.h"

#include <QApplication>
#include <QFile>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>

#include "ui/common/app_setup.h"
#include "ui/common/qt_cursor.h"
#include "ui/common/qt_file_dialog.h"
#include "ui/common/qt_messages.h"
#include "ui/convert/frm_main.h"
#include "ui/start/display_guard.h"
#include "ui/start/editor_start.h"

namespace trelmo::ui {
namespace {

constexpr StartTexts kConverterTexts{
    "trelmo",
    "trelmo: no display to open the conversion window on; "
    "to convert without a window give three paths: CSV DSD XML\n"};
constexpr StartTexts kEditorTexts{"trelmo-edit", "trelmo-edit: no display to open the schema editor on\n"};

using ShowWindow = std::function<std::unique_ptr<QWidget>(UiServices&)>;

// The application with the services of the program's windows; `show` makes
// and shows the first window, which lives until the event loop ends;
// `desktopId` names its desktop entry (without .desktop).
int runWindows(int& argc, char** argv, const StartTexts& texts, const char* desktopId, const ShowWindow& show) {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const bool headless = !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") &&
                          !(platform && *platform);
    if (headless) {
        std::cerr << texts.noDisplay;
        return 1;
    }
    std::optional<DisplayGuard> guard(std::in_place, texts);
    QApplication app(argc, argv);
    guard.reset();

    QtMessages messages;
    QtFileDialogBackend files;
    QtCursor cursor;
    UiServices services{messages, files, cursor};
    setUpApplication(app, std::cerr, messages);
    // The menu entry the windows belong to.
    QApplication::setDesktopFileName(QString::fromUtf8(desktopId));
    const std::unique_ptr<QWidget> window = show(services);
    return QApplication::exec();
}

}  // namespace

int runConversionWindow(int& argc, char** argv) {
    return runWindows(argc, argv, kConverterTexts, "example.trelmo.Trelmo", [](UiServices& services) {
        auto window = std::make_unique<FrmMain>(services);
        window->show();
        return window;
    });
}

int runSchemaEditor(int argc, char** argv) {
    // Qt takes no options from the command line here: the argument is a file.
    // Its bytes as they are: a name in another encoding than the locale's opens too.
    const std::string file = argc > 1 ? argv[1] : std::string();
    int qtArgc = 1;
    return runWindows(qtArgc, argv, kEditorTexts, "example.trelmo.TrelmoEdit", [&file](UiServices& services) {
        return std::unique_ptr<QWidget>(showSchemaEditor(services, file));
    });
}

}  // namespace trelmo::ui
