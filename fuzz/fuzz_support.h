#pragma once
// What the fuzz targets share: a failed check that stops the run, and a
// scratch file kept in memory where the system allows.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace trelmo::fuzz {

inline void require(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "check failed: %s\n", what);
        std::abort();
    }
}

// One file per process; in /dev/shm when there, since saving waits for the disk otherwise.
inline const std::string& scratchPath() {
    static const std::string path =
        ((std::filesystem::is_directory("/dev/shm") ? std::filesystem::path("/dev/shm")
                                                    : std::filesystem::temp_directory_path()) /
         ("trelmo-fuzz-" + std::to_string(getpid()) + ".xml"))
            .string();
    return path;
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace trelmo::fuzz
