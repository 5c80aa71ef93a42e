// Agreement with the plain line-by-line reading, and lines joined in linear
// time. Hostile files through a whole conversion: csv_main_hostile_test.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/csv/csv.h"
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
    const std::vector<std::string> pieces{"a", "b", ",", "\"", "\r", "\n", "\r\n", "\xE3\x81\x82", " ", "a,b\n"};
    // Small texts, and a few over a megabyte, which are read by two threads
    // from a line start near the middle (without CR: lines end at LF).
    for (int round = 0; round < 4006; ++round) {
        const bool large = round >= 4000;
        const std::size_t kinds = round % 2 == 0 ? pieces.size() : pieces.size() - 1;
        std::string text;
        const int length = large ? 800000 : static_cast<int>(random() % 24);
        for (int k = 0; k < length; ++k) {
            const std::string& piece = pieces[random() % kinds];
            if (!(large && round % 3 == 0 && piece.find('\r') != std::string::npos)) text += piece;
        }
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

}  // namespace
}  // namespace trelmo
