// trelmo: with three paths it converts without a window; without arguments it
// opens the conversion window.

#include <iostream>
#include <string>
#include <vector>

#include "engine/startup/console.h"
#include "engine/startup/startup.h"
#ifdef TRELMO_WITH_UI
#include "app/load_window.h"
#endif

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
#ifdef TRELMO_WITH_UI
        return trelmo::app::runWindowModule("trelmo", "trelmo_run_conversion_window",
                                            "; to convert without a window give three paths: CSV DSD XML", argc, argv);
#else
        std::cerr << "trelmo: built without windows; give three paths: CSV DSD XML\n";
        return 1;
#endif
    }
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::cout << "使い方: trelmo                 変換のウィンドウを開きます\n"
                     "        trelmo CSV DSD XML     CSV をスキーマ DSD で XML に変換します\n"
                     "詳しくは man trelmo を見てください。\n";
        return std::cout.flush() ? 0 : 1;
    }
    trelmo::StreamMessages messages(std::cerr);
    trelmo::NullProgress progress;
    return static_cast<int>(trelmo::RunArguments(args, messages, progress));
}
