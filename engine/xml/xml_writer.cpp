#include "engine/xml/xml_writer.h"

#include <array>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "engine/error.h"
#include "engine/text/cp932_block.h"
#include "engine/xml/xml_char.h"
#include "engine/xml/utf8_block.h"

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

#ifdef __SSE2__
// kSpecials as vectors, each character in all sixteen bytes.
struct alignas(16) Bytes16 {
    char bytes[16];
};

constexpr std::array<std::array<Bytes16, 4>, kContexts> makeSpecialVectors() {
    std::array<std::array<Bytes16, 4>, kContexts> vectors{};
    for (std::size_t context = 0; context < kContexts; ++context) {
        for (std::size_t k = 0; k < 4; ++k) {
            for (char& byte : vectors[context][k].bytes) byte = kSpecials[context][k];
        }
    }
    return vectors;
}

constexpr auto kSpecialVectors = makeSpecialVectors();

// A mask of the bytes of v that are one of the context's specials.
inline unsigned specialBytes(const std::array<Bytes16, 4>& specials, __m128i v) {
    const auto special = [&](std::size_t k) {
        return _mm_cmpeq_epi8(v, _mm_load_si128(reinterpret_cast<const __m128i*>(specials[k].bytes)));
    };
    return static_cast<unsigned>(
        _mm_movemask_epi8(_mm_or_si128(_mm_or_si128(special(0), special(1)), _mm_or_si128(special(2), special(3)))));
}
#endif

// The first byte from p on that is not printable ASCII or is one of the
// context's specials, sixteen bytes at a time; the caller looks at it.
inline const unsigned char* skipPrintable(Context context, const unsigned char* p, const unsigned char* end) {
#ifdef __SSE2__
    const auto& specials = kSpecialVectors[static_cast<std::size_t>(context)];
    const __m128i space = _mm_set1_epi8(0x20);
    for (;;) {
        const auto left = static_cast<std::size_t>(end - p);
        if (left == 0) return p;
        // The padding is spaces, which stop nothing.
        const __m128i v = left >= 16 ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)) : loadPadded(p, left);
        // Signed: bytes of 0x80 and above count as below the space too.
        const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmplt_epi8(v, space))) | specialBytes(specials, v);
        if (mask != 0) return p + __builtin_ctz(mask);
        if (left <= 16) return end;
        p += 16;
    }
#else
    const auto& plain = kPlain[static_cast<std::size_t>(context)];
    while (p < end && *p >= 0x20 && *p < 0x80 && plain[*p]) ++p;
    return p;
#endif
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

[[noreturn, gnu::cold, gnu::noinline]] void notXmlChar(Context context, std::string_view owner, char32_t cp) {
    fail(where(context, owner) + "に XML で使えない文字 " + codePointName(cp) + " があるため保存できません。");
}

[[noreturn, gnu::cold, gnu::noinline]] void notUtf8(Context context, std::string_view owner, unsigned char byte) {
    fail(where(context, owner) + "に UTF-8 として正しくないバイト " + byteName(byte) + " があるため保存できません。");
}

[[noreturn, gnu::cold, gnu::noinline]] void notCp932(Context context, std::string_view owner, unsigned char byte) {
    fail(where(context, owner) + "に Shift_JIS (CP932) として正しくないバイト " + byteName(byte) + " があるため保存できません。");
}

std::string reference(char32_t cp) { return "&#" + std::to_string(static_cast<unsigned long>(cp)) + ";"; }

}  // namespace

XmlWriter::XmlWriter(OutputEncoding& encoding, ByteSink& sink)
    : encoding_(encoding),
      sink_(sink),
      buffer_(kBufferSize),
      byTable_(encoding.encodesByTable()),
      unicode_(!byTable_ && encoding.coversUnicode()) {
    encoding_.begin(sink_);
}

