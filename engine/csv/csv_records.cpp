// Reading a CSV file into records.
#include <array>
#include <deque>
#include <limits>
#include <utility>

#include "engine/csv/csv.h"
#include "engine/csv/csv_scan.h"
#include "engine/error.h"
#include "engine/io/file_bytes.h"
#include "engine/side_thread.h"
#include "engine/text/decode.h"
#include "engine/text/lines.h"

namespace trelmo {

ReadBounds csvReadBounds() { return {kMostCsvBytes, kMostRecordBytes}; }

// A line is a record of its own when it holds at least two fields and no open
// quote; otherwise the lines that follow are joined to it until that holds.
// Blank lines between records vanish; what is still pending at the end is lost.
std::int32_t CSV::GetCSVasArray(const std::string& PathToCSV, std::vector<std::string>& MyArray) const {
    const FileBytes bytes(PathToCSV, csvReadBounds());
    return csv_detail::readRecords(bytes.view(), PathToCSV, MyArray);
}

CsvRecords::CsvRecords(const std::string& path, RecordLimit limit)
    : path_(path), limit_(limit), bytes_(path, csvReadBounds()) {
    const FileText text = decodeFileTextInPieces(bytes_.view(), decoded_, path, Cp932Text::Kept);
    cp932_ = text.cp932;
    csv_detail::splitRecords(text.pieces, joined_, records_, path_, limit_);
}

void CsvRecords::decode() {
    if (!cp932_) return;
    // Checked already: this decoding cannot fail on the bytes.
    const FileText text = decodeFileTextInPieces(bytes_.view(), decoded_, {}, Cp932Text::Decoded);
    std::deque<std::string> joined;
    std::vector<std::string_view> records;
    csv_detail::splitRecords(text.pieces, joined, records, path_, limit_);
    joined_.swap(joined);
    records_.swap(records);
    cp932_ = false;
}

std::int32_t csv_detail::readRecords(std::string_view bytes, const std::string& name,
                                     std::vector<std::string>& MyArray) {
    std::array<LargeBuffer, 2> decoded;
    std::deque<std::string> joined;
    std::vector<std::string_view> views;
    splitRecords(decodeFileTextInPieces(bytes, decoded, name).pieces, joined, views, name, {});
    if (views.empty()) return -1;
    MyArray.assign(views.begin(), views.end());
    return static_cast<std::int32_t>(MyArray.size() - 1);
}

namespace {

RuntimeError tooManyRecords(const std::string& name, const RecordLimit& limit) {
    const std::string header =
        limit.header == 0 ? std::string() : "見出しの " + withThousands(limit.header) + " 件のほかに ";
    return {err::Overflow, "オーバーフローしました: CSV ファイル " + name + " のレコードが " + header +
                               withThousands(limit.most - limit.header) + " 件を超えています。"};
}

RuntimeError tooManyFields(const std::string& name, std::size_t record) {
    return {err::Overflow, "オーバーフローしました: CSV ファイル " + name + " の " + std::to_string(record) +
                               " 件目のレコードの列が " + withThousands(csv_scan::kMaxFields) + " 個を超えています。"};
}

RuntimeError recordTooLong(const std::string& name, std::size_t record) {
    return fileAccessError(name, std::to_string(record) + " 件目のレコードが長すぎます (1 件の上限は " +
                                     withThousands(kMostRecordBytes) + " バイトです)。");
}

enum class LineKind : unsigned char { Record, Part, Overflow };

struct Line {
    std::string_view text;
    std::uint32_t blanksBefore;  // blank lines right before it (at most the type's highest)
    LineKind kind;               // as a record's first line
};

std::uint32_t addBlanks(std::uint32_t a, std::uint32_t b) {
    return a > std::numeric_limits<std::uint32_t>::max() - b ? std::numeric_limits<std::uint32_t>::max() : a + b;
}

// The lines of a text that are not blank, each with what it would be as the
// first line of a record (a record by itself, a part of one, or too many
// fields) and the blank lines before it. Blank lines take no entry.
class LineReader {
public:
    LineReader(std::string_view text, LineEnds ends) : cursor_(text, ends) {}

    bool next(Line& line) {
        std::uint32_t blanks = 0;
        std::string_view text;
        while (cursor_.next(text)) {
            if (text.empty()) {
                blanks = addBlanks(blanks, 1);
                continue;
            }
            LineKind kind = LineKind::Part;
            try {
                if (csv_scan::isRecordByItself(text)) kind = LineKind::Record;
            } catch (const RuntimeError&) {
                kind = LineKind::Overflow;  // raised only if a record starts here
            }
            line = Line{text, blanks, kind};
            return true;
        }
        trailingBlanks_ = addBlanks(trailingBlanks_, blanks);  // asked again at the end: no more
        return false;
    }

