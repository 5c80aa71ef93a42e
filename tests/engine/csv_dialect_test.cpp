// Splitting records into fields.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/csv/csv.h"
#include "engine/csv/csv_scan.h"
#include "engine/error.h"

namespace trelmo {
namespace {

using Fields = std::vector<std::string>;

Fields split(std::string_view record) {
    const CSV csv;
    std::int16_t count = csv.GetFieldCount(record);
    return csv.GetFieldItems(record, count);
}

int errorNumberOf(auto&& call) {
    try {
        call();
    } catch (const RuntimeError& error) {
        return error.number();
    }
    return 0;
}

// n fields "x" separated by commas.
std::string manyFields(int n) {
    std::string text = "x";
    for (int i = 1; i < n; ++i) text += ",x";
    return text;
}

TEST(CsvDialect, PlainFields) {
    EXPECT_EQ(split("a,b"), (Fields{"a", "b"}));
    EXPECT_EQ(split("a,,b"), (Fields{"a", "", "b"}));
    EXPECT_EQ(split("a,b,"), (Fields{"a", "b", ""}));
    EXPECT_EQ(split(",a"), (Fields{"", "a"}));
    EXPECT_EQ(split("a, b "), (Fields{"a", " b "}));
    EXPECT_EQ(split("mid\"dle,x"), (Fields{"mid\"dle", "x"}));
}

TEST(CsvDialect, EmptyRecordHasOneEmptyField) {
    const CSV csv;
    EXPECT_EQ(csv.GetFieldCount(""), 0);
    EXPECT_EQ(split(""), (Fields{""}));
    EXPECT_EQ(split(","), (Fields{"", ""}));
}

TEST(CsvDialect, QuotedFields) {
    EXPECT_EQ(split("x,\"p,q\",y"), (Fields{"x", "p,q", "y"}));
    EXPECT_EQ(split("x,\"p\r\nq\",y"), (Fields{"x", "p\r\nq", "y"}));
    EXPECT_EQ(split("\"\",b"), (Fields{"", "b"}));
    // Text after the closing quote stays in the field; its last character goes.
    EXPECT_EQ(split("\"ab\"cd,e"), (Fields{"ab\"c", "e"}));
    EXPECT_EQ(split(" \"a,b\""), (Fields{" \"a", "b\""}));
}

TEST(CsvDialect, DoubledQuotesAreNotSpecial) {
    EXPECT_EQ(split("\"a\"\"b\",c"), (Fields{"a\"\"b", "c"}));
    EXPECT_EQ(split("\"a\"\",b\",c"), (Fields{"a\"", "b\"", "c"}));
    EXPECT_EQ(split("\"\"\""), (Fields{"\""}));
}

TEST(CsvDialect, StripDropsWholeLastCharacter) {
    using csv_detail::StripFieldQuotes;
    EXPECT_EQ(StripFieldQuotes("\"abc\""), "abc");
    EXPECT_EQ(StripFieldQuotes("abc\""), "abc\"");
    EXPECT_EQ(StripFieldQuotes("\"\""), "");
    EXPECT_EQ(StripFieldQuotes("\""), "");
    // A multi-byte last character goes as a whole, never leaving half of it.
    EXPECT_EQ(StripFieldQuotes("\"ab\"\xE3\x81\x82"), "ab\"");
    EXPECT_EQ(StripFieldQuotes("\"\xF0\x9F\x98\x80\xF0\x9F\x98\x80"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(StripFieldQuotes("\"\xE6\x97\xA5\xE6\x9C\xAC\""), "\xE6\x97\xA5\xE6\x9C\xAC");
    // In code page 932 bytes too, where a trail byte may look like ASCII or like a lead byte.
    const Cp932Decoder& cp932 = *Cp932Decoder::instance();
    for (const auto& [field, stripped] : std::initializer_list<std::pair<std::string_view, std::string_view>>{
             {"\"ab\"\x8C\xEA", "ab\""},                   // 語
             {"\"\x83\x5C\x83\x5C", "\x83\x5C"},           // ソソ, 5C a trail
             {"\"\x83\x8E\x82\xF0", "\x83\x8E"},           // ヰを, trails in the lead range
             {"\"\xB1\x82\xA0\"", "\xB1\x82\xA0"},        // ｱあ
             {"\"a\xB1", "a"},
             {"\"", ""},
             {"ab", "ab"}}) {
        EXPECT_EQ(csv_detail::StripFieldQuotesView(field, &cp932), stripped) << testing::PrintToString(field);
    }
}

TEST(CsvDialect, ClosedFieldCount) {
    using csv_detail::GetClosedFieldCount;
    EXPECT_EQ(GetClosedFieldCount(""), 0);
    EXPECT_EQ(GetClosedFieldCount("abc"), 0);
    EXPECT_EQ(GetClosedFieldCount("a,b,c"), 2);
    EXPECT_EQ(GetClosedFieldCount("x,\"p,q\",y"), 2);
    EXPECT_EQ(GetClosedFieldCount("x,\"p"), -1);
    EXPECT_EQ(GetClosedFieldCount("\""), -1);
    EXPECT_EQ(GetClosedFieldCount("a,b,\"c,d"), -1);
    // A quote later in a field opens nothing.
    EXPECT_EQ(GetClosedFieldCount("a,b\"c,d"), 2);
}

TEST(CsvDialect, OpenQuoteIsAnInvalidArgument) {
    const CSV csv;
    EXPECT_EQ(errorNumberOf([&] { csv.GetFieldCount("x,\"p"); }), err::InvalidArgument);
    std::int16_t count = 5;
    EXPECT_EQ(errorNumberOf([&] { csv.GetFieldItems("x,\"p", count); }), err::InvalidArgument);
}

TEST(CsvDialect, FieldListHasExactlyTheAskedSize) {
    const CSV csv;
    std::int16_t count = 3;
    EXPECT_EQ(csv.GetFieldItems("a,\"b\"", count), (Fields{"a", "b", "", ""}));
    count = 1;
    EXPECT_EQ(errorNumberOf([&] { csv.GetFieldItems("a,b,c", count); }), err::SubscriptOutOfRange);
    count = -1;
    EXPECT_EQ(errorNumberOf([&] { csv.GetFieldItems("a", count); }), err::SubscriptOutOfRange);
}

TEST(CsvDialect, SixteenBitFieldLimit) {
    const CSV csv;
    const std::string most = manyFields(32767);
    EXPECT_EQ(csv.GetFieldCount(most), 32766);
    EXPECT_EQ(csv_detail::GetClosedFieldCount(most), 32766);
    std::int16_t count = 32766;
    EXPECT_EQ(csv.GetFieldItems(most, count).size(), 32767u);

    const std::string tooMany = manyFields(32768);
    EXPECT_EQ(errorNumberOf([&] { csv.GetFieldCount(tooMany); }), err::Overflow);
    EXPECT_EQ(errorNumberOf([&] { csv_detail::GetClosedFieldCount(tooMany); }), err::Overflow);
    count = 32767;
    EXPECT_EQ(errorNumberOf([&] { csv.GetFieldItems(tooMany, count); }), err::Overflow);
    // 32,767 closed fields and an open one: the scan stops before counting it.
    EXPECT_EQ(csv_detail::GetClosedFieldCount(most + ",\"open"), -1);
    // Whether a whole text is a record by itself: the same limit, open quote or not.
    EXPECT_TRUE(csv_scan::isRecordByItself(most));
    EXPECT_FALSE(csv_scan::isRecordByItself(most + ",\"open"));
    for (const std::string& text : {tooMany, tooMany + ",\"open", "\"a," + tooMany + "\"" + tooMany}) {
        EXPECT_EQ(errorNumberOf([&] { csv_scan::isRecordByItself(text); }), err::Overflow);
    }
}

}  // namespace
}  // namespace trelmo

namespace trelmo {
namespace {

// The whole-text scan (bit masks, sixteen bytes at a time) finds what the
// resumable scan finds fed a character at a time: fields across the words of
// its masks, quotes at a field's start and inside it, texts too long for the masks.
TEST(CsvDialect, WholeTextScanAgreesWithTheResumableScan) {
    std::mt19937 random(14);
    const char* pieces[] = {"a", ",", "\"", "\",", "xyz", "\xE6\x97\xA5"};
    for (const std::size_t length : {0, 1, 15, 16, 17, 63, 64, 65, 130, 1000, 17000}) {
        for (int round = 0; round < 20; ++round) {
            std::string text;
            while (text.size() < length) text += pieces[random() % 6];
            std::vector<std::string_view> whole, resumed;
            const bool closed = csv_scan::scanFields(text, [&](std::string_view f) { whole.push_back(f); });
            csv_scan::FieldScan scan;
            for (std::size_t end = 0; end <= text.size(); ++end) {
                scan.advance(std::string_view(text).substr(0, end), [&](std::string_view f) { resumed.push_back(f); });
            }
            EXPECT_EQ(closed, scan.finish(text, [&](std::string_view f) { resumed.push_back(f); })) << text;
            EXPECT_EQ(whole, resumed) << text;
            EXPECT_EQ(csv_scan::isRecordByItself(text), closed && whole.size() >= 2) << text;
        }
    }
}

}  // namespace
}  // namespace trelmo
