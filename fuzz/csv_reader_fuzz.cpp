// The CSV reader on raw bytes: decoding (UTF-8 or CP932, chosen by the bytes),
// both line-end modes (chosen by whether a CR occurs), record joining and the
// field split, each checked against a plain re-reading of the same text.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "engine/csv/csv.h"
#include "engine/error.h"
#include "engine/text/decode.h"
#include "engine/text/iconv_handle.h"
#include "engine/text/utf8.h"
#include "tests/support/csv_reference.h"
#include "fuzz/fuzz_support.h"

namespace {

using trelmo::reference::plainFields;
using trelmo::reference::plainRecords;
using trelmo::reference::Records;

using trelmo::fuzz::require;

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