void XmlWriter::flush() {
    ++flushes_;
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
#ifdef __SSE2__
    if (unicode_) {
        // Sixteen bytes at a time, each block starting at a character: what
        // unplainBytes vouches for passes unchanged; a special is replaced;
        // from anything else on, the loop below goes character by character.
        const auto& specials = kSpecialVectors[static_cast<std::size_t>(context)];
        for (;;) {
            const auto left = static_cast<std::size_t>(end - p);
            const __m128i v = left >= 16 ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)) : loadPadded(p, left);
            const unsigned bad = unplainBytes(v);
            const unsigned stops = bad | specialBytes(specials, v);
            if (stops == 0) {
                if (left < 16) {
                    p = end;
                    break;
                }
                p += 16 - pendingLead(p);
                if (p == end) break;
                continue;
            }
            const unsigned at = static_cast<unsigned>(__builtin_ctz(stops));
            if ((bad >> at) & 1) break;
            put(reinterpret_cast<const char*>(run), static_cast<std::size_t>(p + at - run));
            p = run = special(context, p + at, end, owner);
        }
    }
#endif
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
            put(reinterpret_cast<const char*>(run), static_cast<std::size_t>(p - run));
            p = run = putByTable(context, p, end, owner);
            continue;
        }
        // Three-byte characters that XML holds pass when the encoding holds them.
        if (end - p >= 3) {
            const char32_t cp = xmlCharOfThree(p);
            if (cp != 0 && encoding_.canEncode(cp)) {
                p += 3;
                continue;
            }
        }
        const Utf8Char d = decodeUtf8(p, end);
        if (d.length == 0) notUtf8(context, owner, c);
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

const unsigned char* XmlWriter::putByTable(Context context, const unsigned char* p, const unsigned char* end,
                                           std::string_view owner) {
    // Characters up to the next ASCII one the context replaces, each written
    // as its bytes in the table (ASCII as it is), straight into the buffer.
    const auto& plain = kPlain[static_cast<std::size_t>(context)];
    char* out = buffer_.data() + used_;
    char* const last = buffer_.data() + buffer_.size() - 4;  // room for an entry's bytes as one word
    while (p < end) {
        if (*p < 0x80) {
            if (!plain[*p]) break;
            out = roomAt(out, last);
            *out++ = static_cast<char>(*p++);
            continue;
        }
        const Utf8Char d = charAt(p, end);
        if (d.length == 0 || !isXmlChar(d.cp)) {
            used_ = static_cast<std::size_t>(out - buffer_.data());
            if (d.length == 0) notUtf8(context, owner, *p);
            notXmlChar(context, owner, d.cp);
        }
        const char32_t cp = d.cp;
        const std::uint32_t entry = cp < 0x10000 ? encoding_.tableBytes(cp) : OutputEncoding::kNoBytes;
        if (entry != OutputEncoding::kNoBytes) {
            out = roomAt(out, last);
            out = putEntry(out, entry);
        } else {
            used_ = static_cast<std::size_t>(out - buffer_.data());
            if (!putOutsideTable(cp)) unencodable(context, cp, owner);
            out = buffer_.data() + used_;
        }
        p += d.length;
    }
    used_ = static_cast<std::size_t>(out - buffer_.data());
    return p;
}

void XmlWriter::contentCp932(Context context, std::string_view bytes, const Cp932Decoder& cp932,
                             std::string_view owner) {
    if (cp932Table_.empty()) {
        cp932Table_.assign(0x10000, 0);
        cp932Same_.assign(0x10000 / 64, 0);
    }
    std::uint32_t* const table = cp932Table_.data();
    const std::uint64_t* const same = cp932Same_.data();
    const auto& plain = kPlain[static_cast<std::size_t>(context)];
    auto p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto end = p + bytes.size();
    // Each character straight into the buffer: ASCII as it is (a byte below
    // 0x80 at a character's start is a character of its own, the same as in
    // UTF-8), others as the table has their bytes.
    char* out = buffer_.data() + used_;
    char* const last = buffer_.data() + buffer_.size() - 32;  // room for a block and a byte, or a word
#ifdef __SSE2__
    const bool blocks = cp932.standardLeads();
    const auto& specials = kSpecialVectors[static_cast<std::size_t>(context)];
#endif
    while (p < end) {
        out = roomAt(out, last);
        const unsigned char* stop = end;  // where the next block starts
#ifdef __SSE2__
        if (blocks) {
            // Sixteen bytes from a character's start pass as they are when
            // no ASCII character among them is special and every other one
            // is written as its own bytes; the trail of a character across
            // the block's end comes along.
            const auto left = static_cast<std::size_t>(end - p);
            const std::size_t size = left > 16 ? 16 : left;
            alignas(16) unsigned char block[32];
            const __m128i v = left >= 16 ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)) : loadPadded(p, left);
            _mm_store_si128(reinterpret_cast<__m128i*>(block), v);
            block[16] = left > 16 ? p[16] : 0;
            const cp932_block::Characters chars = cp932_block::characters(v, size);
            const unsigned across = chars.across;
            const auto high = static_cast<unsigned>(_mm_movemask_epi8(v));
            const unsigned special =
                (static_cast<unsigned>(_mm_movemask_epi8(_mm_cmplt_epi8(v, _mm_set1_epi8(0x20)))) |
                 specialBytes(specials, v)) & ~high & chars.starts;
            unsigned pass = special == 0 && !(across && left <= 16);
            for (unsigned others = high & chars.starts; others; others &= others - 1) {
                const auto at = static_cast<unsigned>(__builtin_ctz(others));
                const std::size_t code = Cp932Decoder::code(block + at, 1 + (chars.pairs >> at & 1));
                pass &= static_cast<unsigned>(same[code / 64] >> (code % 64));
            }
            if (pass & 1) {
                _mm_storeu_si128(reinterpret_cast<__m128i*>(out), v);
                out[16] = static_cast<char>(block[16]);  // the trail after the block, if any
                out += size + across;
                p += size + across;
                continue;
            }
            stop = p + size + across;
        }
