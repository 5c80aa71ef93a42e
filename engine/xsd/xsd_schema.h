#pragma once
// The recipient's XML Schema (XSD 1.0, as libxml2 validates it) that a schema
// file names, read once from local files only: the XSD and every file it
// includes, imports or redefines go through the program's own external-entity
// loader, each a regular file of bounded size, never the network.

#include <memory>
#include <string>
#include <vector>

#include "engine/xml/dom.h"

struct _xmlSchema;

namespace trelmo::xsd {

class Schema {
public:
    // Reads the XSD at `path`. Throws RuntimeError naming the file (and the
    // line, where the parser gives one) when it cannot be read or is no XSD.
    static Schema load(const std::string& path);

    Schema(Schema&&) noexcept;
    Schema& operator=(Schema&&) noexcept;
    ~Schema();

    _xmlSchema* get() const { return schema_.get(); }
    const std::string& path() const { return path_; }
    // Every file read, normalised: the XSD first, then those it loads.
    const std::vector<std::string>& files() const { return files_; }

private:
    struct Free {
        void operator()(_xmlSchema* schema) const;
    };
    Schema() = default;

    std::unique_ptr<_xmlSchema, Free> schema_;
    std::string path_;
    std::vector<std::string> files_;
};

// The top element's `xsd` (any letter case) as a path: relative to the folder
// of the schema file at `schemaPath`, or absolute. Empty: no check.
std::string xsdPathOf(const xml::Node& top, const std::string& schemaPath);

// For the editor's save check: why the XSD that the schema names cannot be
// loaded, or empty when it loads or none is named. `schemaPath` is where the
// schema is saved (its folder resolves a relative `xsd`).
std::string xsdLoadProblem(const xml::Document& schema, const std::string& schemaPath);

// The message that starts every refusal to read an XSD.
std::string xsdUnreadable(const std::string& path);

}  // namespace trelmo::xsd
