#include "engine/startup/startup.h"

#include <algorithm>
#include <limits>

#include "engine/convert/conversion.h"
#include "engine/error.h"

namespace trelmo {
namespace {

// Positions and counters of the command-line procedures are 16-bit.
std::int16_t to16(std::size_t value) {
    if (value > static_cast<std::size_t>(std::numeric_limits<std::int16_t>::max())) throw overflowError();
    return static_cast<std::int16_t>(value);
}

// 1-based position of the first space at or after 1-based start, 0 if none.
std::size_t findSpace(std::string_view text, std::size_t start) {
    if (start == 0) throw invalidArgumentError();
    if (start > text.size()) return 0;
    std::size_t pos = text.find(' ', start - 1);
    return pos == std::string_view::npos ? 0 : pos + 1;
}

std::size_t findQuote(std::string_view text, std::size_t start) {
    if (start > text.size()) return 0;
    std::size_t pos = text.find('"', start - 1);
    return pos == std::string_view::npos ? 0 : pos + 1;
}

// Standing unquoted, an argument comes back only when it is not empty, holds
// no space and does not begin with a quote.
bool needsQuotes(const std::string& arg) {
    return arg.empty() || arg.front() == '"' || arg.find(' ') != std::string::npos;
}

// Quoted, an argument runs from its opening quote to the first space after the
// next quote, so a space after a quote inside it would end it early.
bool quotable(const std::string& arg) {
    const std::size_t quote = arg.find('"');
    return quote == std::string::npos || arg.find(' ', quote) == std::string::npos;
}

}  // namespace

std::string JoinArguments(const std::vector<std::string>& args) {
    std::string text;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (i > 0) text += ' ';
        const std::string& arg = args[i];
        if (!needsQuotes(arg)) {
            text += arg;
        } else if (quotable(arg)) {
            text += '"' + arg + '"';
        } else {
            throw RuntimeError(err::InvalidArgument, "引数 「" + arg + "」 は使えません: " + kUncarriableArg);
        }
    }
    return text;
}

ExitStatus RunArguments(const std::vector<std::string>& args, MessageSink& messages, ProgressSink& progress) {
    std::string commandLine;
    try {
        // Arguments after the third are not looked at, however many and whatever they hold.
        const std::size_t taken = std::min<std::size_t>(args.size(), 3);
        commandLine = JoinArguments({args.begin(), args.begin() + static_cast<std::ptrdiff_t>(taken)});
    } catch (const RuntimeError& e) {
        messages.show(e.description());
        return ExitStatus::Failure;
    }
    return Main(commandLine, messages, progress);
}

std::int16_t CountArgs(std::string_view text) {
    std::size_t position = 1;
    std::int16_t n = 0;
    do {
        if (n == std::numeric_limits<std::int16_t>::max()) throw overflowError();
        ++n;
        position = to16(findSpace(text, position) + 1);
    } while (position != 1);
    return n;
}

std::vector<std::string> SplitCommandLine(std::string_view text) {
    std::vector<std::string> list(static_cast<std::size_t>(CountArgs(text)) + 1);
    std::size_t consumed = 0;
    std::size_t k = 0;
    std::size_t s = 0;
    do {
        std::size_t searchFrom = consumed + 1;
        if (consumed < text.size() && text[consumed] == '"') {
            searchFrom = to16(findQuote(text, consumed + 2));
        }
        s = to16(findSpace(text, searchFrom));
        std::string_view piece;
        if (s == 0) {
            piece = consumed < text.size() ? text.substr(consumed) : std::string_view{};
        } else {
            piece = text.substr(consumed, s - consumed - 1);
            consumed = s;
        }
        if (k >= list.size()) throw subscriptOutOfRangeError();
        list[k] = StripArgQuotes(piece);
        ++k;
    } while (s != 0);
    return list;
}

std::string StripArgQuotes(std::string_view arg) {
    if (!arg.empty() && arg.front() == '"') {
        return arg.size() >= 2 ? std::string(arg.substr(1, arg.size() - 2)) : std::string();
    }
    return std::string(arg);
}

namespace {
// The command line tells no stage.
class NoStages final : public StageSink {
public:
    void reached(Stage) override {}
};
}  // namespace

ExitStatus Main(std::string_view commandLine, MessageSink& messages, ProgressSink& progress) {
    ExitStatus status = ExitStatus::Failure;
    RunReported(messages, [&] {
        const std::vector<std::string> args = SplitCommandLine(commandLine);
        if (args.size() - 1 < 3) {
            messages.show(std::string(kNotEnoughArgs1) + "\r\n" + kNotEnoughArgs2);
            status = ExitStatus::NotEnoughArguments;
            return;
        }
        NoStages stages;
        if (Convert({args[0], args[1], args[2]}, {messages, progress, stages, MsgIcon::Information})) {
            status = ExitStatus::Success;
        }
    });
    return status;
}

}  // namespace trelmo
