// trelmo-edit: the schema editor by itself, with the schema file given opened.

#include <iostream>

#include "app/load_window.h"

int main(int argc, char** argv) {
    if (argc > 2) {
        std::cerr << "trelmo-edit: 開くスキーマファイルは一つだけです。\n"
                     "使い方: trelmo-edit [FILE.dsd]\n";
        return 2;
    }
    return trelmo::app::runWindowModule("trelmo-edit", "trelmo_run_schema_editor", "", argc, argv);
}
