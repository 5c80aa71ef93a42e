#pragma once
// The one exception type for the system's run-time errors: a number and a
// description. Engine code raises it, and the program's handlers (the start-up
// procedure, window event handlers) show its description. Inside the engine
// it is caught only to carry it on (across a thread; with the stage it came
// at; with the record and column, or the schema node, of a value that cannot
// be written), where a fast way falls back to the full one that meets the
// same error again, and where an error is itself the answer (a line that
// would overflow as the start of a record, the editor preview's diagnosis).

#include <cstddef>
#include <stdexcept>
#include <string>

namespace trelmo {

namespace err {
inline constexpr int InvalidArgument = 5;
inline constexpr int Overflow = 6;
inline constexpr int SubscriptOutOfRange = 9;
inline constexpr int TypeMismatch = 13;
inline constexpr int BadFileName = 52;
inline constexpr int FileNotFound = 53;
inline constexpr int FileAccess = 75;
inline constexpr int BadFileData = 62;        // CSV text that cannot be decoded
inline constexpr int XmlDom = 1000;           // a DOM operation that failed
inline constexpr int XmlSave = 1001;          // writing an XML file failed
inline constexpr int Encoding = 1002;         // an encoding that cannot be used
inline constexpr int Cancelled = 32755;       // a file dialog was cancelled
}  // namespace err

class RuntimeError : public std::runtime_error {
public:
    RuntimeError(int number, std::string description)
        : std::runtime_error(description), number_(number), description_(std::move(description)) {}

    int number() const noexcept { return number_; }
    const std::string& description() const noexcept { return description_; }

private:
    int number_;
    std::string description_;
};

// What a handler shows for an error: a RuntimeError's description, else
// the exception's own text.
std::string describeError(const std::exception& error);

// The common errors, with their descriptions.
RuntimeError invalidArgumentError();
RuntimeError overflowError();
RuntimeError subscriptOutOfRangeError();
RuntimeError typeMismatchError();
RuntimeError fileNotFoundError(const std::string& path);
// `reason`: a sentence ending in "。", or empty.
RuntimeError fileAccessError(const std::string& path, const std::string& reason = {});
// A path of blanks only, shown in brackets so that its blanks can be seen.
RuntimeError blankPathError(const std::string& path);

// A count as messages show it, its digits grouped by commas: 1,073,741,824.
std::string withThousands(std::size_t count);

// The reason given for a file that came shorter than it was when it was opened.
inline constexpr const char* kChangedWhileRead = "読み込んでいる間にファイルが変更されました。";

}  // namespace trelmo
