#include "engine/xml/xml_writer.h"

#include <array>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

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

// For each context, the printable ASCII characters it replaces or refuses
// (0 fills the rest: control characters are looked at anyway).
constexpr std::array<std::array<char, 4>, kContexts> kSpecials{{
    {'&', '<', '>', 0},    // Text
    {'&', '<', '>', '"'},  // Attribute
    {']', 0, 0, 0},        // CData
    {'-', 0, 0, 0},        // Comment
    {'?', 0, 0, 0},        // PiData
    {0, 0, 0, 0},          // Name
    {0, 0, 0, 0},          // Dtd
}};

// The first byte from p on that is not printable ASCII or is one of the
// context's specials, sixteen bytes at a time; the caller looks at it.
inline const unsigned char* skipPrintable(Context context, const unsigned char* p, const unsigned char* end) {
#ifdef __SSE2__
    const auto& specials = kSpecials[static_cast<std::size_t>(context)];
    const __m128i space = _mm_set1_epi8(0x20);
    const __m128i s0 = _mm_set1_epi8(specials[0]);
    const __m128i s1 = _mm_set1_epi8(specials[1]);
    const __m128i s2 = _mm_set1_epi8(specials[2]);
    const __m128i s3 = _mm_set1_epi8(specials[3]);
    while (end - p >= 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        // Signed: bytes of 0x80 and above count as below the space too.
        __m128i hit = _mm_cmplt_epi8(v, space);
        hit = _mm_or_si128(hit, _mm_or_si128(_mm_cmpeq_epi8(v, s0), _mm_cmpeq_epi8(v, s1)));
        hit = _mm_or_si128(hit, _mm_or_si128(_mm_cmpeq_epi8(v, s2), _mm_cmpeq_epi8(v, s3)));
        const int mask = _mm_movemask_epi8(hit);
        if (mask != 0) return p + __builtin_ctz(static_cast<unsigned>(mask));
        p += 16;
    }
#endif
    const auto& plain = kPlain[static_cast<std::size_t>(context)];
    while (p < end && *p >= 0x20 && *p < 0x80 && plain[*p]) ++p;
    return p;
}

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
    : encoding_(encoding), sink_(sink), buffer_(kBufferSize), byTable_(encoding.encodesByTable()) {
    encoding_.begin(sink_);
}

void XmlWriter::flush() {
    if (used_ == 0) return;
    write(buffer_.data(), used_);
    used_ = 0;
}

bool XmlWriter::putOutsideTable(char32_t cp) {
    // Beyond the BMP the table has nothing: iconv's own bytes, if the character has any.
    if (cp < 0x10000 || !encoding_.canEncode(cp)) return false;
    std::string utf8;
    appendUtf8(utf8, cp);
    flush();
    encoding_.encode(utf8.data(), utf8.size(), sink_);
    return true;
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
        if (*p < 0x80) {
            p = skipPrintable(context, p, end);
            if (p == end) break;
        }
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
        if (byTable_) {
            // A run of other characters, each written as its bytes in the table.
            put(reinterpret_cast<const char*>(run), static_cast<std::size_t>(p - run));
            while (p < end && *p >= 0x80) {
                const Decoded d = decodeUtf8(p, end);
                if (d.length == 0) {
                    fail(where(context, owner) + "に UTF-8 として正しくないバイト " + byteName(*p) +
                         " があるため保存できません。");
                }
                if (!isXmlChar(d.cp)) notXmlChar(context, owner, d.cp);
                const std::uint32_t entry = d.cp < 0x10000 ? encoding_.tableBytes(d.cp) : OutputEncoding::kNoBytes;
                if (entry != OutputEncoding::kNoBytes) {
                    if (buffer_.size() - used_ < 4) flush();
                    char* out = buffer_.data() + used_;
                    out[0] = static_cast<char>(entry >> 16);
                    out[1] = static_cast<char>(entry >> 8);
                    out[2] = static_cast<char>(entry);
                    used_ += entry >> 24;
                } else if (!putOutsideTable(d.cp)) {
                    unencodable(context, d.cp, owner);
                }
                p += d.length;
            }
            run = p;
            continue;
        }
        // Three-byte characters of U+1000 to U+CFFF and U+E000 to U+FFBF are all XML
        // characters: they pass when the encoding holds them.
        if (end - p >= 3 && (p[1] & 0xC0) == 0x80 && (p[2] & 0xC0) == 0x80 &&
            ((c >= 0xE1 && c <= 0xEC) || c == 0xEE || (c == 0xEF && p[1] != 0xBF))) {
            if (encoding_.coversUnicode()) {
                p += 3;
                continue;
            }
            const char32_t cp = (static_cast<char32_t>(c & 0x0F) << 12) | (static_cast<char32_t>(p[1] & 0x3F) << 6) |
                                (p[2] & 0x3F);
            if (encoding_.canEncode(cp)) {
                p += 3;
                continue;
            }
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
