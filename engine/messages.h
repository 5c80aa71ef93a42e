#pragma once
// How engine code (and the windows above it) shows a message box. The command
// line, the windows and the tests each supply their own sink.

#include <string>
#include <string_view>

namespace trelmo {

enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgIcon { None, Critical, Exclamation, Information };
enum class MsgAnswer { Ok, Cancel, Yes, No };

struct Message {
    std::string text;  // UTF-8; "\r\n" marks a line break
    MsgButtons buttons = MsgButtons::Ok;
    MsgIcon icon = MsgIcon::None;
    int defaultButton = 0;  // index of the default button, from the left
    // A list too long for the text (one item a line, "\r\n" between them),
    // shown below it scrollable, its text selectable; empty: none.
    std::string details{};
};

class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual MsgAnswer show(const Message& message) = 0;

    MsgAnswer show(std::string text, MsgIcon icon = MsgIcon::None) {
        return show(Message{std::move(text), MsgButtons::Ok, icon, 0});
    }
};

// The text with its control characters (but tab and the CR LF of a line
// break) shown as visible escapes (\x1B, \u009B): text from files (names,
// a parser's quoted line) cannot then move the cursor, clear a terminal or
// set a window's title.
std::string visibleText(std::string_view text);

// The application's title, used by every message box and window of the program.
inline constexpr const char* kAppTitle = "Trelmo";

}  // namespace trelmo