    std::uint32_t trailingBlanks() const { return trailingBlanks_; }

private:
    LineCursor cursor_;
    std::uint32_t trailingBlanks_ = 0;
};

// The lines of every piece in turn. The first lines of the second piece are
// looked at ahead, on a thread of their own, while the first piece is split:
// only as many as the records still wanted could start, so that what is
// held stays small; the lines past them are looked at when reached.
class PieceLines {
public:
    PieceLines(const std::vector<std::string_view>& pieces, LineEnds ends, std::size_t ahead) {
        for (const std::string_view piece : pieces) readers_.emplace_back(piece, ends);
        if (readers_.size() >= 2) {
            helper_.start([this, ahead, &second = readers_[1]] {
                ahead_.reserve(ahead);
                Line line;
                while (ahead_.size() < ahead && second.next(line)) ahead_.push_back(line);
            });
        }
    }

    bool next(Line& line) {
        if (taken_ < aheadEnd_) {
            line = ahead_[taken_++];
            return true;
        }
        if (reader_ && reader_->next(line)) return true;  // most lines
        return nextPiece(line);
    }

private:
    // The first line of a piece after the current one, past any lines looked at ahead.
    bool nextPiece(Line& line) {
        if (reader_) {
            // A piece ends at a line's end: its last blank lines come before the next piece's first line.
            carried_ = addBlanks(carried_, reader_->trailingBlanks());
            ++current_;
        }
        for (; current_ < readers_.size(); ++current_) {
            reader_ = &readers_[current_];
            if (current_ == 1) {
                helper_.join();
                aheadEnd_ = ahead_.size();  // next() takes the rest of them
                if (taken_ < aheadEnd_) {
                    line = ahead_[taken_++];
                    return carry(line);
                }
            }
            if (reader_->next(line)) return carry(line);
            carried_ = addBlanks(carried_, reader_->trailingBlanks());
        }
        reader_ = nullptr;
        return false;
    }

    bool carry(Line& line) {
        line.blanksBefore = addBlanks(line.blanksBefore, std::exchange(carried_, 0));
        return true;
    }

    std::deque<LineReader> readers_;
    std::vector<Line> ahead_;
    std::size_t taken_ = 0;
    std::size_t current_ = 0;
    std::size_t aheadEnd_ = 0;  // lines ahead that next() may take: none until the helper is done
    LineReader* reader_ = nullptr;  // the current piece's
    std::uint32_t carried_ = 0;
    SideThread helper_;  // last: stopped before the members it uses go
};

}  // namespace

void csv_detail::splitRecords(const std::vector<std::string_view>& pieces, std::deque<std::string>& joined,
                              std::vector<std::string_view>& records, const std::string& name, RecordLimit limit) {
    bool anyCr = false;
    for (const std::string_view piece : pieces) anyCr = anyCr || piece.find('\r') != std::string_view::npos;
    const LineEnds ends = anyCr ? LineEnds::CrOrCrLf : LineEnds::Lf;
    const std::string_view joint = lineJoint(ends);
    constexpr std::size_t kMostAhead = 65536;
    PieceLines lines(pieces, ends, std::min(limit.most, kMostAhead) + 1);
    records.reserve(records.size() + std::min(limit.most, kMostAhead));

    // False once the limit is reached and the reading stops there.
    const auto keep = [&](std::string_view record) {
        if (records.size() >= limit.most) {
            if (limit.refuse) throw tooManyRecords(name, limit);
            return false;
        }
        records.push_back(record);
        return true;
    };
    std::string pending;       // the lines of an unfinished record, joined
    csv_scan::FieldScan scan;  // over the current record's text, line by line
    const auto noField = [](std::string_view) {};
    Line next;
    while (lines.next(next)) {
        const auto& [line, blanks, kind] = next;
        if (line.size() > kMostRecordBytes) throw recordTooLong(name, records.size() + 1);
        if (pending.empty()) {
            // Most lines are a record of their own.
            if (kind == LineKind::Overflow) throw tooManyFields(name, records.size() + 1);
            if (kind == LineKind::Record) {
                if (!keep(line)) return;
                continue;
            }
            scan = {};
        }
        const bool isJoined = !pending.empty();
        if (isJoined) {
            // The blank lines inside a record stay in it.
            if (pending.size() + (std::size_t{blanks} + 1) * joint.size() + line.size() > kMostRecordBytes) {
                throw recordTooLong(name, records.size() + 1);
            }
            for (std::uint32_t k = 0; k <= blanks; ++k) pending += joint;
            pending += line;
        }
        const std::string_view current = isJoined ? std::string_view(pending) : line;
        bool closed;
        try {
            scan.advance(current, noField);
            closed = scan.closedCount() > 0;
        } catch (const RuntimeError& e) {
            if (e.number() != err::Overflow) throw;
            throw tooManyFields(name, records.size() + 1);
        }
        if (closed) {
            if (isJoined) {
                joined.push_back(std::move(pending));
                if (!keep(joined.back())) return;
            } else if (!keep(line)) {
                return;
            }
            pending.clear();
            scan = {};
        } else if (!isJoined) {
            pending.assign(line);  // the scan goes on over the same text
        }
    }
}

}  // namespace trelmo
