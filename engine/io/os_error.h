#pragma once
// The reason a system call gave for failing, in the user's words.

#include <string>

namespace trelmo {

// A Japanese description of an errno value, ending in "。"; the system's own
// text for errors without one.
std::string osErrorText(int error);

}  // namespace trelmo
