// Large and odd input, and agreement with the plain line-by-line reading.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/csv.h"
#include "engine/error.h"
#include "tests/support/temp_dir.h"

namespace trelmo {
namespace {

using Records = std::vector<std::string>;

// The reading done the simple way: every line is joined to the pending text
// and the whole text is scanned again.
std::int32_t plainReading(const std::string& text, Records& out) {
    const bool lf = text.find('\r') == std::string::npos;
    Records lines;
    std::string current;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == (lf ? '\n' : '\r')) {
            lines.push_back(current);
            current.clear();
            if (!lf && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            current += text[i];
        }
        if (i + 1 == text.size() && !current.empty()) lines.push_back(current);
    }
    std::string pending;
    std::int32_t i = 0;
    for (std::string line : lines) {
        if (!pending.empty()) {
            line = pending + (lf ? "\n" : "\r\n") + line;
            pending.clear();
        }
        if (csv_detail::GetClosedFieldCount(line) > 0) {
            out.resize(static_cast<std::size_t>(i) + 1);
            out[static_cast<std::size_t>(i++)] = line;
        } else {
            pending += line;
        }
    }
    return i - 1;
}

class CsvHostile : public ::testing::Test {
protected:
    std::int32_t read(std::string_view bytes, Records& records) {
        return CSV().GetCSVasArray(dir.write("in.csv", bytes), records);
    }
    test::TempDir dir;
};

TEST_F(CsvHostile, AgreesWithThePlainReading) {
    std::mt19937 random(20240611);
    const std::vector<std::string> pieces{"a", "b", ",", "\"", "\r", "\n", "\r\n", "\xE3\x81\x82", " "};
    for (int round = 0; round < 4000; ++round) {
        std::string text;
        const int length = static_cast<int>(random() % 24);
        for (int k = 0; k < length; ++k) text += pieces[random() % pieces.size()];
        Records expected{"old"}, actual{"old"};
        const std::int32_t want = plainReading(text, expected);
        ASSERT_EQ(read(text, actual), want) << testing::PrintToString(text);
        ASSERT_EQ(actual, want < 0 ? Records{"old"} : expected) << testing::PrintToString(text);
    }
}

TEST_F(CsvHostile, MillionSingleFieldLines) {
    std::string text;
    for (int i = 0; i < 1000000; ++i) text += "line\r\n";
    Records records;
    EXPECT_EQ(read(text, records), -1);
    // Each followed by a second field: a million records.
    text.clear();
    for (int i = 0; i < 1000000; ++i) text += "line\r\n,x\r\n";
    EXPECT_EQ(read(text, records), 999999);
    EXPECT_EQ(records.back(), "line\r\n,x");
}

TEST_F(CsvHostile, LargeLineWithoutLineEnd) {
    Records records;
    EXPECT_EQ(read("a," + std::string(16 << 20, 'y'), records), 0);
    EXPECT_EQ(records.front().size(), (16u << 20) + 2);
    EXPECT_EQ(read(std::string(16 << 20, 'y'), records), -1);
}

TEST_F(CsvHostile, UnterminatedQuoteEarlyAndLate) {
    std::string text = "a,b\r\nc,\"never closed\r\n";
    for (int i = 0; i < 200000; ++i) text += "d,e\r\n";
    Records records;
    EXPECT_EQ(read(text, records), 0);
    EXPECT_EQ(read("a,b\r\nc,d\r\n\"" + std::string(1 << 20, 'z'), records), 1);
}

TEST_F(CsvHostile, ManyCommasInOneLine) {
    Records records{"keep"};
    try {
        read(std::string(1 << 20, ','), records);
        ADD_FAILURE();
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.number(), err::Overflow);
    }
    // Inside an open quote commas are no separators; the record is dropped.
    EXPECT_EQ(read("\"" + std::string(1 << 20, ','), records), -1);
    EXPECT_EQ(records, Records{"keep"});
}

TEST_F(CsvHostile, NulBytesSurviveIntoFields) {
    Records records;
    ASSERT_EQ(read(std::string("\0\0,\"\0,\0\"\r\n", 11), records), 0);
    const CSV csv;
    std::int16_t count = csv.GetFieldCount(records[0]);
    EXPECT_EQ(csv.GetFieldItems(records[0], count),
              (Records{std::string("\0\0", 2), std::string("\0,\0", 3)}));
}

}  // namespace
}  // namespace trelmo
