#pragma once
// Paths from Qt to the engine, as the bytes the system names the file by.

#include <QString>
#include <string>

namespace trelmo::ui {

// The path in the local 8-bit encoding of file names (QFile::encodeName),
// the bytes the engine opens.
std::string enginePath(const QString& path);

}  // namespace trelmo::ui
