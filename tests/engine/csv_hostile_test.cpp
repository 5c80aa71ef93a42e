// Large and odd input, and agreement with the plain line-by-line reading.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/csv.h"
#include "engine/error.h"
#include "tests/support/csv_reference.h"
#include "tests/support/temp_dir.h"

namespace trelmo {
namespace {

using Records = std::vector<std::string>;

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
        Records actual{"old"};
        const Records expected = reference::plainRecords(text);
        const auto want = static_cast<std::int32_t>(expected.size()) - 1;
        // In memory: thousands of rewrites of one small file are slow on some file systems.
        ASSERT_EQ(csv_detail::readRecords(text, "in.csv", actual), want) << testing::PrintToString(text);
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
