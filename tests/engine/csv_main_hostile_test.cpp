// Hostile CSV files through a whole conversion: each converts as the dialect
// says or ends in a clear message, with no output left behind on failure.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "engine/error.h"
#include "engine/startup/startup.h"
#include "tests/support/recording_messages.h"
#include "tests/support/temp_dir.h"

namespace trelmo {
namespace {

class CsvMainHostile : public testing::Test {
protected:
    ExitStatus run(const std::string& csv, std::string_view schema = kSchema) {
        messages.shown.clear();
        const std::string csvPath = tmp.write("in.csv", csv);
        const std::string schemaPath = tmp.write("s.dsd", schema);
        return Main(JoinArguments({csvPath, schemaPath, out}), messages, progress);
    }
    std::string output() const { return test::readFile(out); }

    // Fails the test unless the run ended with exactly one plain message
    // containing `part`, and wrote nothing.
    void expectFailure(ExitStatus status, std::string_view part) {
        EXPECT_EQ(status, ExitStatus::Failure);
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_NE(messages.shown[0].text.find(part), std::string::npos) << messages.shown[0].text;
        EXPECT_FALSE(test::fileExists(out));
    }

    static constexpr std::string_view kSchema =
        "<element name=\"r\" root=\"t\"><attribute name=\"k\" DataSource=\"1\"/><text DataSource=\"2\"/></element>";
    test::TempDir tmp;
    std::string out = tmp.file("out.xml");
    test::RecordingMessages messages;
    NullProgress progress;
};

TEST_F(CsvMainHostile, HundredMegabyteLastLineWithoutLineEnd) {
    const std::size_t size = 100u << 20;
    std::string csv = "1,a\r\n2,";
    csv.append(size, 'y');
    ASSERT_EQ(run(csv), ExitStatus::Success) << messages.texts().front();
    const std::string xml = output();
    EXPECT_EQ(xml.size(), size + std::string("<?xml version=\"1.0\"?>\r\n<t><r k=\"1\">a</r><r k=\"2\"></r></t>\r\n").size());
    EXPECT_EQ(xml.substr(xml.size() - 13), "yyy</r></t>\r\n");
    csv.assign(size, 'y');  // one field only: no record at all
    EXPECT_EQ(run(csv), ExitStatus::Failure);
    EXPECT_EQ(messages.texts(), std::vector<std::string>{kNoValidData});
}

TEST_F(CsvMainHostile, FieldOf32768Commas) {
    const std::string commas(32768, ',');
    ASSERT_EQ(run("1,\"" + commas + "\"\r\n2,x\r\n"), ExitStatus::Success);
    EXPECT_EQ(output(), "<?xml version=\"1.0\"?>\r\n<t><r k=\"1\">" + commas + "</r><r k=\"2\">x</r></t>\r\n");
    // Unquoted, the same commas make 32,770 fields, more than a record holds.
    std::filesystem::remove(out);
    expectFailure(run("1," + commas + "\r\n2,x\r\n"), "in.csv の 1 件目のレコードの列が 32,767 個を超えています。");
    // Inside a quote that never closes they are no separators: the line is dropped.
    EXPECT_EQ(run("1,a\r\n\"" + std::string(1 << 20, ',')), ExitStatus::Failure);
    EXPECT_EQ(messages.texts(), std::vector<std::string>{kNoValidData});
}

TEST_F(CsvMainHostile, InvalidCp932BytesNameTheFileAndLine) {
    // 0x85 0x40 is no character in code page 932, and a lead byte at the end is cut off.
    for (const std::string csv : {"1,a\r\n2,b\r\n3,\x85\x40\r\n", "1,a\r\n2,b\r\n3,\x82"}) {
        test::writeFile(out, "keep");
        EXPECT_EQ(run(csv), ExitStatus::Failure);
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_NE(messages.shown[0].text.find(" 3 行目"), std::string::npos) << messages.shown[0].text;
        EXPECT_NE(messages.shown[0].text.find(tmp.file("in.csv")), std::string::npos);
        EXPECT_EQ(output(), "keep");
    }
}

TEST_F(CsvMainHostile, NulBytes) {
    // In a field that the schema uses: XML cannot hold the character.
    expectFailure(run(std::string("1,a\0b\r\n2,c\r\n", 12)), "NUL");
    // In a field that no node uses: nothing to write, nothing to refuse.
    ASSERT_EQ(run(std::string("1,a,\0\r\n2,c,\0\0\r\n", 15)), ExitStatus::Success);
    EXPECT_EQ(output(), "<?xml version=\"1.0\"?>\r\n<t><r k=\"1\">a</r><r k=\"2\">c</r></t>\r\n");
}

TEST_F(CsvMainHostile, UnterminatedQuoteDropsTheRestOfTheFile) {
    std::string csv = "1,a\r\n2,b\r\n3,\"open, never closed\r\n";
    for (int i = 0; i < 200000; ++i) csv += "4,d\r\n";
    ASSERT_EQ(run(csv), ExitStatus::Success);
    EXPECT_EQ(output(), "<?xml version=\"1.0\"?>\r\n<t><r k=\"1\">a</r><r k=\"2\">b</r></t>\r\n");
    EXPECT_EQ(run("1,a\r\n\"2,b"), ExitStatus::Failure);
    EXPECT_EQ(messages.texts(), std::vector<std::string>{kNoValidData});
}

}  // namespace
}  // namespace trelmo
