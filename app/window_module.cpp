// The windows as a module of their own, loaded only when a window is shown, so
// that a conversion from the command line starts without Qt's libraries. One
// entry point for each program's window.

#include "ui/start/run_windows.h"

extern "C" __attribute__((visibility("default"))) int trelmo_run_conversion_window(int* argc, char** argv) {
    return trelmo::ui::runConversionWindow(*argc, argv);
}

extern "C" __attribute__((visibility("default"))) int trelmo_run_schema_editor(int* argc, char** argv) {
    return trelmo::ui::runSchemaEditor(*argc, argv);
}
