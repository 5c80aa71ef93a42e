// trelmo: with three paths it converts without a window; without arguments it
// opens the conversion window.

#include <iostream>
#include <string>
#include <vector>

#include "engine/console.h"
#include "engine/startup.h"
#ifdef TRELMO_WITH_UI
#include "app/load_window.h"
#endif

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const std::string commandLine = trelmo::JoinArguments(args);
    if (commandLine.empty()) {
#ifdef TRELMO_WITH_UI
        return trelmo::app::runWindowModule(argc, argv);
#else
        std::cerr << "trelmo: built without windows; give three paths: CSV DSD XML\n";
        return 1;
#endif
    }
    trelmo::StreamMessages messages(std::cerr);
    trelmo::NullProgress progress;
    return static_cast<int>(trelmo::Main(commandLine, messages, progress));
}
