#include "engine/xml/parse_errors.h"

#include <libxml/globals.h>

namespace trelmo::xml::detail {
namespace {

void collect(void* context, xmlError* error) {
    if (error) static_cast<ErrorCollector*>(context)->record(*error);
}

void silent(void*, const char*, ...) {}

std::string trimmed(const char* message) {
    std::string text = message ? message : "";
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
    return text;
}

}  // namespace

void ErrorCollector::record(const xmlError& error) {
    if (found_ || error.level < XML_ERR_ERROR) return;
    // libxml2 names an expansion past its bounds (a few entities that refer
    // to each other many times over) as it names a loop.
    std::string reason = error.code == XML_ERR_ENTITY_LOOP
                             ? "実体参照を展開すると大きくなりすぎるか、実体参照が循環しています。"
                             : trimmed(error.message);
    if (reason.empty()) reason = "XML の解析エラー (コード " + std::to_string(error.code) + ")";
    record(error.code, std::move(reason), error.line, error.int2, error.file ? error.file : "");
}

void ErrorCollector::record(long code, std::string reason, long line, long column, std::string file) {
    if (found_) return;
    found_ = true;
    file_ = std::move(file);
    first_.errorCode = code != 0 ? code : -1;
    first_.reason = std::move(reason);
    first_.line = line;
    first_.linePos = column;
}

ErrorCapture::ErrorCapture(ErrorCollector& errors)
    : previousHandler_(xmlStructuredError),
      previousContext_(xmlStructuredErrorContext),
      previousGeneric_(xmlGenericError),
      previousGenericContext_(xmlGenericErrorContext) {
    xmlSetStructuredErrorFunc(&errors, collect);
    xmlSetGenericErrorFunc(nullptr, silent);
}

ErrorCapture::~ErrorCapture() {
    xmlSetStructuredErrorFunc(previousContext_, previousHandler_);
    xmlSetGenericErrorFunc(previousGenericContext_, previousGeneric_);
}

}  // namespace trelmo::xml::detail
