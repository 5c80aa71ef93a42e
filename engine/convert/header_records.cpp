#include "engine/convert/header_records.h"

#include <algorithm>
#include <string>

#include "engine/convert/convert_plan.h"
#include "engine/error.h"

namespace trelmo {

std::optional<std::size_t> HeaderRecordsValue(std::string_view text) {
    std::size_t count = 0;
    bool whole = true;
    for (const char c : text) {
        whole = c >= '0' && c <= '9';
        if (!whole) break;
        // Held just past the limit, however many digits follow.
        count = std::min(count * 10 + static_cast<std::size_t>(c - '0'), kMaxHeaderRecords + 1);
    }
    if (!whole || count > kMaxHeaderRecords) return std::nullopt;
    return count;
}

std::string HeaderRecordsRefusal(std::string_view text) {
    return "スキーマの header の値「" + std::string(text) +
           "」は使えません。見出し行の数は 0 から 32767 までの整数で指定してください。";
}

std::size_t ParseHeaderRecords(std::string_view text) {
    const std::optional<std::size_t> count = HeaderRecordsValue(text);
    if (!count) throw RuntimeError(err::InvalidArgument, HeaderRecordsRefusal(text));
    return *count;
}

std::size_t HeaderRecordsOf(const xml::Node& top) {
    return top ? ParseHeaderRecords(convert::attributeValue(top, "header")) : 0;
}

}  // namespace trelmo
