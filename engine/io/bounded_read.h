#pragma once
// Reading a small local file that another file names (a document type
// definition, an XSD): a regular file only, read up to a bound.

#include <cstddef>
#include <optional>
#include <string>

namespace trelmo {

// Reads the file into `bytes`: a regular file only (a FIFO would wait for a
// writer for ever, a device might never end), opened without waiting, and at
// most `largest` bytes. Returns why it cannot be read, one sentence ending in
// "。", if it cannot; `what` names the kind of file in the reason for a file
// past the bound ("大きすぎます。<what>は 4 MiB までです。").
std::optional<std::string> readBoundedFile(const std::string& path, std::string& bytes, std::size_t largest,
                                           const char* what);

}  // namespace trelmo
