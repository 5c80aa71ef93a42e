#pragma once
// The external entity loader: this program never touches the network and
// reads no external entity, except the one local file a validating parse may
// read, the external subset that the document type names.

#include <libxml/parser.h>

#include <cstddef>
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

// While it lives, this thread's parses that have no policy of their own (an
// XML Schema's parser reads the schema and each file it includes, imports or
// redefines in a context of its own) read local regular files, each at most
// kLargestSchemaFile bytes and at most kMostSchemaFiles of them; anything else
// is refused into `errors`, naming the file.
class SchemaFileScope {
public:
    static constexpr std::size_t kLargestSchemaFile = std::size_t{4} << 20;
    static constexpr std::size_t kMostSchemaFiles = 256;

    explicit SchemaFileScope(ErrorCollector& errors);
    ~SchemaFileScope();
    SchemaFileScope(const SchemaFileScope&) = delete;
    SchemaFileScope& operator=(const SchemaFileScope&) = delete;

    // The files read so far, normalised, in the order they were read.
    const std::vector<std::string>& files() const { return files_; }

private:
    friend xmlParserInputPtr loadSchemaFile(const std::string& uri, xmlParserCtxtPtr ctxt);
    ErrorCollector& errors_;
    std::vector<std::string> files_;
    SchemaFileScope* previous_;
};

// The loader of a parse under a SchemaFileScope.
xmlParserInputPtr loadSchemaFile(const std::string& uri, xmlParserCtxtPtr ctxt);

// The local file a URI or path names; nullopt for a network URI.
std::optional<std::string> localPath(const std::string& uri);
// A path in a normal form for comparing: absolute, without "." and "..".
std::string normalPath(const std::string& path);

}  // namespace trelmo::xml::detail
