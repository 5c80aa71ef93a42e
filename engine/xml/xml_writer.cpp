#include "engine/xml/xml_writer.h"

#include <array>

#include "engine/error.h"
#include "engine/xml/utf8.h"

namespace trelmo::xml::detail {
namespace {

constexpr std::size_t kBufferSize = 1 << 18;
constexpr std::size_t kContexts = 7;

// For each context, the ASCII bytes that are copied unchanged.
constexpr std::array<std::array<bool, 128>, kContexts> makePlainTables() {
    std::array<std::array<bool, 128>, kContexts> tables{};
    for (std::size_t context = 0; context < kContexts; ++context) {
        for (int c = 0; c < 128; ++c) {
            bool plain = c >= 0x20 || c == '\t' || c == '\n' || c == '\r';
            switch (static_cast<Context>(context)) {
            case Context::Text:
                plain = plain && c != '&' && c != '<' && c != '>' && c != '\r';
                break;
            case Context::Attribute:
                plain = plain && c != '&' && c != '<' && c != '>' && c != '"' && c != '\r' && c != '\n' && c != '\t';
                break;
            case Context::CData:
                plain = plain && c != ']' && c != '\r';
                break;
            case Context::Comment:
                plain = plain && c != '-';
                break;
            case Context::PiData:
                plain = plain && c != '?';
                break;
            case Context::Name:
            case Context::Dtd:
                break;
            }
            tables[context][static_cast<std::size_t>(c)] = plain;
        }
    }
    return tables;
}

constexpr auto kPlain = makePlainTables();

std::string where(Context context, std::string_view owner) {
    const std::string name(owner);
    switch (context) {
    case Context::Text:
        return "テキスト";
    case Context::Attribute:
        return "属性 " + name + " の値";
    case Context::CData:
        return "CDATA セクション";
    case Context::Comment:
        return "コメント";
    case Context::PiData:
        return "処理命令 " + name + " のデータ";
    case Context::Name:
        return "名前 " + name;
    case Context::Dtd:
        return "文書型宣言";
    }
    return {};
}

[[noreturn]] void fail(std::string description) { throw RuntimeError(err::XmlSave, std::move(description)); }

[[noreturn]] void notXmlChar(Context context, std::string_view owner, char32_t cp) {
    fail(where(context, owner) + "に XML で使えない文字 " + codePointName(cp) + " があるため保存できません。");
}

std::string reference(char32_t cp) { return "&#" + std::to_string(static_cast<unsigned long>(cp)) + ";"; }

}  // namespace

XmlWriter::XmlWriter(OutputEncoding& encoding, ByteSink& sink)
    : encoding_(encoding), sink_(sink), buffer_(kBufferSize) {
    encoding_.begin(sink_);
}

void XmlWriter::flush() {
    if (used_ == 0) return;
    encoding_.encode(buffer_.data(), used_, sink_);
    used_ = 0;
}

void XmlWriter::finish() {
    flush();
    encoding_.end(sink_);
}

void XmlWriter::content(Context context, std::string_view utf8, std::string_view owner) {
    const auto& plain = kPlain[static_cast<std::size_t>(context)];
    auto p = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto end = p + utf8.size();
    auto run = p;  // start of the bytes not yet written
    while (p < end) {
        const unsigned char c = *p;
        if (c < 0x80) {
            if (plain[c]) {
                ++p;
                continue;
            }
            put(reinterpret_cast<const char*>(run), static_cast<std::size_t>(p - run));
            p = run = special(context, p, end, owner);
            continue;
        }
        const Decoded d = decodeUtf8(p, end);
        if (d.length == 0) {
            fail(where(context, owner) + "に UTF-8 として正しくないバイト " + byteName(c) + " があるため保存できません。");
        }
        if (!isXmlChar(d.cp)) notXmlChar(context, owner, d.cp);
        if (!encoding_.canEncode(d.cp)) {
            put(reinterpret_cast<const char*>(run), static_cast<std::size_t>(p - run));
            unencodable(context, d.cp, owner);
            run = p + d.length;
        }
        p += d.length;
    }
    put(reinterpret_cast<const char*>(run), static_cast<std::size_t>(p - run));
}

const unsigned char* XmlWriter::special(Context context, const unsigned char* p, const unsigned char* end,
                                        std::string_view owner) {
    const unsigned char c = *p;
    switch (c) {
    case '&':
        markup("&amp;");
        return p + 1;
    case '<':
        markup("&lt;");
        return p + 1;
    case '>':
        markup("&gt;");
        return p + 1;
    case '"':
        markup("&quot;");
        return p + 1;
    case '\n':
        markup("&#10;");
        return p + 1;
    case '\t':
        markup("&#9;");
        return p + 1;
    case '\r':
        markup(context == Context::CData ? "]]>&#13;<![CDATA[" : "&#13;");
        return p + 1;
    case ']':
        // "]]>" cannot stay inside one section: end it between "]]" and ">".
        if (end - p >= 3 && p[1] == ']' && p[2] == '>') {
            markup("]]]]><![CDATA[>");
            return p + 3;
        }
        markup("]");
        return p + 1;
    case '-':
        // No "--" in a comment and no "-" at its end.
        markup(p + 1 == end || p[1] == '-' ? "- " : "-");
        return p + 1;
    case '?':
        if (p + 1 < end && p[1] == '>') fail(where(context, owner) + "に \"?>\" があるため保存できません。");
        markup("?");
        return p + 1;
    default:
        notXmlChar(context, owner, c);
    }
}

void XmlWriter::unencodable(Context context, char32_t cp, std::string_view owner) {
    switch (context) {
    case Context::Text:
    case Context::Attribute:
    case Context::Comment:
    case Context::Dtd:
        markup(reference(cp));
        return;
    case Context::CData:
        markup("]]>" + reference(cp) + "<![CDATA[");
        return;
    case Context::PiData:
    case Context::Name:
        fail(where(context, owner) + "の文字 " + codePointName(cp) + " はエンコーディング " + encoding_.name() +
             " で書けないため保存できません。");
    }
}

}  // namespace trelmo::xml::detail
