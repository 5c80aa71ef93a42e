#include "engine/xml/declaration.h"

namespace trelmo::xml::detail {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool startsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

enum class Utf16 { No, Little, Big };

Utf16 utf16Kind(std::string_view b) {
    if (startsWith(b, "\xFF\xFE") && !startsWith(b, std::string_view("\xFF\xFE\0\0", 4))) return Utf16::Little;
    if (startsWith(b, "\xFE\xFF")) return Utf16::Big;
    if (startsWith(b, std::string_view("<\0?\0", 4))) return Utf16::Little;
    if (startsWith(b, std::string_view("\0<\0?", 4))) return Utf16::Big;
    return Utf16::No;
}

// The start of UTF-16 text as ASCII, up to the first other character.
std::string narrow(std::string_view b, Utf16 kind) {
    std::string out;
    std::size_t i = (startsWith(b, "\xFF\xFE") || startsWith(b, "\xFE\xFF")) ? 2 : 0;
    for (; i + 1 < b.size() && out.size() < 1024; i += 2) {
        const auto lo = static_cast<unsigned char>(kind == Utf16::Little ? b[i] : b[i + 1]);
        const auto hi = static_cast<unsigned char>(kind == Utf16::Little ? b[i + 1] : b[i]);
        if (hi != 0 || lo >= 0x80) break;
        out += static_cast<char>(lo);
    }
    return out;
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

std::optional<std::string> declarationData(std::string_view text) {
    if (startsWith(text, "\xEF\xBB\xBF")) text.remove_prefix(3);
    if (!startsWith(text, "<?xml") || text.size() < 6 || !isBlank(text[5])) return std::nullopt;
    const std::size_t end = text.find("?>", 5);
    if (end == std::string_view::npos) return std::nullopt;
    return std::string(trim(text.substr(5, end - 5)));
}

// A reader for the pseudo-attributes of a declaration.
class Scanner {
public:
    explicit Scanner(std::string_view text) : text_(text) {}

    bool blanks() {
        const std::size_t start = pos_;
        while (pos_ < text_.size() && isBlank(text_[pos_])) ++pos_;
        return pos_ > start;
    }
    bool word(std::string_view w) {
        if (text_.substr(pos_, w.size()) != w) return false;
        pos_ += w.size();
        return true;
    }
    // Eq and a quoted value.
    std::optional<std::string> value() {
        blanks();
        if (!word("=")) return std::nullopt;
        blanks();
        if (pos_ >= text_.size() || (text_[pos_] != '"' && text_[pos_] != '\'')) return std::nullopt;
        const char quote = text_[pos_++];
        const std::size_t end = text_.find(quote, pos_);
        if (end == std::string_view::npos) return std::nullopt;
        std::string result(text_.substr(pos_, end - pos_));
        pos_ = end + 1;
        return result;
    }
    bool atEnd() const { return pos_ == text_.size(); }
    std::size_t pos() const { return pos_; }
    void rewind(std::size_t pos) { pos_ = pos; }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

bool isVersion(std::string_view v) {
    if (v.size() < 3 || !startsWith(v, "1.")) return false;
    for (char c : v.substr(2)) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

bool isEncName(std::string_view v) {
    if (v.empty() || !((v[0] >= 'A' && v[0] <= 'Z') || (v[0] >= 'a' && v[0] <= 'z'))) return false;
    for (char c : v) {
        const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' ||
                        c == '_' || c == '-';
        if (!ok) return false;
    }
    return true;
}

}  // namespace

std::optional<std::string> declarationInSource(std::string_view bytes) {
    const Utf16 kind = utf16Kind(bytes);
    if (kind == Utf16::No) return declarationData(bytes);
    return declarationData(narrow(bytes, kind));
}

std::string sourceEncoding(std::string_view bytes) {
    if (startsWith(bytes, "\xEF\xBB\xBF")) return {};
    switch (utf16Kind(bytes)) {
    case Utf16::Little:
        return "UTF-16LE";
    case Utf16::Big:
        return "UTF-16BE";
    case Utf16::No:
        break;
    }
    const auto data = declarationData(bytes);
    if (!data) return {};
    // Lenient: only the encoding pseudo-attribute matters here.
    const std::size_t at = data->find("encoding");
    if (at == std::string::npos) return {};
    Scanner scan(std::string_view(*data).substr(at + 8));
    const auto value = scan.value();
    return value && isEncName(*value) ? *value : std::string();
}

std::optional<DeclarationFields> parseDeclaration(std::string_view data) {
    Scanner scan(data);
    DeclarationFields fields;
    scan.blanks();
    if (!scan.word("version")) return std::nullopt;
    auto version = scan.value();
    if (!version || !isVersion(*version)) return std::nullopt;
    fields.version = *version;

    std::size_t mark = scan.pos();
    if (scan.blanks() && scan.word("encoding")) {
        auto encoding = scan.value();
        if (!encoding || !isEncName(*encoding)) return std::nullopt;
        fields.encoding = *encoding;
    } else {
        scan.rewind(mark);
    }
    mark = scan.pos();
    if (scan.blanks() && scan.word("standalone")) {
        auto standalone = scan.value();
        if (!standalone || (*standalone != "yes" && *standalone != "no")) return std::nullopt;
        fields.standalone = *standalone;
    } else {
        scan.rewind(mark);
    }
    scan.blanks();
    if (!scan.atEnd()) return std::nullopt;
    return fields;
}

}  // namespace trelmo::xml::detail
