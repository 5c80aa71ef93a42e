#pragma once
// Reading a whole file into memory.

#include <string>

namespace trelmo {

// The file's bytes. A missing file raises the file-not-found error; a folder
// or a file that cannot be opened or read raises the file-access error.
std::string readFileBytes(const std::string& path);

}  // namespace trelmo
