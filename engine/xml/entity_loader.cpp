#include "engine/xml/entity_loader.h"

#include <libxml/parserInternals.h>
#include <libxml/uri.h>
#include <libxml/xmlerror.h>

#include <filesystem>
#include <functional>

#include "engine/io/bounded_read.h"

#include "engine/xml/doc_state.h"
#include "engine/xml/parse_errors.h"

namespace trelmo::xml::detail {
namespace {

namespace fs = std::filesystem;

std::string unescape(const std::string& value) {
    XmlString raw(reinterpret_cast<xmlChar*>(xmlURIUnescapeString(value.c_str(), 0, nullptr)));
    return raw ? std::string(text(raw.get())) : value;
}

bool hasScheme(const std::string& uri) {
    const std::size_t colon = uri.find(':');
    if (colon == std::string::npos || colon == 0) return false;
    for (std::size_t i = 0; i < colon; ++i) {
        const char c = uri[i];
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (i > 0 && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'));
        if (!ok) return false;
    }
    return true;
}

LoadPolicy* policyOf(xmlParserCtxtPtr ctxt) {
    if (!ctxt || !ctxt->_private) return nullptr;
    auto* policy = static_cast<LoadPolicy*>(ctxt->_private);
    return policy->tag == LoadPolicy::kTag ? policy : nullptr;
}

void refuse(xmlParserCtxtPtr ctxt, LoadPolicy* policy, long code, std::string reason) {
    if (!policy || !policy->errors) return;
    // An external entity gets a context of its own, without input yet.
    xmlParserCtxtPtr where = ctxt && ctxt->input ? ctxt : policy->document;
    const long line = where && where->input ? where->input->line : 0;
    const long column = where && where->input ? where->input->col : 0;
    const char* file = where && where->input ? where->input->filename : nullptr;
    policy->errors->record(code, std::move(reason), line, column, file ? file : "");
}

// Larger than any real document type definition.
constexpr std::size_t kLargestSubset = std::size_t{4} << 20;

// Reads the external subset, a regular file of at most kLargestSubset bytes.
std::optional<std::string> readSubset(const std::string& path, std::string& bytes) {
    return readBoundedFile(path, bytes, kLargestSubset, "文書型定義");
}

// An input stream over bytes read; null, and the refusal recorded, when there is no memory for it.
xmlParserInputPtr inputOf(xmlParserCtxtPtr ctxt, const std::string& bytes, const std::string& local,
                          const std::function<void(std::string)>& refuseWith) {
    // No exception may cross libxml2: a lack of memory is a refusal too.
    xmlParserInputBufferPtr buffer =
        xmlParserInputBufferCreateMem(bytes.data(), static_cast<int>(bytes.size()), XML_CHAR_ENCODING_NONE);
    xmlParserInputPtr input = buffer ? xmlNewIOInputStream(ctxt, buffer, XML_CHAR_ENCODING_NONE) : nullptr;
    if (!input) {
        if (buffer) xmlFreeParserInputBuffer(buffer);
        refuseWith("ファイル " + local + " を読めません: メモリが足りません。");
        return nullptr;
    }
    input->filename = reinterpret_cast<char*>(xmlCanonicPath(BAD_CAST local.c_str()));
    return input;
}

thread_local SchemaFileScope* schemaFiles = nullptr;

xmlParserInputPtr load(const char* url, const char*, xmlParserCtxtPtr ctxt) {
    LoadPolicy* policy = policyOf(ctxt);
    const std::string uri = url ? url : "";
    if (!policy && schemaFiles) return loadSchemaFile(uri, ctxt);
    const auto local = localPath(uri);
    if (!local) {
        refuse(ctxt, policy, XML_IO_NETWORK_ATTEMPT,
               "外部のリソース " + uri + " は読み込みません（ネットワークには接続しません）。");
        return nullptr;
    }
    if (!policy || policy->allowedFile.empty() || normalPath(*local) != policy->allowedFile) {
        refuse(ctxt, policy, XML_IO_LOAD_ERROR, "外部エンティティ " + uri + " は読み込みません。");
        return nullptr;
    }
    std::string bytes;
    if (const auto reason = readSubset(*local, bytes)) {
        refuse(ctxt, policy, XML_IO_LOAD_ERROR, "文書型定義のファイル " + *local + " を読めません: " + *reason);
        return nullptr;
    }
    xmlParserInputPtr input = inputOf(ctxt, bytes, *local,
                                      [&](std::string reason) { refuse(ctxt, policy, XML_ERR_NO_MEMORY, std::move(reason)); });
    if (input) policy->filesRead.push_back(*local);
    return input;
}

}  // namespace

SchemaFileScope::SchemaFileScope(ErrorCollector& errors) : errors_(errors), previous_(schemaFiles) {
    schemaFiles = this;
}

SchemaFileScope::~SchemaFileScope() { schemaFiles = previous_; }

xmlParserInputPtr loadSchemaFile(const std::string& uri, xmlParserCtxtPtr ctxt) {
    SchemaFileScope& scope = *schemaFiles;
    const auto refuseWith = [&](long code, std::string reason) {
        scope.errors_.record(code, std::move(reason), 0, 0, uri);
        return nullptr;
    };
    const auto local = localPath(uri);
    if (!local) {
        return refuseWith(XML_IO_NETWORK_ATTEMPT, "XSD が読み込む " + uri + " はローカルのファイルではないため読み込みません（ネットワークには接続しません）。");
    }
    if (scope.files_.size() >= SchemaFileScope::kMostSchemaFiles) {
        return refuseWith(XML_IO_LOAD_ERROR, "XSD のファイル " + *local + " を読み込みません: XSD が読み込むファイルは " +
                                                 std::to_string(SchemaFileScope::kMostSchemaFiles) + " 個までです。");
    }
    std::string bytes;
    if (const auto reason = readBoundedFile(*local, bytes, SchemaFileScope::kLargestSchemaFile, "XSD のファイル")) {
        return refuseWith(XML_IO_LOAD_ERROR, "XSD のファイル " + *local + " を読めません: " + *reason);
    }
    scope.files_.push_back(normalPath(*local));
    return inputOf(ctxt, bytes, *local,
                   [&](std::string reason) { refuseWith(XML_ERR_NO_MEMORY, std::move(reason)); });
}

void installEntityLoader() { xmlSetExternalEntityLoader(load); }

std::optional<std::string> localPath(const std::string& uri) {
    if (uri.empty()) return std::nullopt;
    if (!hasScheme(uri)) {
        const std::string plain = unescape(uri);
        return fs::exists(plain) || !fs::exists(uri) ? plain : uri;
    }
    std::string lower = uri.substr(0, 5);
    for (char& c : lower) c = static_cast<char>(c | 0x20);
    if (lower != "file:") return std::nullopt;
    std::string rest = uri.substr(5);
    if (rest.rfind("//", 0) == 0) {
        rest = rest.substr(2);
        if (rest.rfind("localhost/", 0) == 0) rest = rest.substr(9);
        if (rest.empty() || rest[0] != '/') return std::nullopt;  // another host
    }
    return unescape(rest);
}

std::string normalPath(const std::string& path) {
    std::error_code ec;
    fs::path result = fs::weakly_canonical(fs::absolute(path, ec), ec);
    if (ec) result = fs::absolute(path, ec).lexically_normal();
    return result.string();
}

}  // namespace trelmo::xml::detail
