// Engine stages on the benchmark inputs, one by one:
//   TRELMO_BENCH_DATA=build-release/bench-data build-release/bench/trelmo_stages
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "engine/csv/csv.h"
#include "engine/io/file_bytes.h"
#include "engine/text/decode.h"
#include "engine/text/utf8.h"

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

}  // namespace

BENCHMARK_CAPTURE(readBytes, a, "a.csv")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(validate, a, "a.csv")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(validate, b, "b.csv")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(decode, a, "a.csv")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(decode, b, "b.csv")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(decode, c, "c.csv")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(records, a, "a.csv")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(records, b, "b.csv")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(records, c, "c.csv")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(split, a, "a.csv")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(split, b, "b.csv")->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
