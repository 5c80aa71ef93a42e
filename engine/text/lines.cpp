#include "engine/text/lines.h"

#include <algorithm>

namespace trelmo {

LineEnds lineEndsOf(std::string_view text) {
    return text.find('\r') == std::string_view::npos ? LineEnds::Lf : LineEnds::CrOrCrLf;
}

bool LineCursor::next(std::string_view& line) {
    if (pos_ >= text_.size()) return false;
    const char terminator = ends_ == LineEnds::Lf ? '\n' : '\r';
    const std::size_t end = text_.find(terminator, pos_);
    if (end == std::string_view::npos) {
        line = text_.substr(pos_);
        pos_ = text_.size();
        return true;
    }
    line = text_.substr(pos_, end - pos_);
    pos_ = end + 1;
    if (ends_ == LineEnds::CrOrCrLf && pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
    return true;
}

std::size_t lineStartAfter(std::string_view text, LineEnds ends, std::size_t from) {
    const char terminator = ends == LineEnds::Lf ? '\n' : '\r';
    std::size_t at = text.find(terminator, from);
    if (at == std::string_view::npos) return text.size();
    ++at;
    if (ends == LineEnds::CrOrCrLf && at < text.size() && text[at] == '\n') ++at;
    return at;
}

std::size_t lineNumberAt(std::string_view text, std::size_t offset) {
    const char terminator = lineEndsOf(text) == LineEnds::Lf ? '\n' : '\r';
    const std::string_view before = text.substr(0, std::min(offset, text.size()));
    return 1 + static_cast<std::size_t>(std::count(before.begin(), before.end(), terminator));
}

}  // namespace trelmo
