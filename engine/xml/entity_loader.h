#pragma once
// The external entity loader: this program never touches the network and
// reads no external entity, except the one local file a validating parse may
// read, the external subset that the document type names.

#include <libxml/parser.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace trelmo::xml::detail {

class ErrorCollector;

// What one parse may load; hung on the parser context's _private.
struct LoadPolicy {
    static constexpr std::uint32_t kTag = 0x54524C4D;
    std::uint32_t tag = kTag;
    std::string allowedFile;  // normalised local path; empty: nothing
    ErrorCollector* errors = nullptr;
    xmlParserCtxt* document = nullptr;  // the parse of the document itself, for the line of a refusal
    std::vector<std::string> filesRead;  // what was loaded, as local paths
};

void installEntityLoader();

// The local file a URI or path names; nullopt for a network URI.
std::optional<std::string> localPath(const std::string& uri);
// A path in a normal form for comparing: absolute, without "." and "..".
std::string normalPath(const std::string& path);

}  // namespace trelmo::xml::detail
