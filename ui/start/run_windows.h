#pragma once
// The two programs' windows: trelmo's conversion window and trelmo-edit's
// schema editor, each in a Qt application of its own that runs until its
// window closes. Without a display, or when the window system cannot be
// started, they say so on standard error and return 1.

namespace trelmo::ui {

int runConversionWindow(int& argc, char** argv);

// argv[1], when given, is the schema file to open; further arguments are
// not looked at (trelmo-edit refuses them before).
int runSchemaEditor(int argc, char** argv);

}  // namespace trelmo::ui
