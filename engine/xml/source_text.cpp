#include "engine/xml/source_text.h"

#include "engine/xml/declaration.h"
#include "engine/xml/encoding.h"

namespace trelmo::xml::detail {
namespace {

constexpr std::size_t kLongest = 400;  // bytes of UTF-8 shown at most, roughly

std::string_view nthLine(std::string_view text, long line) {
    std::size_t start = 0;
    for (long i = 1; i < line; ++i) {
        const std::size_t lf = text.find('\n', start);
        if (lf == std::string_view::npos) return {};
        start = lf + 1;
    }
    const std::size_t lf = text.find('\n', start);
    std::string_view result = text.substr(start, lf == std::string_view::npos ? std::string_view::npos : lf - start);
    if (!result.empty() && result.back() == '\r') result.remove_suffix(1);
    return result;
}

bool isContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

std::string window(const std::string& text, long column) {
    if (text.size() <= kLongest) return text;
    std::size_t begin = column > static_cast<long>(kLongest / 2) ? static_cast<std::size_t>(column) - kLongest / 2 : 0;
    if (begin > text.size() - kLongest) begin = text.size() - kLongest;
    std::size_t end = begin + kLongest;
    while (begin > 0 && isContinuation(text[begin])) --begin;
    while (end < text.size() && isContinuation(text[end])) ++end;
    return (begin > 0 ? "…" : "") + text.substr(begin, end - begin) + (end < text.size() ? "…" : "");
}

}  // namespace

std::string sourceLine(std::string_view bytes, long line, long column) {
    if (line <= 0) return {};
    const std::string encoding = sourceEncoding(bytes);
    std::string text;
    if (encoding.rfind("UTF-16", 0) == 0) {
        const std::string all = decodeLossy(bytes, encoding);
        text = std::string(nthLine(all, line));
    } else {
        text = decodeLossy(nthLine(bytes, line), encoding);
    }
    if (line == 1 && text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
    return window(text, column);
}

}  // namespace trelmo::xml::detail
