#pragma once
// The reason a system call gave for failing, in the user's words.

#include <string>

namespace trelmo {

// A Japanese description of an errno value, ending in "。"; the system's own
// text for errors without one.
std::string osErrorText(int error);

// The same for an error met on the way to path: a refused access names the
// first folder on the way that may not be searched, when there is one.
std::string pathErrorText(const std::string& path, int error);

}  // namespace trelmo
