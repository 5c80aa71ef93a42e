#include "ui/convert/run_window.h"

#include <QApplication>
#include <cstdlib>
#include <iostream>

namespace trelmo::ui {

int runConversionWindow(int& argc, char** argv) {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const bool headless = !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") &&
                          !(platform && *platform);
    if (headless) {
        std::cerr << "trelmo: no display to open the conversion window on; "
                     "to convert without a window give three paths: CSV DSD XML\n";
        return 1;
    }
    QApplication app(argc, argv);
    return 0;  // the conversion window arrives with its own change
}

}  // namespace trelmo::ui
