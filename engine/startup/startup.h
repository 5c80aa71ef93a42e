#pragma once
// Start-up logic: the command line and the one conversion it runs.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/convert/conversion.h"
#include "engine/messages.h"
#include "engine/progress.h"

namespace trelmo {

enum class ExitStatus : int { Success = 0, Failure = 1, NotEnoughArguments = 2 };

// The command-line text made from the program's arguments: joined by single
// spaces, in quotes each argument that would not come back from
// SplitCommandLine as it is (empty, holding a blank, or beginning with a
// quote). An argument that no quoting brings back (a space after a quote in
// it) raises the invalid-argument error naming it.
std::string JoinArguments(const std::vector<std::string>& args);

// Main on the program's arguments, refused with a message when they cannot be
// joined.
ExitStatus RunArguments(const std::vector<std::string>& args, MessageSink& messages, ProgressSink& progress);

// Runs one conversion for a non-empty command-line text. Messages go to the
// sink; success is silent.
ExitStatus Main(std::string_view commandLine, MessageSink& messages, ProgressSink& progress);

// Private procedures, exposed for tests.
std::int16_t CountArgs(std::string_view text);
std::vector<std::string> SplitCommandLine(std::string_view text);
std::string StripArgQuotes(std::string_view arg);

// The messages of a command-line run.
inline constexpr const char* kNotEnoughArgs1 = "引数が足りません。 ";
inline constexpr const char* kNotEnoughArgs2 =
    "CSVへのパス、スキーマへのパス、保存するファイルまでのパスをスペースで区切って引数にしてください。";
inline constexpr const char* kUncarriableArg =
    "ダブルクォーテーション (\") の後に空白がある引数は、区切りの規則で別の引数に分かれてしまいます。";

}  // namespace trelmo
