#include "engine/xsd/xsd_outline_files.h"

#include <libxml/parser.h>

#include <filesystem>
#include <optional>

#include "engine/error.h"
#include "engine/io/bounded_read.h"
#include "engine/xml/entity_loader.h"
#include "engine/xml/library.h"
#include "engine/xml/parse_errors.h"

namespace trelmo::xsd::detail {
namespace {

namespace fs = std::filesystem;
using xml::detail::text;

// The bounds of the XSD check.
constexpr std::size_t kLargestFile = xml::detail::SchemaFileScope::kLargestSchemaFile;
constexpr std::size_t kMostFiles = xml::detail::SchemaFileScope::kMostSchemaFiles;

// No network, no document type read, no entity substituted.
constexpr int kOptions = XML_PARSE_NONET | XML_PARSE_BIG_LINES;

RuntimeError unreadable(const std::string& path, const std::string& reason, const std::string& namedBy) {
    std::string description = "XSD のファイル " + path + " を読めません: " + reason;
    if (!namedBy.empty()) description += "\r\n（" + namedBy + " が読み込むファイルです）";
    return RuntimeError(err::FileAccess, description);
}

// The local file a schemaLocation names, relative to the file that names it;
// nullopt for a location on the network.
std::optional<std::string> locate(const std::string& location, const std::string& from) {
    const auto local = xml::detail::localPath(location);
    if (!local) return std::nullopt;
    fs::path path(*local);
    if (path.is_relative()) path = fs::path(from).parent_path() / path;
    return xml::detail::normalPath(path.string());
}

}  // namespace

bool isXs(const xmlNode* node, std::string_view local) {
    return node && node->type == XML_ELEMENT_NODE && node->ns && text(node->ns->href) == std::string_view(kXsdNamespace) &&
           text(node->name) == local;
}

std::vector<const xmlNode*> xsChildren(const xmlNode* node) {
    std::vector<const xmlNode*> result;
    for (const xmlNode* child = node ? node->children : nullptr; child; child = child->next) {
        if (child->type == XML_ELEMENT_NODE && child->ns && text(child->ns->href) == std::string_view(kXsdNamespace)) {
            result.push_back(child);
        }
    }
    return result;
}

std::string prop(const xmlNode* node, const char* name) {
    xml::detail::XmlString value(xmlGetNoNsProp(node, BAD_CAST name));
    return text(value.get());
}

bool hasProp(const xmlNode* node, const char* name) { return xmlHasNsProp(node, BAD_CAST name, nullptr) != nullptr; }

XsdFiles::XsdFiles(const std::string& path) {
    xml::detail::initLibrary();
    read(xml::detail::normalPath(path), {}, nullptr);
}

void XsdFiles::read(const std::string& path, const std::string& namedBy, const std::string* includerNamespace) {
    if (!readAlready_.insert({path, includerNamespace ? *includerNamespace : std::string("\x01")}).second) return;
    if (files_.size() >= kMostFiles) {
        throw unreadable(path, "XSD が読み込むファイルは " + std::to_string(kMostFiles) + " 個までです。", namedBy);
    }
    std::string bytes;
    if (const auto reason = readBoundedFile(path, bytes, kLargestFile, "XSD のファイル")) {
        throw unreadable(path, *reason, namedBy);
    }

    xml::detail::ErrorCollector errors;
    xml::detail::XmlDocPtr doc;
    {
        xml::detail::ErrorCapture capture(errors);
        doc.reset(xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), path.c_str(), nullptr, kOptions));
    }
    if (!doc || errors.found()) {
        const xml::ParseError& error = errors.first();
        std::string reason = errors.found() ? error.reason : std::string("XML として読めません。");
        if (error.line > 0) reason = std::to_string(error.line) + " 行目: " + reason;
        throw unreadable(path, reason, namedBy);
    }
    const xmlNode* schema = xmlDocGetRootElement(doc.get());
    if (!isXs(schema, "schema")) throw unreadable(path, "最上位の要素が xs:schema ではありません。", namedBy);

    File file;
    file.path = path;
    file.targetNamespace = prop(schema, "targetNamespace");
    if (file.targetNamespace.empty() && includerNamespace) {
        file.targetNamespace = *includerNamespace;
        file.chameleon = !includerNamespace->empty();
    }
    file.qualifiedElements = prop(schema, "elementFormDefault") == "qualified";
    file.qualifiedAttributes = prop(schema, "attributeFormDefault") == "qualified";
    fileOfDoc_[doc.get()] = files_.size();
    file.doc = std::move(doc);
    files_.push_back(std::move(file));
    index(files_.size() - 1);
}

