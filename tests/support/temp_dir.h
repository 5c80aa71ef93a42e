#pragma once
// A temporary folder that is removed with everything in it, and file helpers.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace trelmo::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // Full path of a name inside the folder, as a string.
    std::string file(std::string_view name) const;
    // Writes bytes to a name inside the folder and returns its full path.
    std::string write(std::string_view name, std::string_view bytes) const;

private:
    std::filesystem::path path_;
};

std::string readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, std::string_view bytes);
bool fileExists(const std::filesystem::path& path);
// The names in a folder, sorted.
std::vector<std::string> fileNames(const std::filesystem::path& folder);

// The project's source folder (for examples/ and tests/data/).
std::filesystem::path sourceDir();

}  // namespace trelmo::test
