// Reading a CSV file into records.
#include <array>
#include <deque>
#include <exception>
#include <limits>
#include <thread>

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
    const FileText text = decodeFileTextInPieces(bytes_.view(), decoded_, path, Cp932Text::Kept);
    cp932_ = text.cp932;
    csv_detail::splitRecords(text.pieces, joined_, records_);
}

void CsvRecords::decode() {
    if (!cp932_) return;
    // Checked already: this decoding cannot fail on the bytes.
    const FileText text = decodeFileTextInPieces(bytes_.view(), decoded_, {}, Cp932Text::Decoded);
    std::deque<std::string> joined;
    std::vector<std::string_view> records;
    csv_detail::splitRecords(text.pieces, joined, records);
    joined_.swap(joined);
    records_.swap(records);
    cp932_ = false;
}

std::int32_t csv_detail::readRecords(std::string_view bytes, const std::string& name,
                                     std::vector<std::string>& MyArray) {
    std::array<LargeBuffer, 2> decoded;
    std::deque<std::string> joined;
    std::vector<std::string_view> views;
    splitRecords(decodeFileTextInPieces(bytes, decoded, name).pieces, joined, views);
    if (views.empty()) return -1;
    MyArray.assign(views.begin(), views.end());
    return static_cast<std::int32_t>(MyArray.size() - 1);
}

namespace {

enum class LineKind : unsigned char { Record, Part, Overflow };

struct Line {
    std::string_view text;
    LineKind kind;  // as a record's first line
};

// The lines of text and what each would be as the first line of a record: a
// record by itself (two fields or more, no open quote), a part of one, or too
// many fields. Each line on its own, so a text can be cut at a line's start.
void classifyLines(std::string_view text, LineEnds ends, std::vector<Line>& lines) {
    LineCursor cursor(text, ends);
    std::string_view line;
    while (cursor.next(line)) {
        LineKind kind = LineKind::Part;
        try {
            if (csv_scan::isRecordByItself(line)) kind = LineKind::Record;
        } catch (const RuntimeError&) {
            kind = LineKind::Overflow;  // raised only if a record starts here
        }
        lines.push_back(Line{line, kind});
    }
}

// The lines of every piece, the second looked at on a thread of its own.
std::vector<Line> linesOf(const std::vector<std::string_view>& pieces, LineEnds ends) {
    std::vector<Line> lines;
    if (pieces.size() < 2) {
        for (const std::string_view piece : pieces) classifyLines(piece, ends, lines);
        return lines;
    }
    std::vector<Line> second;
    std::exception_ptr failure;
    {
        const std::jthread helper([&] {
            try {
                classifyLines(pieces[1], ends, second);
            } catch (...) {
                failure = std::current_exception();
            }
        });
        classifyLines(pieces[0], ends, lines);
    }
    if (failure) std::rethrow_exception(failure);
    lines.insert(lines.end(), second.begin(), second.end());
    for (std::size_t k = 2; k < pieces.size(); ++k) classifyLines(pieces[k], ends, lines);
    return lines;
}

}  // namespace

void csv_detail::splitRecords(const std::vector<std::string_view>& pieces, std::deque<std::string>& joined,
                              std::vector<std::string_view>& records) {
    bool anyCr = false;
    for (const std::string_view piece : pieces) anyCr = anyCr || piece.find('\r') != std::string_view::npos;
    const LineEnds ends = anyCr ? LineEnds::CrOrCrLf : LineEnds::Lf;
    const std::string_view joint = lineJoint(ends);
    const std::vector<Line> lines = linesOf(pieces, ends);
    records.reserve(records.size() + lines.size());

    std::string pending;       // the lines of an unfinished record, joined
    csv_scan::FieldScan scan;  // over the current record's text, line by line
    const auto noField = [](std::string_view) {};
    for (const auto& [line, kind] : lines) {
        if (pending.empty()) {
            // Most lines are a record of their own.
            if (kind == LineKind::Overflow) throw overflowError();
            if (kind == LineKind::Record) {
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
