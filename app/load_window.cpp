#include "app/load_window.h"

#include <dlfcn.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

namespace trelmo::app {
namespace {

constexpr const char* kModuleName = "trelmo_window.so";

// Where the module is: beside the executable in a build, in the library
// folder (TRELMO_WINDOW_DIR, relative to the executable's) once installed.
std::filesystem::path modulePath() {
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    const std::filesystem::path folder = error ? std::filesystem::path(".") : exe.parent_path();
    const std::filesystem::path beside = folder / kModuleName;
    if (std::filesystem::exists(beside, error)) return beside;
    return (folder / TRELMO_WINDOW_DIR / kModuleName).lexically_normal();
}

}  // namespace

int runWindowModule(const char* program, const char* entry, const char* otherwise, int& argc, char** argv) {
    const std::filesystem::path location = modulePath();
    std::error_code error;
    if (!std::filesystem::exists(location, error) && !error) {
        std::fprintf(stderr, "%s: the windows are in the package " TRELMO_WINDOW_PACKAGE ", which is not installed%s\n",
                     program, otherwise);
        return 1;
    }
    const std::string path = location.string();
    // Kept loaded until the process ends: Qt's libraries stay in use until exit.
    void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        std::fprintf(stderr, "%s: ウィンドウのモジュールを読み込めません: %s\n", program, ::dlerror());
        return 1;
    }
    using Run = int (*)(int*, char**);
    const auto run = reinterpret_cast<Run>(::dlsym(module, entry));
    if (!run) {
        std::fprintf(stderr, "%s: ウィンドウのモジュールを読み込めません: %s\n", program, path.c_str());
        return 1;
    }
    return run(&argc, argv);
}

}  // namespace trelmo::app
