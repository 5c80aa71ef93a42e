#include "engine/xml/encoding.h"

#include <libxml/encoding.h>

#include <cerrno>

#include "engine/error.h"
#include "engine/xml/utf8.h"

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
        const Decoded d = decodeUtf8(p, end);
        if (d.length == 0 || (d.cp >= 0xD800 && d.cp <= 0xDFFF)) {
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
    if (u == "UTF-16" || u == "UTF16" || u == "UTF-16LE") {
        target = "UTF-16LE";
        bom_ = "\xFF\xFE";
    } else if (u == "UTF-16BE") {
        bom_ = "\xFE\xFF";
    }
    coversUnicode_ = u.rfind("UTF", 0) == 0;
    out_ = openIconv(target.c_str(), "UTF-8");
    probeOut_ = openIconv(target.c_str(), "UTF-8");
    probeBack_ = openIconv("UTF-8", target.c_str());
    if (!out_ || !probeOut_ || !probeBack_) unusable(name);
    chunk_.resize(1 << 16);
}

bool OutputEncoding::probe(char32_t cp) {
    std::string utf8;
    appendUtf8(utf8, cp);
    char encoded[64];
    char* in = utf8.data();
    std::size_t inLeft = utf8.size();
    char* out = encoded;
    std::size_t outLeft = sizeof encoded;
    iconv(probeOut_.get(), nullptr, nullptr, nullptr, nullptr);
    if (iconv(probeOut_.get(), &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1)) return false;
    if (iconv(probeOut_.get(), nullptr, nullptr, &out, &outLeft) == static_cast<std::size_t>(-1)) return false;

    char decoded[64];
    char* back = encoded;
    std::size_t backLeft = sizeof encoded - outLeft;
    char* d = decoded;
    std::size_t dLeft = sizeof decoded;
    iconv(probeBack_.get(), nullptr, nullptr, nullptr, nullptr);
    if (iconv(probeBack_.get(), &back, &backLeft, &d, &dLeft) == static_cast<std::size_t>(-1)) return false;
    return std::string_view(decoded, sizeof decoded - dLeft) == utf8;
}

void OutputEncoding::begin(ByteSink& sink) {
    if (!bom_.empty()) sink.write(bom_.data(), bom_.size());
}

void OutputEncoding::encode(const char* utf8, std::size_t size, ByteSink& sink) {
    if (passthrough_) {
        sink.write(utf8, size);
        return;
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
        const Decoded d = decodeUtf8(p, p + inLeft);
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
