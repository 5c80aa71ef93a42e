// Engine stages on the benchmark inputs, one by one:
//   TRELMO_BENCH_DATA=build-release/bench-data build-release/bench/trelmo_stages
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "engine/convert/convert_plan.h"
#include "engine/csv/csv.h"
#include "engine/io/file_bytes.h"
#include "engine/text/decode.h"
#include "engine/text/cp932.h"
#include "engine/text/utf8.h"
#include "engine/xml/byte_sink.h"
#include "engine/xml/encoding.h"
#include "engine/xml/xml_writer.h"

namespace {

std::string dataFile(const std::string& name) {
    const char* dir = std::getenv("TRELMO_BENCH_DATA");
    return std::string(dir ? dir : "build-release/bench-data") + "/" + name;
}

void readBytes(benchmark::State& state, const char* name) {
    const std::string path = dataFile(name);
    for (auto _ : state) benchmark::DoNotOptimize(trelmo::readFileBytes(path));
}

void decode(benchmark::State& state, const char* name) {
    const std::string bytes = trelmo::readFileBytes(dataFile(name));
    for (auto _ : state) benchmark::DoNotOptimize(trelmo::decodeFileText(bytes, name));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

void validate(benchmark::State& state, const char* name) {
    const std::string bytes = trelmo::readFileBytes(dataFile(name));
    for (auto _ : state) benchmark::DoNotOptimize(trelmo::firstInvalidUtf8(bytes));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

void records(benchmark::State& state, const char* name) {
    const std::string bytes = trelmo::readFileBytes(dataFile(name));
    for (auto _ : state) {
        std::vector<std::string> out;
        benchmark::DoNotOptimize(trelmo::csv_detail::readRecords(bytes, name, out));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

void split(benchmark::State& state, const char* name) {
    std::vector<std::string> all;
    trelmo::CSV().GetCSVasArray(dataFile(name), all);
    const trelmo::CSV csv;
    for (auto _ : state) {
        for (const std::string& record : all) {
            std::int16_t count = csv.GetFieldCount(record);
            benchmark::DoNotOptimize(csv.GetFieldItems(record, count));
        }
    }
}

void checkCp932(benchmark::State& state, const char* name) {
    const std::string bytes = trelmo::readFileBytes(dataFile(name));
    const trelmo::Cp932Decoder* cp932 = trelmo::Cp932Decoder::instance();
    for (auto _ : state) benchmark::DoNotOptimize(cp932->firstInvalid(bytes));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

// Every field of a code page 932 file's records written as text to Shift_JIS, from its own bytes.
void writeCp932(benchmark::State& state, const char* name) {
    const trelmo::CsvRecords csv(dataFile(name));
    const trelmo::Cp932Decoder* cp932 = trelmo::Cp932Decoder::instance();
    std::vector<std::string_view> fields;
    for (const std::string_view record : csv.records()) {
        trelmo::convert::RecordFields split(cp932);
        split.reset(record);
        fields.insert(fields.end(), split.fields().begin(), split.fields().end());
    }
    struct Discard : trelmo::xml::detail::ByteSink {
        void write(const char*, std::size_t) override {}
    } sink;
    for (auto _ : state) {
        trelmo::xml::detail::OutputEncoding encoding("Shift_JIS");
        trelmo::xml::detail::XmlWriter writer(encoding, sink);
        for (const std::string_view field : fields) {
            writer.contentCp932(trelmo::xml::detail::Context::Text, field, *cp932);
        }
        writer.finish();
    }
}

}  // namespace

BENCHMARK_CAPTURE(readBytes, a, "a.csv")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(validate, a, "a.csv")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(validate, b, "b.csv")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(decode, a, "a.csv")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(decode, b, "b.csv")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(decode, c, "c.csv")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(checkCp932, c, "c.csv")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(writeCp932, c, "c.csv")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(records, a, "a.csv")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(records, b, "b.csv")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(records, c, "c.csv")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(split, a, "a.csv")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(split, b, "b.csv")->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
