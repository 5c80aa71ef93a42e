#include "ui/preview/xml_indent.h"

#include <vector>

namespace trelmo::ui {
namespace {

enum class Kind { Start, End, Empty, Other, Text };

struct Token {
    Kind kind;
    std::string_view text;
};

// The end of the markup that starts at i, past its last character.
std::size_t markupEnd(std::string_view xml, std::size_t i) {
    const auto past = [&](std::string_view mark) {
        const std::size_t at = xml.find(mark, i);
        return at == std::string_view::npos ? xml.size() : at + mark.size();
    };
    if (xml.substr(i, 4) == "<!--") return past("-->");
    if (xml.substr(i, 9) == "<![CDATA[") return past("]]>");
    if (xml.substr(i, 2) == "<?") return past("?>");
    char quote = 0;
    for (std::size_t j = i + 1; j < xml.size(); ++j) {
        const char c = xml[j];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return j + 1;
        }
    }
    return xml.size();
}

std::vector<Token> tokens(std::string_view xml) {
    std::vector<Token> out;
    std::size_t i = 0;
    while (i < xml.size()) {
        if (xml[i] != '<') {
            const std::size_t lt = xml.find('<', i);
            const std::size_t end = lt == std::string_view::npos ? xml.size() : lt;
            out.push_back({Kind::Text, xml.substr(i, end - i)});
            i = end;
            continue;
        }
        const std::size_t end = markupEnd(xml, i);
        const std::string_view t = xml.substr(i, end - i);
        Kind kind = Kind::Start;
        if (t.size() > 1 && (t[1] == '!' || t[1] == '?'))
            kind = Kind::Other;
        else if (t.size() > 1 && t[1] == '/')
            kind = Kind::End;
        else if (t.size() > 2 && t[t.size() - 2] == '/')
            kind = Kind::Empty;
        out.push_back({kind, t});
        i = end;
    }
    return out;
}

}  // namespace

std::string IndentXml(std::string_view xml, std::string_view indent) {
    const std::vector<Token> list = tokens(xml);
    std::string out;
    out.reserve(xml.size() + xml.size() / 4);
    std::size_t depth = 0;
    const auto line = [&](std::string_view text) {
        if (!out.empty()) out += '\n';
        for (std::size_t d = 0; d < depth; ++d) out += indent;
        out += text;
    };
    for (std::size_t i = 0; i < list.size(); ++i) {
        const Token& t = list[i];
        const auto next = [&](std::size_t k) { return i + k < list.size() ? list[i + k].kind : Kind::Other; };
        if (t.kind == Kind::Start && next(1) == Kind::Text && next(2) == Kind::End) {
            line(std::string(t.text) + std::string(list[i + 1].text) + std::string(list[i + 2].text));
            i += 2;
        } else if (t.kind == Kind::Start && next(1) == Kind::End) {
            line(std::string(t.text) + std::string(list[i + 1].text));
            i += 1;
        } else if (t.kind == Kind::Start) {
            line(t.text);
            ++depth;
        } else if (t.kind == Kind::End) {
            if (depth > 0) --depth;
            line(t.text);
        } else if (t.kind == Kind::Text && depth == 0 &&
                   t.text.find_first_not_of(" \t\r\n") == std::string_view::npos) {
            // the line breaks around the root, which the layout makes anyway
        } else {
            line(t.text);
        }
    }
    return out;
}

}  // namespace trelmo::ui
