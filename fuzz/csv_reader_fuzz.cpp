// The CSV reader on raw bytes: decoding (UTF-8 or CP932, chosen by the bytes),
// both line-end modes (chosen by whether a CR occurs), record joining and the
// field split, each checked against a plain re-reading of the same text.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "engine/csv.h"
#include "engine/error.h"
#include "engine/text/decode.h"
#include "engine/text/iconv_handle.h"
#include "engine/text/utf8.h"

namespace {

using Records = std::vector<std::string>;

void require(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "check failed: %s\n", what);
        std::abort();
    }
}

// 1-based position of c at or after 1-based start, 0 when none.
std::size_t inStr(std::string_view text, std::size_t start, char c) {
    if (start == 0 || start > text.size()) return 0;
    const std::size_t at = text.find(c, start - 1);
    return at == std::string_view::npos ? 0 : at + 1;
}

// The fields of a record, found with the 1-based scan; false on an open quote.
bool plainFields(std::string_view text, Records& fields) {
    std::size_t consumed = 0;
    for (;;) {
        std::size_t search = consumed + 1;
        if (consumed < text.size() && text[consumed] == '"') {
            search = inStr(text, consumed + 2, '"');
            if (search == 0) return false;
        }
        const std::size_t m = inStr(text, search, ',');
        if (m == 0) {
            fields.emplace_back(text.substr(consumed));
            return true;
        }
        fields.emplace_back(text.substr(consumed, m - consumed - 1));
        consumed = m;
    }
}

int closedCount(std::string_view line) {
    Records fields;
    return plainFields(line, fields) ? static_cast<int>(fields.size()) - 1 : -1;
}

// Lines split the simple way, joined while a line has fewer than two closed
// fields; what is pending at the end is dropped.
Records plainRecords(const std::string& text) {
    const bool lf = text.find('\r') == std::string::npos;
    Records lines;
    std::string current;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == (lf ? '\n' : '\r')) {
            lines.push_back(current);
            current.clear();
            if (!lf && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            current += text[i];
            if (i + 1 == text.size()) lines.push_back(current);
        }
    }
    Records records;
    std::string pending;
    for (std::string line : lines) {
        if (!pending.empty()) {
            line = pending + (lf ? "\n" : "\r\n") + line;
            pending.clear();
        }
        if (closedCount(line) > 0) {
            records.push_back(line);
        } else {
            pending = line;
        }
    }
    return records;
}

// Code page 932 decoded by iconv in one call: the text, or false at a bad byte.
bool iconvCp932(std::string bytes, std::string& text) {
    trelmo::IconvHandle cd = trelmo::openIconv("UTF-8", "CP932");
    std::string out(bytes.size() * 4 + 16, '\0');
    char* in = bytes.data();
    std::size_t inLeft = bytes.size();
    char* outPos = out.data();
    std::size_t outLeft = out.size();
    if (iconv(cd.get(), &in, &inLeft, &outPos, &outLeft) == static_cast<std::size_t>(-1)) return false;
    text.assign(out.data(), static_cast<std::size_t>(outPos - out.data()));
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::string text;
    bool decodes = true;
    try {
        text = trelmo::decodeFileText(bytes, "fuzz.csv");
    } catch (const trelmo::RuntimeError& e) {
        require(e.number() == trelmo::err::BadFileData, "decoding fails only on bad bytes");
        decodes = false;
    }

    const bool utf8 = trelmo::firstInvalidUtf8(bytes) == std::string::npos;
    if (!utf8 && !bytes.starts_with(trelmo::kUtf8Bom)) {
        std::string viaIconv;
        const bool ok = iconvCp932(bytes, viaIconv);
        require(ok == decodes && (!ok || viaIconv == text), "code page 932 decoded as iconv does");
    }

    Records records{"untouched"};
    std::int32_t highest = -1;
    try {
        highest = trelmo::csv_detail::readRecords(bytes, "fuzz.csv", records);
    } catch (const trelmo::RuntimeError& e) {
        require(!decodes || e.number() == trelmo::err::Overflow, "reading fails only on bad bytes or overflow");
        require(records == Records{"untouched"}, "a failed read leaves the records alone");
        return 0;
    }
    require(decodes, "undecodable bytes are refused");
    const Records expected = plainRecords(text);
    require(highest == static_cast<std::int32_t>(expected.size()) - 1, "highest index");
    require(records == (expected.empty() ? Records{"untouched"} : expected), "records");
    if (expected.empty()) return 0;

    const trelmo::CSV csv;
    for (const std::string& record : records) {
        std::int16_t count = csv.GetFieldCount(record);
        require(count == trelmo::csv_detail::GetClosedFieldCount(record) && count > 0, "field count");
        const Records fields = csv.GetFieldItems(record, count);
        Records plain;
        require(plainFields(record, plain), "no open quote in a record");
        require(fields.size() == plain.size(), "number of fields");
        for (std::size_t k = 0; k < plain.size(); ++k) {
            require(fields[k] == trelmo::csv_detail::StripFieldQuotes(plain[k]), "field text");
        }
    }
    return 0;
}
