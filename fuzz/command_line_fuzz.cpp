// Command-line splitting: any text either splits into CountArgs + 1 slots or
// raises one of the run-time errors; and arguments without double quotes,
// joined as the executable joins them, split back into themselves.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/error.h"
#include "engine/startup/startup.h"
#include "fuzz/fuzz_support.h"

namespace {

using trelmo::fuzz::require;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        const std::vector<std::string> list = trelmo::SplitCommandLine(text);
        require(list.size() == static_cast<std::size_t>(trelmo::CountArgs(text)) + 1, "slots");
        require(list.back().empty(), "one slot more than the split fills");
    } catch (const trelmo::RuntimeError& e) {
        const int n = e.number();
        require(n == trelmo::err::InvalidArgument || n == trelmo::err::Overflow, "error kind");
        require(n == trelmo::err::Overflow || text.find('"') != std::string::npos,
                "only an unclosed quote is an invalid argument");
    }

    // The bytes as a list of arguments, separated by NUL bytes.
    std::vector<std::string> args(1);
    for (char c : text) {
        if (c == '\0') {
            args.emplace_back();
        } else if (c != '"') {
            args.back() += c;
        }
    }
    const std::string joined = trelmo::JoinArguments(args);
    if (joined.size() > 30000) return 0;  // positions are 16-bit
    const std::vector<std::string> split = trelmo::SplitCommandLine(joined);
    require(split.size() > args.size(), "room for every argument");
    for (std::size_t k = 0; k < args.size(); ++k) require(split[k] == args[k], "argument survives");
    return 0;
}
