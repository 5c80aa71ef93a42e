// The windows as a module of their own, loaded only when a window is shown, so
// that a conversion from the command line starts without Qt's libraries.

#include "ui/convert/run_window.h"

extern "C" __attribute__((visibility("default"))) int trelmo_run_conversion_window(int* argc, char** argv) {
    return trelmo::ui::runConversionWindow(*argc, argv);
}
