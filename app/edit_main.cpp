// trelmo-edit: the schema editor by itself, with the schema file given opened.

#include <iostream>
#include <string_view>

#include "app/load_window.h"

int main(int argc, char** argv) {
    if (argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
        std::cout << "使い方: trelmo-edit [FILE.dsd]   スキーマエディターを開きます (FILE.dsd を開いて)\n"
                     "詳しくは man trelmo-edit を見てください。\n";
        return std::cout.flush() ? 0 : 1;
    }
    if (argc > 2) {
        std::cerr << "trelmo-edit: 開くスキーマファイルは一つだけです。\n"
                     "使い方: trelmo-edit [FILE.dsd]\n";
        return 2;
    }
    return trelmo::app::runWindowModule("trelmo-edit", "trelmo_run_schema_editor", "", argc, argv);
}
