#include "engine/xsd/xsd_schema.h"

#include <libxml/xmlschemas.h>

#include <filesystem>

#include "engine/convert/convert_plan.h"
#include "engine/error.h"
#include "engine/xml/entity_loader.h"
#include "engine/xml/library.h"
#include "engine/xml/parse_errors.h"

namespace trelmo::xsd {
namespace {

namespace fs = std::filesystem;

void collectError(void* collector, xmlError* error) {
    if (error) static_cast<xml::detail::ErrorCollector*>(collector)->record(*error);
}

struct ParserFree {
    void operator()(xmlSchemaParserCtxt* ctxt) const { xmlSchemaFreeParserCtxt(ctxt); }
};

// "（file の N 行目）" where the parser names a place; the file only when it is not the XSD itself.
std::string placeOf(const xml::detail::ErrorCollector& errors, const std::string& path) {
    const std::string& file = errors.file();
    const long line = errors.first().line;
    const bool otherFile = !file.empty() && xml::detail::normalPath(file) != xml::detail::normalPath(path);
    if (line > 0) return "（" + (otherFile ? file + " の " : std::string()) + std::to_string(line) + " 行目）";
    return {};
}

}  // namespace

void Schema::Free::operator()(_xmlSchema* schema) const { xmlSchemaFree(schema); }

Schema::Schema(Schema&&) noexcept = default;
Schema& Schema::operator=(Schema&&) noexcept = default;
Schema::~Schema() = default;

std::string xsdUnreadable(const std::string& path) { return "検証用XSD " + path + " を読み込めません: "; }

Schema Schema::load(const std::string& path) {
    xml::detail::initLibrary();
    if (path.find('\0') != std::string::npos) throw invalidArgumentError();
    xml::detail::ErrorCollector errors;
    Schema schema;
    {
        const xml::detail::ErrorCapture capture(errors);
        const xml::detail::SchemaFileScope files(errors);
        const std::unique_ptr<xmlSchemaParserCtxt, ParserFree> parser(xmlSchemaNewParserCtxt(path.c_str()));
        if (!parser) throw std::bad_alloc();
        xmlSchemaSetParserStructuredErrors(parser.get(), collectError, &errors);
        schema.schema_.reset(xmlSchemaParse(parser.get()));
        schema.files_ = files.files();
    }
    if (!schema.schema_ || errors.found()) {
        std::string reason = errors.found() ? errors.first().reason : "XSD ではありません。";
        throw RuntimeError(err::BadFileData, xsdUnreadable(path) + reason + placeOf(errors, path));
    }
    schema.path_ = path;
    return schema;
}

std::string xsdPathOf(const xml::Node& top, const std::string& schemaPath) {
    const std::string xsd = convert::attributeValue(top, "xsd");
    if (xsd.empty()) return {};
    const fs::path given = fs::path(xsd);
    if (given.is_absolute()) return xsd;
    return (fs::path(schemaPath).parent_path() / given).string();
}

std::string xsdLoadProblem(const xml::Document& schema, const std::string& schemaPath) {
    const xml::Node top = schema.documentElement();
    if (!top) return {};
    const std::string path = xsdPathOf(top, schemaPath);
    if (path.empty()) return {};
    try {
        Schema::load(path);
    } catch (const RuntimeError& e) {
        return e.description();  // the answer asked for
    }
    return {};
}

}  // namespace trelmo::xsd
