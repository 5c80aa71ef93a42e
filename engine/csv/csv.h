#pragma once
// The program's own CSV dialect: commas, a double quote that matters only at
// the start of a field, quoted fields across lines, no header line.
//
// Files are read as UTF-8 when they are valid UTF-8 (a BOM is dropped), else
// as code page 932. Lines end at CR LF or CR; a lone LF ends a line only in a
// file without any CR. Records are stored as UTF-8.

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "engine/io/file_bytes.h"
#include "engine/text/cp932.h"
#include "engine/text/utf8.h"
#include "engine/large_buffer.h"

namespace trelmo {

// What LoadCSVToListView fills: the generic interface of a list view.
class CsvListTarget {
public:
    virtual ~CsvListTarget() = default;
    virtual void clearHeaders() = 0;
    virtual void addHeader(const std::string& text) = 0;
    virtual void clearItems() = 0;
    // One row: its own text is fields[0], sub-items 1.. are the rest.
    virtual void addItem(std::vector<std::string> fields) = 0;
};

class CSV {
public:
    // Reads the file into records; returns the highest record index, -1 when
    // the file yields no record (records is then left as it was).
    std::int32_t GetCSVasArray(const std::string& PathToCSV, std::vector<std::string>& MyArray) const;

    // Highest field index of a record.
    std::int16_t GetFieldCount(std::string_view sTmp) const;

    // Fields 0..intFieldCount with enclosing quotes removed.
    std::vector<std::string> GetFieldItems(std::string_view sTmp, std::int16_t& intFieldCount) const;

    // Fills a list with the file's records, one numbered column per field of
    // the widest record.
    void LoadCSVToListView(const std::string& PathToCSV, CsvListTarget& MyListView) const;
};

// A file's records as GetCSVasArray reads them, as views into the file's text
// rather than a copy of each: what a conversion reads. The records of a code
// page 932 file are its own bytes until decode(): a writer of that code page
// can take them as they are. Commas, quotes and line ends are never part of
// a two-byte character, so the records and fields are the same either way.
// How many records a reading keeps. Past `most`, the next record is refused
// with the overflow error naming the limit and the file, or with `refuse`
// false only not read: the reading stops there.
struct RecordLimit {
    std::size_t most = static_cast<std::size_t>(-1);
    bool refuse = true;
    std::size_t header = 0;  // of `most`, the header records: the message counts the others
};

// The records a conversion takes: its record counter is 16-bit.
inline constexpr std::size_t kMostConvertedRecords = 32767;
// What no convertible CSV file reaches, refused while the file is read: the
// whole file, and one record (a line, or the lines a quoted field joins).
inline constexpr std::size_t kMostCsvBytes = std::size_t{1} << 30;
inline constexpr std::size_t kMostRecordBytes = std::size_t{256} << 20;
ReadBounds csvReadBounds();

class CsvRecords {
public:
    // Raises what GetCSVasArray raises, and the overflow error past the limit.
    explicit CsvRecords(const std::string& path, RecordLimit limit = {kMostConvertedRecords, true});
    CsvRecords(const CsvRecords&) = delete;  // the views point into the members
    CsvRecords& operator=(const CsvRecords&) = delete;

    const std::vector<std::string_view>& records() const { return records_; }
    // The records are code page 932 bytes, not UTF-8.
    bool cp932() const { return cp932_; }
    // Decodes the records into UTF-8, which records() then gives.
    void decode();

private:
    std::string path_;
    RecordLimit limit_;
    FileBytes bytes_;      // the file; UTF-8 and kept code page 932 text are used in place
    std::array<LargeBuffer, 2> decoded_;  // the text of a decoded code page 932 file, in pieces
    bool cp932_ = false;
    std::deque<std::string> joined_;  // records of several lines, joined
    std::vector<std::string_view> records_;
};

// Private helpers, exposed for tests.
namespace csv_detail {
// GetCSVasArray on bytes already read; name is the file named in errors.
std::int32_t readRecords(std::string_view bytes, const std::string& name, std::vector<std::string>& MyArray);
// The records of decoded text, given in pieces that hold whole lines,
// appended to records: views into the pieces, or into joined for a record of
// several lines. `name` is the file named in errors.
void splitRecords(const std::vector<std::string_view>& pieces, std::deque<std::string>& joined,
                  std::vector<std::string_view>& records, const std::string& name, RecordLimit limit);

// Highest field index, or -1 while a quoted field is still open.
std::int16_t GetClosedFieldCount(std::string_view sTmp);
std::string StripFieldQuotes(std::string_view field);
// StripFieldQuotes without a copy: a view into field, of UTF-8 or, with
// `cp932`, of code page 932 bytes.
inline std::string_view StripFieldQuotesView(std::string_view field, const Cp932Decoder* cp932 = nullptr) {
    if (field.empty() || field.front() != '"') return field;
    if (field.size() < 2) return {};
    // Drops the first and the last character, whatever the last one is. A
    // byte below 0x80 (below 0x40 in code page 932) is a character by itself.
    const auto back = static_cast<unsigned char>(field.back());
    std::size_t last = 1;
    if (cp932) {
        if (back >= 0x40) last = cp932->lastCharacterLength(field.substr(1));
    } else if (back >= 0x80) {
        last = lastCodePointLength(field.substr(1));
    }
    return field.substr(1, field.size() - 1 - last);
}
}  // namespace csv_detail

}  // namespace trelmo
