#pragma once
// The XML declaration, which this DOM keeps as a processing instruction with
// the target "xml": found in a file's bytes, and taken apart for saving.

#include <optional>
#include <string>
#include <string_view>

namespace trelmo::xml::detail {

struct DeclarationFields {
    std::string version;
    std::string encoding;  // empty when the declaration names none
    std::string standalone;
};

// The data between "<?xml" and "?>" (trimmed) when the bytes begin with an XML
// declaration, after an optional byte order mark. UTF-16 is read too.
std::optional<std::string> declarationInSource(std::string_view bytes);

// The encoding to decode the file's text with for messages: from the byte
// order mark, the UTF-16 pattern or the declaration; empty means UTF-8.
std::string sourceEncoding(std::string_view bytes);

// Splits declaration data such as `version="1.0" encoding="Shift_JIS"`;
// nullopt when it is not a well-formed declaration.
std::optional<DeclarationFields> parseDeclaration(std::string_view data);

}  // namespace trelmo::xml::detail