#endif
        // Character by character up to the next block; a replacement may
        // have taken the room, so it is looked at for each character.
        while (p < stop) {
            out = roomAt(out, last);
            const unsigned char c = *p;
            if (c < 0x80) {
                if (plain[c]) {
                    *out++ = static_cast<char>(c);
                    ++p;
                    continue;
                }
                used_ = static_cast<std::size_t>(out - buffer_.data());
                p = special(context, p, end, owner);
                out = buffer_.data() + used_;
                continue;
            }
            const std::size_t length = cp932.lengthAt(p, end);
            const std::size_t code = Cp932Decoder::code(p, length);
            std::uint32_t entry = table[code];
            if (entry == 0) entry = table[code] = cp932Bytes(p, length, cp932);
            if (entry != OutputEncoding::kNoBytes) {
                out = putEntry(out, entry);
            } else {
                // What the table does not hold goes as its UTF-8 does: a
                // reference, or the error naming the character.
                used_ = static_cast<std::size_t>(out - buffer_.data());
                char utf8[4];
                const std::size_t size = cp932.character(p, length, utf8);
                if (size == 0) notCp932(context, owner, c);
                content(context, std::string_view(utf8, size), owner);
                out = buffer_.data() + used_;
            }
            p += length;
        }
    }
    used_ = static_cast<std::size_t>(out - buffer_.data());
}

std::uint32_t XmlWriter::cp932Bytes(const unsigned char* p, std::size_t length, const Cp932Decoder& cp932) {
    const char32_t cp = cp932.codePoint(p, length);
    // No character, ASCII and what XML refuses go the way of UTF-8 text.
    if (cp == Cp932Decoder::kNoCharacter || cp < 0x80 || cp >= 0x10000 || !isXmlChar(cp)) {
        return OutputEncoding::kNoBytes;
    }
    const std::uint32_t entry = encoding_.tableBytes(cp);
    // The character's own bytes: a block holding it may pass as it is.
    const std::size_t code = Cp932Decoder::code(p, length);
    const std::uint32_t own = static_cast<std::uint32_t>(length << 24 | code << (length == 2 ? 8 : 16));
    if (entry == own) cp932Same_[code / 64] |= std::uint64_t{1} << (code % 64);
    return entry;
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
    case Context::Dtd:
        markup(reference(cp));
        return;
    case Context::CData:
        markup("]]>" + reference(cp) + "<![CDATA[");
        return;
    case Context::Comment: {
        // A comment takes no reference: its text would read as the reference itself.
        std::string shown;
        appendUtf8(shown, cp);
        fail(where(context, owner) + "の文字 " + codePointName(cp) + " (" + shown + ") はエンコーディング " +
             encoding_.name() + " で書けないため保存できません（コメントには文字参照を書けません）。");
    }
    case Context::PiData:
    case Context::Name:
        fail(where(context, owner) + "の文字 " + codePointName(cp) + " はエンコーディング " + encoding_.name() +
             " で書けないため保存できません。");
    }
}

}  // namespace trelmo::xml::detail
