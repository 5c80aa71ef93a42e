// The CSV reader on raw bytes: decoding (UTF-8 or CP932, chosen by the bytes),
// both line-end modes (chosen by whether a CR occurs), record joining and the
// field split, each checked against a plain re-reading of the same text; a
// CP932 file kept as its bytes against its decoded text.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include <array>
#include <deque>

#include "engine/convert/convert_plan.h"
#include "engine/csv/csv.h"
#include "engine/error.h"
#include "engine/text/decode.h"
#include "engine/text/iconv_handle.h"
#include "engine/text/utf8.h"
#include "engine/xml/byte_sink.h"
#include "engine/xml/encoding.h"
#include "engine/xml/xml_writer.h"
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

std::string decoded(std::string_view cp932) {
    static trelmo::LargeBuffer buffer;
    std::size_t length = 0;
    require(trelmo::Cp932Decoder::instance()->decode(cp932, buffer, length) == std::string_view::npos,
            "kept records decode");
    return std::string(buffer.data(), length);
}

// Two writers to Shift_JIS, one given code page 932 values, the other their UTF-8 text.
struct Writers {
    trelmo::xml::detail::OutputEncoding encodings[2]{trelmo::xml::detail::OutputEncoding("Shift_JIS"),
                                                     trelmo::xml::detail::OutputEncoding("Shift_JIS")};
    trelmo::xml::detail::StringSink sinks[2];
    trelmo::xml::detail::XmlWriter kept{encodings[0], sinks[0]}, utf8{encodings[1], sinks[1]};
};

// A code page 932 file kept as its bytes: the same records and fields once
// decoded, each field written to Shift_JIS as its UTF-8 text is, or refused
// with the same error.
void checkKept(const std::string& bytes, const Records& records) {
    std::array<trelmo::LargeBuffer, 2> storage;
    const trelmo::FileText text = trelmo::decodeFileTextInPieces(bytes, storage, "fuzz.csv", trelmo::Cp932Text::Kept);
    if (!text.cp932) return;
    std::deque<std::string> joined;
    std::vector<std::string_view> kept;
    trelmo::csv_detail::splitRecords(text.pieces, joined, kept, "fuzz.csv", {});
    require(kept.size() == records.size() || (records == Records{"untouched"} && kept.empty()), "kept records");
    const trelmo::Cp932Decoder* cp932 = trelmo::Cp932Decoder::instance();
    using trelmo::xml::detail::Context;
    Writers writers;
    for (std::size_t k = 0; k < kept.size(); ++k) {
        require(decoded(kept[k]) == records[k], "a kept record decoded");
        trelmo::convert::RecordFields raw(cp932), utf8;
        raw.reset(kept[k]);
        utf8.reset(records[k]);
        require(raw.fields().size() == utf8.fields().size(), "kept fields");
        for (std::size_t f = 0; f < raw.fields().size(); ++f) {
            const std::string_view field = raw.fields()[f];
            require(decoded(field) == utf8.fields()[f], "a kept field decoded");
            for (const Context context : {Context::Text, Context::Attribute, Context::CData, Context::Comment}) {
                std::string errors[2];
                try {
                    writers.kept.contentCp932(context, field, *cp932, "a");
                } catch (const trelmo::RuntimeError& e) {
                    errors[0] = e.description();
                }
                try {
                    writers.utf8.content(context, utf8.fields()[f], "a");
                } catch (const trelmo::RuntimeError& e) {
                    errors[1] = e.description();
                }
                require(errors[0] == errors[1], "a kept field refused as its UTF-8 text");
                if (!errors[0].empty()) return;
            }
        }
    }
    writers.kept.finish();
    writers.utf8.finish();
    require(writers.sinks[0].bytes == writers.sinks[1].bytes, "kept fields written as their UTF-8 text");
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
    checkKept(bytes, records);
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
