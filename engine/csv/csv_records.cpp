// Reading a CSV file into records.
#include <deque>
#include <limits>

#include "engine/csv/csv.h"
#include "engine/csv/csv_scan.h"
#include "engine/error.h"
#include "engine/io/file_bytes.h"
#include "engine/text/decode.h"
#include "engine/text/lines.h"

namespace trelmo {

// A line is a record of its own when it holds at least two fields and no open
// quote; otherwise the lines that follow are joined to it until that holds.
// Blank lines between records vanish; what is still pending at the end is lost.
std::int32_t CSV::GetCSVasArray(const std::string& PathToCSV, std::vector<std::string>& MyArray) const {
    const FileBytes bytes(PathToCSV);
    return csv_detail::readRecords(bytes.view(), PathToCSV, MyArray);
}

CsvRecords::CsvRecords(const std::string& path) : bytes_(path) {
    const std::string_view text = decodeFileText(bytes_.view(), decoded_, path);
    csv_detail::splitRecords(text, joined_, records_);
}

std::int32_t csv_detail::readRecords(std::string_view bytes, const std::string& name,
                                     std::vector<std::string>& MyArray) {
    std::string decoded;
    const std::string_view text = decodeFileText(bytes, decoded, name);
    std::deque<std::string> joined;
    std::vector<std::string_view> views;
    splitRecords(text, joined, views);
    if (views.empty()) return -1;
    MyArray.assign(views.begin(), views.end());
    return static_cast<std::int32_t>(MyArray.size() - 1);
}

void csv_detail::splitRecords(std::string_view text, std::deque<std::string>& joined,
                              std::vector<std::string_view>& records) {
    const LineEnds ends = lineEndsOf(text);
    const std::string_view joint = lineJoint(ends);

    std::string pending;       // the lines of an unfinished record, joined
    csv_scan::FieldScan scan;  // over the current record's text, line by line
    LineCursor lines(text, ends);
    std::string_view line;
    const auto noField = [](std::string_view) {};
    while (lines.next(line)) {
        if (pending.empty()) {
            // Most lines are a record of their own: the whole line at once.
            std::int32_t fields = 0;
            if (csv_scan::scanFields(line, [&fields](std::string_view) { ++fields; }) && fields >= 2) {
                records.push_back(line);
                continue;
            }
            scan = {};
        }
        const bool isJoined = !pending.empty();
        if (isJoined) {
            pending += joint;
            pending += line;
        }
        const std::string_view current = isJoined ? std::string_view(pending) : line;
        scan.advance(current, noField);
        if (scan.closedCount() > 0) {
            if (isJoined) {
                joined.push_back(std::move(pending));
                records.push_back(joined.back());
            } else {
                records.push_back(line);
            }
            pending.clear();
            scan = {};
        } else if (!isJoined) {
            pending.assign(line);  // the scan goes on over the same text
        }
    }
    if (records.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) throw overflowError();
}

}  // namespace trelmo
