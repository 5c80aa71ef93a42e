#include "engine/xml/encoding.h"

#include <libxml/encoding.h>

#include <cerrno>
#include <cstring>

#include "engine/error.h"
#include "engine/xml/xml_char.h"

namespace trelmo::xml::detail {
namespace {

constexpr std::string_view kShiftJisAliases[] = {"SHIFT_JIS", "SJIS", "SHIFT-JIS", "MS_KANJI",
                                                 "CSSHIFTJIS", "WINDOWS-31J", "CP932"};

std::string upper(std::string_view name) {
    std::string result(name);
    for (char& c : result) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return result;
}

const std::string kReplacement = "\xEF\xBF\xBD";

std::string utf8Lossy(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    auto p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto end = p + bytes.size();
    while (p < end) {
        const Utf8Char d = decodeUtf8(p, end);
        if (d.length == 0 || isSurrogate(d.cp)) {
            out += kReplacement;
            ++p;
        } else {
            out.append(reinterpret_cast<const char*>(p), d.length);
            p += d.length;
        }
    }
    return out;
}

[[noreturn]] void unusable(std::string_view name) {
    throw RuntimeError(err::Encoding, "エンコーディング " + std::string(name) + " は使えません。");
}

}  // namespace

bool isUtf8Name(std::string_view name) {
    const std::string u = upper(name);
    return u == "UTF-8" || u == "UTF8";
}

std::string iconvName(std::string_view name) {
    const std::string u = upper(name);
    for (std::string_view alias : kShiftJisAliases) {
        if (u == alias) return "CP932";
    }
    return std::string(name);
}

void registerParserEncodingAliases() {
    for (std::string_view alias : kShiftJisAliases) {
        if (alias != "CP932") xmlAddEncodingAlias("CP932", std::string(alias).c_str());
    }
}

std::string decodeLossy(std::string_view bytes, std::string_view encoding) {
    if (encoding.empty() || isUtf8Name(encoding)) return utf8Lossy(bytes);
    IconvPtr cd = openIconv("UTF-8", iconvName(encoding).c_str());
    if (!cd) return utf8Lossy(bytes);
    std::string out;
    char buffer[4096];
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    while (inLeft > 0) {
        char* o = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t r = iconv(cd.get(), &in, &inLeft, &o, &outLeft);
        const int error = errno;
        out.append(buffer, sizeof buffer - outLeft);
        if (r != static_cast<std::size_t>(-1) || error == E2BIG) continue;
        out += kReplacement;
        if (error == EINVAL) break;  // incomplete character at the end
        ++in;
        --inLeft;
    }
    return out;
}

OutputEncoding::OutputEncoding(std::string_view name) : name_(name) {
    if (name.empty() || isUtf8Name(name)) {
        passthrough_ = true;
        coversUnicode_ = true;
        return;
    }
    std::string target = iconvName(name);
    const std::string u = upper(name);
    // Written well enough, but no XML reader here reads such a file back.
    for (const std::string_view unread : {"UTF-7", "UTF7", "UTF-32", "UTF32", "UTF-32LE", "UTF-32BE", "UCS-4", "UCS4",
                                          "UCS-4LE", "UCS-4BE"}) {
        if (u == unread) {
            throw RuntimeError(err::Encoding, "エンコーディング " + std::string(name) +
                                                  " は使えません: この文字コードで書いた XML ファイルは読み込めません。");
        }
    }
    if (u == "UTF-16" || u == "UTF16" || u == "UTF-16LE") {
        target = "UTF-16LE";
        bom_ = "\xFF\xFE";
    } else if (u == "UTF-16BE") {
        bom_ = "\xFE\xFF";
    }
    coversUnicode_ = u.rfind("UTF", 0) == 0;
    byTable_ = target == "CP932";
    out_ = openIconv(target.c_str(), "UTF-8");
    probeOut_ = openIconv(target.c_str(), "UTF-8");
    probeBack_ = openIconv("UTF-8", target.c_str());
    if (!out_ || !probeOut_ || !probeBack_) unusable(name);
    asciiSame_ = byTable_;
    for (int code = 0; code < 0x80 && asciiSame_; ++code) {
        char c = static_cast<char>(code);
        char converted[8];
        char* in = &c;
        std::size_t inLeft = 1;
        char* o = converted;
        std::size_t oLeft = sizeof converted;
        asciiSame_ = iconv(probeOut_.get(), &in, &inLeft, &o, &oLeft) != static_cast<std::size_t>(-1) &&
                     o == converted + 1 && converted[0] == c;
    }
    chunk_.resize(1 << 16);
}

// The bytes of one character encoded on its own, from the initial shift state
// and back to it; false when the encoding cannot hold it.
bool OutputEncoding::encodeAlone(const std::string& utf8, char* out, std::size_t& size) {
    char* in = const_cast<char*>(utf8.data());
    std::size_t inLeft = utf8.size();
    char* o = out;
    std::size_t oLeft = size;
    iconv(probeOut_.get(), nullptr, nullptr, nullptr, nullptr);
    if (iconv(probeOut_.get(), &in, &inLeft, &o, &oLeft) == static_cast<std::size_t>(-1)) return false;
    if (iconv(probeOut_.get(), nullptr, nullptr, &o, &oLeft) == static_cast<std::size_t>(-1)) return false;
    size = static_cast<std::size_t>(o - out);
    return true;
}

bool OutputEncoding::probe(char32_t cp) {
    std::string utf8;
    appendUtf8(utf8, cp);
    char encoded[64];
    std::size_t encodedSize = sizeof encoded;
    if (!encodeAlone(utf8, encoded, encodedSize)) return false;

    char decoded[64];
    char* back = encoded;
    std::size_t backLeft = encodedSize;
    char* d = decoded;
    std::size_t dLeft = sizeof decoded;
    iconv(probeBack_.get(), nullptr, nullptr, nullptr, nullptr);
    if (iconv(probeBack_.get(), &back, &backLeft, &d, &dLeft) == static_cast<std::size_t>(-1)) return false;
    return std::string_view(decoded, sizeof decoded - dLeft) == utf8;
}

// The table keeps each answer, so the character is probed here without
// filling the per-character cache of canEncode (a megabyte of fresh memory).
std::uint32_t OutputEncoding::lookUp(char32_t cp) {
    if (!coversUnicode_ && cp >= 0x80 && !probe(cp)) return kNoBytes;
    std::string utf8;
    appendUtf8(utf8, cp);
    char bytes[8];
    std::size_t n = sizeof bytes;
    if (!encodeAlone(utf8, bytes, n) || n < 1 || n > 3) return kNoBytes;
    std::uint32_t entry = static_cast<std::uint32_t>(n) << 24;
    for (std::size_t k = 0; k < n; ++k) {
        entry |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[k])) << (16 - 8 * k);
    }
    return entry;
}

