#pragma once
// What a replaced file carries besides its mode and owner: its POSIX access
// control list and its user.* extended attributes, as careful editors keep
// them when they save by rename.

#include <optional>
#include <string>

namespace trelmo::fileio {

// Copies them from the file at `from` (links followed) onto the open file
// `to`, after its mode is set: the access control list sets the group bits
// again from its mask. Returns why they cannot be carried over, if they cannot.
std::optional<std::string> copyAttributes(const std::string& from, int to);

}  // namespace trelmo::fileio
