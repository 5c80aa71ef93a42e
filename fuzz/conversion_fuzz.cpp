// Schema loading and the conversion of a small CSV. The input is the schema,
// optionally followed by a line "--csv--" and the CSV bytes. The streamed
// output must be the saved nodes' to the byte, or fail the same way, and a
// conversion that succeeds must give XML that loads again.

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "engine/convert/convert2xml.h"
#include "engine/csv/csv.h"
#include "engine/error.h"
#include "engine/xml/dom.h"
#include "fuzz/fuzz_support.h"

namespace {

using trelmo::fuzz::readFile;
using trelmo::fuzz::require;
using trelmo::fuzz::scratchPath;

constexpr std::string_view kSeparator = "\n--csv--\n";
constexpr std::string_view kDefaultCsv = "1,a&b,2.5\r\n-3,\"x, y\",]]>\r\n";

// A name or root in the schema with a colon: written as it is, its prefix is
// declared nowhere, so a namespace-aware reader refuses the output.
bool prefixedName(const trelmo::xml::Document& schema) {
    const trelmo::xml::Node top = schema.documentElement();
    for (const trelmo::xml::Node& element : top.selectAllElements()) {
        for (const auto& attribute : element.attributes()) {
            std::string name = attribute.name;
            for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            if ((name == "name" || name == "root") && attribute.value.find(':') != std::string::npos) return true;
        }
    }
    return false;
}



}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find(kSeparator);
    const std::string_view schemaText = input.substr(0, split);
    const std::string_view csvText =
        split == std::string_view::npos ? kDefaultCsv : input.substr(split + kSeparator.size());

    trelmo::xml::Document schema;
    const bool loaded = schema.loadXml(schemaText);
    require(loaded == (schema.parseError().errorCode == 0), "load result agrees with the parse error");
    if (!loaded) return 0;

    std::vector<std::string> records;
    try {
        if (trelmo::csv_detail::readRecords(std::string(csvText), "fuzz.csv", records) <= 0) return 0;
    } catch (const trelmo::RuntimeError&) {
        return 0;
    }

    trelmo::NullProgress progress;
    trelmo::Convert2XML generator(progress);
    trelmo::xml::Document output;
    std::string bytes, error;
    try {
        generator.CreateXML(schema, output, records);
        bytes = output.xml();
    } catch (const trelmo::RuntimeError& e) {
        error = e.description();
        require(!error.empty(), "an error says what failed");
    }

    // The streamed output: the same file or the same error, and no file then.
    trelmo::xml::Document again;
    again.loadXml(schemaText);
    std::filesystem::remove(scratchPath());
    try {
        generator.WriteXML(again, records, scratchPath());
        require(error.empty() && readFile(scratchPath()) == bytes, "streamed output as saved nodes");
    } catch (const trelmo::RuntimeError& e) {
        require(e.description() == error, "streamed error as with nodes");
        require(!std::filesystem::exists(scratchPath()), "no file after an error");
    }
    if (!error.empty()) return 0;

    trelmo::xml::Document back;
    require(back.loadXml(bytes) || prefixedName(schema), "the output loads again");
    return 0;
}