void OutputEncoding::begin(ByteSink& sink) {
    if (!bom_.empty()) sink.write(bom_.data(), bom_.size());
}

std::size_t OutputEncoding::encodeByTable(const char* utf8, std::size_t size, ByteSink& sink) {
    constexpr std::uint32_t kNone = 0xFFFFFFFF;
    if (table_.empty()) table_.assign(0x10000, 0);
    const auto* p = reinterpret_cast<const unsigned char*>(utf8);
    const auto* end = p + size;
    char* out = chunk_.data();
    char* const limit = chunk_.data() + chunk_.size() - 4;
    while (p < end) {
        if (out > limit) {
            sink.write(chunk_.data(), static_cast<std::size_t>(out - chunk_.data()));
            out = chunk_.data();
        }
        if (*p < 0x80 && asciiSame_) {
            // ASCII is copied as it is, eight bytes at a time where it runs on.
            if (end - p >= 8 && limit - out >= 8) {
                std::uint64_t word;
                std::memcpy(&word, p, 8);
                if (!(word & 0x8080808080808080u)) {
                    std::memcpy(out, &word, 8);
                    out += 8;
                    p += 8;
                    continue;
                }
            }
            *out++ = static_cast<char>(*p++);
            continue;
        }
        const Utf8Char d = decodeUtf8(p, end);
        if (d.length == 0 || d.cp >= 0x10000) break;
        const char32_t cp = d.cp;
        const std::size_t length = d.length;
        std::uint32_t& entry = table_[cp];
        if (entry == 0) {
            // iconv's own bytes for the character, kept.
            char bytes[8];
            char* in = const_cast<char*>(reinterpret_cast<const char*>(p));
            std::size_t inLeft = length;
            char* o = bytes;
            std::size_t oLeft = sizeof bytes;
            iconv(probeOut_.get(), nullptr, nullptr, nullptr, nullptr);
            const bool ok = iconv(probeOut_.get(), &in, &inLeft, &o, &oLeft) != static_cast<std::size_t>(-1);
            const auto n = static_cast<std::uint32_t>(o - bytes);
            entry = kNone;
            if (ok && n >= 1 && n <= 3) {
                entry = n << 24;
                for (std::uint32_t k = 0; k < n; ++k) {
                    entry |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[k])) << (16 - 8 * k);
                }
            }
        }
        if (entry == kNone) break;
        out[0] = static_cast<char>(entry >> 16);
        out[1] = static_cast<char>(entry >> 8);
        out[2] = static_cast<char>(entry);
        out += entry >> 24;
        p += length;
    }
    if (out > chunk_.data()) sink.write(chunk_.data(), static_cast<std::size_t>(out - chunk_.data()));
    return static_cast<std::size_t>(p - reinterpret_cast<const unsigned char*>(utf8));
}

void OutputEncoding::encode(const char* utf8, std::size_t size, ByteSink& sink) {
    if (passthrough_) {
        sink.write(utf8, size);
        return;
    }
    if (byTable_) {
        const std::size_t done = encodeByTable(utf8, size, sink);
        utf8 += done;
        size -= done;
    }
    char* in = const_cast<char*>(utf8);
    std::size_t inLeft = size;
    while (inLeft > 0) {
        char* out = chunk_.data();
        std::size_t outLeft = chunk_.size();
        const std::size_t r = iconv(out_.get(), &in, &inLeft, &out, &outLeft);
        const int error = errno;
        if (outLeft < chunk_.size()) sink.write(chunk_.data(), chunk_.size() - outLeft);
        if (r != static_cast<std::size_t>(-1) || error == E2BIG) continue;
        const auto p = reinterpret_cast<const unsigned char*>(in);
        const Utf8Char d = decodeUtf8(p, p + inLeft);
        throw RuntimeError(err::XmlSave, "文字 " + (d.length ? codePointName(d.cp) : byteName(*p)) +
                                             " をエンコーディング " + name_ + " で書けません。");
    }
}

void OutputEncoding::end(ByteSink& sink) {
    if (passthrough_) return;
    char* out = chunk_.data();
    std::size_t outLeft = chunk_.size();
    iconv(out_.get(), nullptr, nullptr, &out, &outLeft);
    if (outLeft < chunk_.size()) sink.write(chunk_.data(), chunk_.size() - outLeft);
}

}  // namespace trelmo::xml::detail
