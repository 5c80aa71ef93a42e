// Listing a CSV file as a table with numbered columns.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/csv/csv.h"
#include "engine/error.h"
#include "tests/support/temp_dir.h"
#include "tests/support/thrown.h"

namespace trelmo {
namespace {

using Row = std::vector<std::string>;

// Records every call, starting from a list that already shows something.
class RecordingList : public CsvListTarget {
public:
    void clearHeaders() override {
        calls.push_back("clearHeaders");
        headers.clear();
    }
    void addHeader(const std::string& text) override { headers.push_back(text); }
    void clearItems() override {
        calls.push_back("clearItems");
        rows.clear();
    }
    void addItem(std::vector<std::string> fields) override { rows.push_back(std::move(fields)); }

    std::vector<std::string> calls;
    std::vector<std::string> headers{"old"};
    std::vector<Row> rows{{"old"}};
};

class CsvListView : public ::testing::Test {
protected:
    // Fills list from a file with these bytes; the error number, 0 without one.
    int load(std::string_view bytes) {
        return test::thrown([&] { CSV().LoadCSVToListView(dir.write("in.csv", bytes), list); }).number();
    }
    test::TempDir dir;
    RecordingList list;
};

TEST_F(CsvListView, ColumnsFollowTheFirstRecord) {
    ASSERT_EQ(load("a,b,c\r\nd,e\r\n"), 0);
    EXPECT_EQ(list.calls, (std::vector<std::string>{"clearHeaders", "clearItems"}));
    EXPECT_EQ(list.headers, (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(list.rows, (std::vector<Row>{{"a", "b", "c"}, {"d", "e", ""}}));
}

TEST_F(CsvListView, OneRecordWithQuotedFields) {
    ASSERT_EQ(load("\"x,y\",\"line\r\nbreak\""), 0);
    EXPECT_EQ(list.headers, (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(list.rows, (std::vector<Row>{{"x,y", "line\r\nbreak"}}));
}

TEST_F(CsvListView, AWiderRecordWidensTheColumns) {  // a row with an unquoted comma, and every row after it
    ASSERT_EQ(load("a,b\r\nc,d\r\ne,f,g\r\nh,i\r\n"), 0);
    EXPECT_EQ(list.headers, (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(list.rows, (std::vector<Row>{{"a", "b", ""}, {"c", "d", ""}, {"e", "f", "g"}, {"h", "i", ""}}));
}

TEST_F(CsvListView, NoRecordOrNoFileLeavesTheListAlone) {
    EXPECT_EQ(load(""), err::SubscriptOutOfRange);
    EXPECT_EQ(load("single\r\nfields\r\n"), err::SubscriptOutOfRange);
    EXPECT_EQ(test::thrown([&] { CSV().LoadCSVToListView(dir.file("missing.csv"), list); }).number(),
              err::FileNotFound);
    EXPECT_TRUE(list.calls.empty());
    EXPECT_EQ(list.headers, std::vector<std::string>{"old"});
}

TEST_F(CsvListView, LargeFile) {
    std::string text;
    for (int r = 0; r < 100000; ++r) {
        text += "\"q,0\"";
        for (int f = 1; f < 20; ++f) text += ",v" + std::to_string(f);
        text += "\r\n";
    }
    ASSERT_EQ(load(text), 0);
    EXPECT_EQ(list.headers.size(), 20u);
    ASSERT_EQ(list.rows.size(), 100000u);
    EXPECT_EQ(list.rows.back().front(), "q,0");
    EXPECT_EQ(list.rows.back().back(), "v19");
}

}  // namespace
}  // namespace trelmo
