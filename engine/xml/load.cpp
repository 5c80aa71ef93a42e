// Loading: a synchronous parse, validation when the document declares a
// document type, and the parse error of a file that does not load.
#include <fcntl.h>
#include <libxml/parserInternals.h>
#include <libxml/uri.h>
#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <filesystem>
#include <optional>

#include "engine/error.h"
#include "engine/io/file_io.h"
#include "engine/io/os_error.h"
#include "engine/xml/declaration.h"
#include "engine/xml/doc_state.h"
#include "engine/xml/encoding.h"
#include "engine/xml/entity_loader.h"
#include "engine/xml/library.h"
#include "engine/xml/parse_errors.h"
#include "engine/xml/source_text.h"

namespace trelmo::xml {

using namespace detail;

namespace {

// No network, no dictionary (nodes move between documents), no entity
// substitution, no depth or size limits lifted.
constexpr int kOptions = XML_PARSE_NONET | XML_PARSE_NODICT | XML_PARSE_BIG_LINES;
constexpr int kValidating = kOptions | XML_PARSE_DTDLOAD | XML_PARSE_DTDVALID;

// Larger than any real schema: what is read beyond it is not one.
constexpr std::size_t kLargestSchema = std::size_t{256} << 20;

ParseError fileError(long code, std::string reason) {
    ParseError error;
    error.errorCode = code;
    error.reason = std::move(reason);
    return error;
}

ParseError readError(const std::string& path, int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return fileError(XML_IO_ENOENT, "ファイル " + path + " が見つかりません。");
    case EACCES:
    case EPERM:
        return fileError(XML_IO_EACCES, "ファイル " + path + " を開けません: " + osErrorText(error));
    case EISDIR:
        return fileError(XML_IO_EISDIR, path + " はフォルダーです。ファイルを指定してください。");
    default:
        return fileError(XML_IO_EIO, "ファイル " + path + " を読めません: " + osErrorText(error));
    }
}

// Reads the whole file; on failure fills `error` with a reason naming the file.
bool readSource(const std::string& path, std::string& bytes, ParseError& error, SourceFile source) {
    if (path.empty()) {
        error = fileError(XML_IO_ENOENT, "ファイル名が指定されていません。");
        return false;
    }
    if (fileio::isBlankPath(path)) {
        error = fileError(XML_IO_ENOENT, "ファイル " + fileio::bracketed(path) + " を開けません: ファイル名が空白だけです。");
        return false;
    }
    const bool regularOnly = source == SourceFile::RegularOnly;
    fileio::Fd fd(fileio::open(path.c_str(), regularOnly ? O_RDONLY | O_NONBLOCK | O_NOCTTY : O_RDONLY));
    if (fd.get() < 0) {
        error = readError(path, errno);
        return false;
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        error = readError(path, errno);
        return false;
    }
    if (S_ISDIR(info.st_mode)) {
        error = readError(path, EISDIR);
        return false;
    }
    if (regularOnly && !S_ISREG(info.st_mode)) {
        error = fileError(XML_IO_EACCES, "ファイル " + path + " を開けません: 通常のファイルではありません。");
        return false;
    }
    const auto tooLarge = [&] {
        error = fileError(XML_IO_EFBIG, "ファイル " + path + " が大きすぎます。スキーマは " +
                                            std::to_string(kLargestSchema >> 20) + " MiB までです。");
        return false;
    };
    if (S_ISREG(info.st_mode)) {
        if (static_cast<std::uintmax_t>(info.st_size) > kLargestSchema) return tooLarge();
        bytes.reserve(static_cast<std::size_t>(info.st_size));
    }
    char chunk[1 << 16];
    while (true) {
        const ssize_t got = fileio::read(fd.get(), chunk, sizeof chunk);
        if (got == 0) break;
        if (got < 0) {
            error = readError(path, errno);
            return false;
        }
        // A device or a pipe that never ends (/dev/zero) stops here.
        if (bytes.size() + static_cast<std::size_t>(got) > kLargestSchema) return tooLarge();
        bytes.append(chunk, static_cast<std::size_t>(got));
    }
    if (S_ISREG(info.st_mode) && bytes.size() < static_cast<std::size_t>(info.st_size)) {
        error = fileError(XML_IO_EIO, "ファイル " + path + " を読めません: " + kChangedWhileRead);
        return false;
    }
    if (fd.reset() != 0) {
        error = readError(path, errno);
        return false;
    }
    return true;
}

// The file as a URI, the base for a relative system identifier.
std::string urlFor(const std::string& path) {
    std::error_code ec;
    const std::string absolute = std::filesystem::absolute(path, ec).string();
    const std::string& chosen = ec ? path : absolute;
    XmlString uri(xmlPathToURI(BAD_CAST chosen.c_str()));
    return uri ? text(uri.get()) : path;
}

// The bytes in UTF-8 when they declare another encoding (not UTF-16) that
// iconv converts without error; nullopt otherwise, and libxml2 converts them
// itself and reports any bad byte.
std::optional<std::string> declaredToUtf8(std::string_view bytes) {
    const std::string declared = sourceEncoding(bytes);
    if (declared.empty() || isUtf8Name(declared) || declared.rfind("UTF-16", 0) == 0) return std::nullopt;
    IconvPtr cd = openIconv("UTF-8", iconvName(declared).c_str());
    if (!cd) return std::nullopt;
    std::string out(bytes.size() * 4 + 16, '\0');
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char* outPos = out.data();
    std::size_t outLeft = out.size();
    if (iconv(cd.get(), &in, &inLeft, &outPos, &outLeft) == static_cast<std::size_t>(-1)) return std::nullopt;
    if (iconv(cd.get(), nullptr, nullptr, &outPos, &outLeft) == static_cast<std::size_t>(-1)) return std::nullopt;
    out.resize(static_cast<std::size_t>(outPos - out.data()));
    return out;
}

// One parse of the bytes; `ok` says whether it met every condition of a load.
XmlDocPtr parse(std::string_view bytes, const std::string& url, int options, LoadPolicy& policy,
                ErrorCollector& errors, bool& ok) {
    ok = false;
    if (bytes.empty()) {
        errors.record(XML_ERR_DOCUMENT_EMPTY, "文書が空です。", 1, 1);
        return nullptr;
    }
    if (bytes.size() > static_cast<std::size_t>(INT_MAX)) {
        errors.record(XML_IO_EFBIG, "ファイルが大きすぎます。", 0, 0);
        return nullptr;
    }
    // Text in a declared encoding other than UTF-8 is read as UTF-8 converted
    // beforehand: libxml2's own conversion, done piece by piece, misreads long
    // names that cross its pieces (a hundred kanji in Shift_JIS or EUC-JP).
    const std::optional<std::string> utf8 = declaredToUtf8(bytes);
    const std::string_view input = utf8 ? std::string_view(*utf8) : bytes;
    if (utf8) options |= XML_PARSE_IGNORE_ENC;
    ParserCtxtPtr ctxt(xmlCreateMemoryParserCtxt(input.data(), static_cast<int>(input.size())));
    if (!ctxt) throw std::bad_alloc();
    if (!url.empty() && ctxt->input && !ctxt->input->filename) {
        ctxt->input->filename = reinterpret_cast<char*>(xmlStrdup(BAD_CAST url.c_str()));
    }
    ctxt->_private = &policy;
    policy.document = ctxt.get();
    xmlCtxtUseOptions(ctxt.get(), options);

    {
        ErrorCapture capture(errors);
        xmlParseDocument(ctxt.get());
    }
    // The parser takes a NUL for the end of the text: what follows it after
    // the document element would pass unseen.
    const xmlParserInput* rest = ctxt->input;
    if (ctxt->wellFormed && rest && rest->cur && rest->cur < rest->end) {
        errors.record(XML_ERR_DOCUMENT_END, "最上位の要素の後に NUL 文字 (U+0000) があります。", rest->line, rest->col);
    }
    policy.document = nullptr;
    XmlDocPtr doc(ctxt->myDoc);
    ctxt->myDoc = nullptr;
    const bool validating = (options & XML_PARSE_DTDVALID) != 0;
    ok = doc && ctxt->wellFormed && ctxt->nsWellFormed && (!validating || ctxt->valid) && !errors.found();
    if (!ok && !errors.found()) errors.record(XML_ERR_INTERNAL_ERROR, "XML を読み込めませんでした。", 0, 0);
    return doc;
}

// The external subset the document type names, if it is a local file.
std::string allowedSubset(const xmlDtd* dtd, const std::string& url) {
    if (!dtd->SystemID) return {};
    XmlString uri(xmlBuildURI(dtd->SystemID, url.empty() ? nullptr : BAD_CAST url.c_str()));
    const auto local = localPath(uri ? text(uri.get()) : text(dtd->SystemID));
    return local ? normalPath(*local) : std::string();
}

void prependDeclaration(xmlDoc* doc, const std::string& data) {
    xmlNode* pi = xmlNewDocPI(doc, BAD_CAST "xml", BAD_CAST data.c_str());
    if (!pi) throw std::bad_alloc();
    xmlNode* top = docNode(doc);
    pi->parent = top;
    pi->next = top->children;
    if (top->children) {
        top->children->prev = pi;
    } else {
        top->last = pi;
    }
    top->children = pi;
}

void fillSourceText(ParseError& error, const std::string& file, std::string_view bytes, const std::string& url) {
    if (file.empty() || file == url) {
        error.srcText = sourceLine(bytes, error.line, error.linePos);
        return;
    }
    // An error inside the external subset: show that file's line.
    const auto local = localPath(file);
    std::string other;
    ParseError ignored;
    if (local && readSource(*local, other, ignored, SourceFile::RegularOnly)) {
        error.srcText = sourceLine(other, error.line, error.linePos);
    }
    error.reason += "（ファイル: " + (local ? *local : file) + "）";
}

std::shared_ptr<DocState> loadBytes(std::string_view bytes, const std::string& url) {
    initLibrary();
    ErrorCollector errors;
    LoadPolicy policy;
    policy.errors = &errors;
    bool ok = false;
    XmlDocPtr doc = parse(bytes, url, kOptions, policy, errors, ok);
    if (ok && doc->intSubset) {
        // A document type: parse again, validating; the first tree is the one kept.
        policy.allowedFile = allowedSubset(doc->intSubset, url);
        parse(bytes, url, kValidating, policy, errors, ok);
    }
    if (!ok) {
        auto state = std::make_shared<DocState>(newEmptyDoc());
        state->parseError = errors.first();
        fillSourceText(state->parseError, errors.file(), bytes, url);
        return state;
    }
    if (const auto data = declarationInSource(bytes)) prependDeclaration(doc.get(), *data);
    auto state = std::make_shared<DocState>(std::move(doc));
    state->lineEnds = lineEndsOf(bytes);
    state->filesRead = std::move(policy.filesRead);
    return state;
}

}  // namespace

bool Document::load(const std::string& path, SourceFile source) {
    std::string bytes;
    ParseError error;
    if (!readSource(path, bytes, error, source)) {
        state_ = std::make_shared<DocState>(newEmptyDoc());
        error.url = path;
        state_->parseError = std::move(error);
        return false;
    }
    state_ = loadBytes(bytes, urlFor(path));
    state_->parseError.url = path;
    return state_->parseError.errorCode == 0;
}

bool Document::loadXml(std::string_view text) {
    state_ = loadBytes(text, {});
    return state_->parseError.errorCode == 0;
}

}  // namespace trelmo::xml
