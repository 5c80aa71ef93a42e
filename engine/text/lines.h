#pragma once
// Lines of a text file. Lines end at CR LF or CR and a lone LF stays in the
// line (a line break inside a spreadsheet cell), except in a text without any
// CR, where LF ends lines. The last line needs no terminator.

#include <cstddef>
#include <string_view>

namespace trelmo {

enum class LineEnds { CrOrCrLf, Lf };

LineEnds lineEndsOf(std::string_view text);

// What joins two lines of one record again.
constexpr std::string_view lineJoint(LineEnds ends) { return ends == LineEnds::Lf ? "\n" : "\r\n"; }

class LineCursor {
public:
    LineCursor(std::string_view text, LineEnds ends) : text_(text), ends_(ends) {}

    // The next line without its terminator; false at the end of the text.
    bool next(std::string_view& line);

private:
    std::string_view text_;
    LineEnds ends_;
    std::size_t pos_ = 0;
};

// Where the first line that starts after offset `from` starts, or the end of
// the text: a place to cut a text into parts that hold whole lines.
std::size_t lineStartAfter(std::string_view text, LineEnds ends, std::size_t from);

// 1-based number of the line that holds the byte at offset.
std::size_t lineNumberAt(std::string_view text, std::size_t offset);

}  // namespace trelmo