void XsdFiles::index(std::size_t at) {
    const xmlNode* schema = xmlDocGetRootElement(files_[at].doc.get());
    const std::string ns = files_[at].targetNamespace;
    static const std::pair<const char*, Component> kinds[] = {
        {"element", Component::Element},           {"complexType", Component::ComplexType},
        {"simpleType", Component::SimpleType},     {"group", Component::Group},
        {"attributeGroup", Component::AttributeGroup}, {"attribute", Component::Attribute}};
    const std::vector<const xmlNode*> top = xsChildren(schema);
    for (const xmlNode* child : top) {
        for (const auto& [tag, kind] : kinds) {
            if (!isXs(child, tag) || !hasProp(child, "name")) continue;
            components_.emplace(std::pair{kind, QName{ns, prop(child, "name")}}, child);
            if (kind != Component::Element || !hasProp(child, "substitutionGroup")) continue;
            const std::string heads = prop(child, "substitutionGroup");
            std::size_t pos = 0;
            while ((pos = heads.find_first_not_of(" \t\r\n", pos)) != std::string::npos) {
                const std::size_t end = std::min(heads.find_first_of(" \t\r\n", pos), heads.size());
                substitutes_[resolve(child, heads.substr(pos, end - pos))].push_back(prop(child, "name"));
                pos = end;
            }
        }
    }
    // Files are read after the file's own components, so that its own come first.
    const std::string path = files_[at].path;
    for (const xmlNode* child : top) {
        const bool include = isXs(child, "include") || isXs(child, "redefine");
        if (!include && !isXs(child, "import")) continue;
        const std::string location = prop(child, "schemaLocation");
        if (location.empty()) continue;
        const auto local = locate(location, path);
        if (!local) {
            notes_.push_back("XSD が読み込む " + location + " はローカルのファイルではないため読み込みませんでした（ネットワークには接続しません）。");
            continue;
        }
        if (isXs(child, "redefine")) notes_.push_back(path + " の xs:redefine による定義の変更は反映していません。");
        read(*local, path, include ? &ns : nullptr);
    }
}

std::vector<const xmlNode*> XsdFiles::globalElements() const {
    std::vector<const xmlNode*> result;
    for (const File& file : files_) {
        if (file.targetNamespace != targetNamespace()) continue;
        for (const xmlNode* child : xsChildren(xmlDocGetRootElement(file.doc.get()))) {
            if (isXs(child, "element") && hasProp(child, "name") && prop(child, "abstract") != "true") {
                result.push_back(child);
            }
        }
    }
    return result;
}

const xmlNode* XsdFiles::find(Component kind, const QName& name) const {
    const auto found = components_.find({kind, name});
    return found == components_.end() ? nullptr : found->second;
}

QName XsdFiles::resolve(const xmlNode* where, std::string_view value) const {
    const std::size_t colon = value.find(':');
    const std::string prefix = colon == std::string_view::npos ? std::string() : std::string(value.substr(0, colon));
    QName name{{}, std::string(colon == std::string_view::npos ? value : value.substr(colon + 1))};
    const xmlNs* ns = xmlSearchNs(where->doc, const_cast<xmlNode*>(where), prefix.empty() ? nullptr : BAD_CAST prefix.c_str());
    if (ns) name.ns = text(ns->href);
    // A file included without a namespace of its own takes the including file's.
    if (name.ns.empty() && prefix.empty() && fileOf(where).chameleon) name.ns = fileOf(where).targetNamespace;
    return name;
}

const std::string& XsdFiles::namespaceOf(const xmlNode* node) const { return fileOf(node).targetNamespace; }

bool XsdFiles::qualifiedByDefault(const xmlNode* node, bool element) const {
    const File& file = fileOf(node);
    return element ? file.qualifiedElements : file.qualifiedAttributes;
}

const std::vector<std::string>* XsdFiles::substitutesFor(const QName& head) const {
    const auto found = substitutes_.find(head);
    return found == substitutes_.end() ? nullptr : &found->second;
}

const XsdFiles::File& XsdFiles::fileOf(const xmlNode* node) const { return files_[fileOfDoc_.at(node->doc)]; }

}  // namespace trelmo::xsd::detail
