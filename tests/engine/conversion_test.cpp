// One conversion end to end in-process: what it writes, what it says, and
// that a failure leaves no output and an existing file untouched.

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <random>

#include "engine/convert/convert2xml.h"
#include "engine/convert/record_chunks.h"
#include "engine/error.h"
#include "engine/startup/startup.h"
#include "tests/support/recode.h"
#include "tests/support/recording_messages.h"
#include "tests/support/temp_dir.h"

namespace trelmo {
namespace {

class Conversion : public testing::Test {
protected:
    // Runs Main on the three files and returns its status.
    ExitStatus run(std::string_view csv, std::string_view schema) {
        const std::string csvPath = tmp.write("in.csv", csv);
        const std::string schemaPath = tmp.write("s.dsd", schema);
        return Main(JoinArguments({csvPath, schemaPath, out}), messages, progress);
    }

    test::TempDir tmp;
    std::string out = tmp.file("out.xml");
    test::RecordingMessages messages;
    NullProgress progress;
};

constexpr std::string_view kTextSchema = "<element name=\"r\"><text DataSource=\"1\"/></element>";

std::string records(int count) {
    std::string csv;
    for (int i = 0; i < count; ++i) csv += std::to_string(i) + ",x\r\n";
    return csv;
}

// What each failure shows, in order: the whole text or a part of it, and the
// icon. No output is written.
TEST_F(Conversion, FailuresSayWhyAndWriteNothing) {
    struct Shown {
        std::string text;
        MsgIcon icon;
        bool whole;
    };
    using enum MsgIcon;
    const std::string twoRecords = "a,b\r\nc,d\r\n", text(kTextSchema);
    const struct {
        std::optional<std::string> csv, schema;  // none: a missing file
        std::string output;
        std::vector<Shown> shown;
    } cases[] = {
        {"a,b\r\n", text, out, {{kNoValidData, Exclamation, true}}},
        {"", text, out, {{kNoValidData, Exclamation, true}}},
        {"a\r\nb\r\nc\r\n", text, out, {{kNoValidData, Exclamation, true}}},
        {twoRecords, "<element>\n<text>\n</element>\n", out,
         {{"\r\nLine: 3\r\nText: </element>", Exclamation, false}, {kSchemaLoadFailed, Information, true}}},
        {twoRecords, std::nullopt, out, {{"none.dsd", Exclamation, false}, {kSchemaLoadFailed, Information, true}}},
        {std::nullopt, text, out, {{"none.csv", None, false}}},
        {twoRecords, text, tmp.file("missing/out.xml"), {{"out.xml", None, false}}},
        {records(32768), text, out, {{"in.csv のレコードが 32,767 件を超えています。", None, false}}},
        // A header count that is no count; two records converted at least; record numbers count the file's.
        {twoRecords, "<element HEADER=\"1.5\"/>", out,
         {{"header の値「1.5」", Exclamation, false}, {kSchemaLoadFailed, Information, true}}},
        {"t,t\r\n" + twoRecords, "<element header=\"2\"/>", out, {{kNoValidData, Exclamation, true}}},
        {"t,t\r\n" + twoRecords + "e\x01,f\r\n", "<element header=\"1\"><text DataSource=\"1\"/></element>", out,
         {{"4 件目のレコードの 1 列目: ", None, false}}},
        // A fixed value, or a data source's error text, that the output cannot hold, named by its node.
        {twoRecords, "<element encoding=\"Shift_JIS\"><text DataSource=\"1\"/><Comment VALUE=\"한\"/></element>", out,
         {{"スキーマの 3 番目のノード（comment）の固定値: ", None, false}}},
        {twoRecords, "<element encoding=\"Shift_JIS\"><comment DataSource=\"한\"/></element>", out,
         {{"スキーマの 2 番目のノード（comment）のデータソース: ", None, false}}},
    };
    for (const auto& c : cases) {
        messages.shown.clear();
        const std::string csv = c.csv ? tmp.write("in.csv", *c.csv) : tmp.file("none.csv");
        const std::string schema = c.schema ? tmp.write("s.dsd", *c.schema) : tmp.file("none.dsd");
        EXPECT_EQ(Main(JoinArguments({csv, schema, c.output}), messages, progress), ExitStatus::Failure) << csv;
        ASSERT_EQ(messages.shown.size(), c.shown.size()) << testing::PrintToString(messages.texts());
        for (std::size_t i = 0; i < c.shown.size(); ++i) {
            const std::string& shown = messages.shown[i].text;
            if (c.shown[i].whole) EXPECT_EQ(shown, c.shown[i].text);
            else EXPECT_NE(shown.find(c.shown[i].text), std::string::npos) << shown;
            EXPECT_EQ(messages.shown[i].icon, c.shown[i].icon) << shown;
        }
        EXPECT_FALSE(test::fileExists(c.output));
    }
}

TEST_F(Conversion, FailuresLeaveAnExistingOutputUntouched) {
    struct Case {
        std::string_view csv, schema;
    } cases[] = {
        {"a,b\r\nc,d\r\n", "<element><text DataSource=\"1\"><element/></text></element>"},  // child below text
        {"a,b\r\nc,d\r\n", "<element root=\"bad name\"/>"},                               // invalid root name
        {"a,b\r\nc,d\r\n", "<element><element name=\"1x\"/></element>"},                  // invalid element name
        {"a,b\r\nc,d\r\n", "<element><attribute name=\"a b\"/></element>"},               // invalid attribute name
        {"a,b\r\nc,d\r\n", "<element encoding=\"no-such-encoding\"/>"},                   // unusable encoding
        {"a,\x81\r\nc,d\r\n", kTextSchema},                                                // invalid CP932 bytes
    };
    for (const auto& c : cases) {
        test::writeFile(out, "previous");
        messages.shown.clear();
        EXPECT_EQ(run(c.csv, c.schema), ExitStatus::Failure) << c.schema;
        ASSERT_EQ(messages.shown.size(), 1u) << c.schema;
        EXPECT_FALSE(messages.shown[0].text.empty());
        EXPECT_EQ(messages.shown[0].icon, MsgIcon::None);
        EXPECT_EQ(test::readFile(out), "previous") << c.schema;
    }
}

TEST_F(Conversion, NotEnoughArgumentsSaysHowToCall) {
    EXPECT_EQ(Main("a.csv s.dsd", messages, progress), ExitStatus::NotEnoughArguments);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, std::string(kNotEnoughArgs1) + "\r\n" + kNotEnoughArgs2);
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::None);
}

TEST_F(Conversion, ExtraArgumentsAreIgnoredAndEmptyOnesPassedOn) {
    const std::string csv = tmp.write("in.csv", "a,b\r\nc,d\r\n");
    const std::string schema = tmp.write("s.dsd", kTextSchema);
    EXPECT_EQ(Main(csv + " " + schema + " " + out + " extra.xml", messages, progress), ExitStatus::Success);
    EXPECT_TRUE(test::fileExists(out));
    // Two spaces: the schema path is empty and the second path is the output.
    EXPECT_EQ(Main(csv + "  " + schema + " " + out, messages, progress), ExitStatus::Failure);
    EXPECT_EQ(messages.texts().back(), kSchemaLoadFailed);
}

TEST_F(Conversion, AtMost32767Records) {
    EXPECT_EQ(run(records(32767), kTextSchema), ExitStatus::Success);
    EXPECT_NE(test::readFile(out).find("<r>32766</r></Root>"), std::string::npos);
    // Header records count toward nothing but the record numbers.
    EXPECT_EQ(run("t,t\r\nt,t\r\n" + records(32767), "<element header=\"2\"><text DataSource=\"1\"/></element>"), ExitStatus::Success);
}

// A code page 932 file gives the XML of its UTF-8 text, in UTF-8 and in
// Shift_JIS (where its bytes go through as they are), for a file large enough
// to be checked in two pieces and made in chunks: records of several lines,
// quoted fields ending past their quote in a two-byte character, trail bytes
// that look like "]" and "\\", characters with two codes, values of every
// length around a vector's width, values that end in a two-byte character;
// and a record the output refuses, in both. Records that convert are all made
// in chunks: none is written again by the slower way.
TEST_F(Conversion, CodePage932FileConvertsAsItsUtf8Text) {
    const char* const pieces[] = {"a", "0123456789abcdef", "&", "<", "]]>", "--", "\"", "\x81\x5D]>",  // ‐]>
                                  "\x83\x5C", "\xB1", "\x82\xA0", "\x87\x40", "\xED\x40", "\xFA\x40",
                                  "\xEE\xEF", "\xEE\xF9", "\xF0\x40", "\x81\x40"};
    const auto decoded = [](const std::string& cp932) {
        const std::optional<std::string> utf8 = test::recode(cp932, "UTF-8", "CP932");
        EXPECT_TRUE(utf8);
        return utf8.value_or("");
    };
    std::mt19937 random(932);
    std::string cp932;
    for (int i = 0; cp932.size() < (3 << 19); ++i) {
        std::string value;
        for (auto n = random() % 24; n > 0; --n) value += pieces[random() % std::size(pieces)];
        cp932 += std::to_string(i) + ",\"\x93\xFA\x96\x7B\"\x8C\xEA,\"\x95\xA1\r\n" + value + "\"," + value + ",\"" + value +
                 "\x83\x5C\"";
        cp932 += i % 7 ? "\r\n" : ",\"\r\n\"\r\n";
    }
    std::string refused = cp932;
    refused.insert(refused.size() / 3, "\x01");
    for (const std::string_view encoding : {"", " encoding=\"Shift_JIS\""}) {
        const std::string schema = "<element name=\"r\"" + std::string(encoding) +
                                   "><text DataSource=\"2\"/><attribute name=\"a\" DataSource=\"3\"/>"
                                   "<cdatasection DataSource=\"4\"/><comment DataSource=\"5\"/>"
                                   "<element name=\"e\"><text DataSource=\"1\"/></element></element>";
        for (const bool refuses : {false, true}) {
            const std::string& bytes = refuses ? refused : cp932;
            SCOPED_TRACE(testing::Message() << encoding << (refuses ? " refused" : ""));
            messages.shown.clear();
            const ExitStatus status = run(decoded(bytes), schema);
            const std::vector<std::string> shown = messages.texts();
            EXPECT_EQ(status, refuses ? ExitStatus::Failure : ExitStatus::Success)
                << testing::PrintToString(shown);
            const std::string expected = status == ExitStatus::Success ? test::readFile(out) : "";
            messages.shown.clear();
            const unsigned long fellBack = convert::chunksWrittenAgain();
            ASSERT_EQ(run(bytes, schema), status);
            EXPECT_EQ(messages.texts(), shown);
            if (status == ExitStatus::Success) {
                EXPECT_EQ(test::readFile(out), expected);
                // Records that convert are all made in chunks, none written again.
                EXPECT_EQ(convert::chunksWrittenAgain(), fellBack);
            }
        }
    }
}

// Records the generator's progress reports.
struct RecordingProgress : ProgressSink {
    void setMinimum(float v) override { minimum = v; }
    void setMaximum(float v) override { maximum = v; }
    void setValue(float v) override { values.push_back(v); }
    void yield() override { ++yields; }
    float minimum = -1, maximum = -1;
    std::vector<float> values;
    int yields = 0;
};

TEST(Generator, ReportsProgressOncePerRecordAndMovesTheSchemaDeclaration) {
    xml::Document schema;
    ASSERT_TRUE(schema.loadXml("<?xml version=\"1.0\" encoding=\"UTF-8\"?><element><text DataSource=\"2\"/></element>"));
    xml::Document output;
    RecordingProgress progress;
    Convert2XML(progress).CreateXML(schema, output, {"a,b", "c,d", "e,f"});

    EXPECT_EQ(progress.minimum, 0);
    EXPECT_EQ(progress.maximum, 2);
    EXPECT_EQ(progress.values, (std::vector<float>{0, 1, 2}));
    EXPECT_EQ(progress.yields, 3);
    EXPECT_EQ(output.xml(),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
              "<Root><Element>b</Element><Element>d</Element><Element>f</Element></Root>\r\n");
    // The declaration belongs to the output.
    EXPECT_EQ(schema.asNode().child(0).typeString(), "element");
}

// The stages a conversion reports before it stops; an error of writing the
// output is told at the stage of saving, which comes before the destination
// is replaced.
TEST_F(Conversion, StagesReachedBeforeEachOutcome) {
    struct Recorder : StageSink {
        void reached(Stage stage) override {
            stages.push_back(stage);
            if (stage == Stage::Saving) outputExisted = test::fileExists(path);
        }
        std::string path;
        std::vector<Stage> stages;
        bool outputExisted = false;
    };
    using S = Stage;
    const std::string records = "a,b\r\nc,d\r\n";
    const struct {
        std::string csv, schema, output;
        std::vector<Stage> stages;
    } cases[] = {
        {records, "<element", out, {}},
        {"a,b\r\n", std::string(kTextSchema), out, {S::SchemaLoaded}},
        {records, std::string(kTextSchema), out, {S::SchemaLoaded, S::CsvLoaded, S::Saving, S::Finished}},
        {records, std::string(kTextSchema), tmp.file("none/out.xml"), {S::SchemaLoaded, S::CsvLoaded, S::Saving}},
        {records, "<element encoding=\"no-such\"/>", out, {S::SchemaLoaded, S::CsvLoaded, S::Saving}},
        {"a\x01,b\r\nc,d\r\n", std::string(kTextSchema), out, {S::SchemaLoaded, S::CsvLoaded, S::Saving}},
        {std::string("a\0,b\r\nc,d\r\n", 11), std::string(kTextSchema), out, {S::SchemaLoaded, S::CsvLoaded}},
        {records, "<element name=\"a b\"/>", out, {S::SchemaLoaded, S::CsvLoaded}},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(out);
        Recorder recorder;
        recorder.path = c.output;
        const ConversionPaths paths{tmp.write("in.csv", c.csv), tmp.write("s.dsd", c.schema), c.output};
        RunReported(messages, [&] { Convert(paths, {messages, progress, recorder, MsgIcon::None}); });
        EXPECT_EQ(recorder.stages, c.stages) << c.csv << c.schema;
        EXPECT_FALSE(recorder.outputExisted);
        EXPECT_EQ(test::fileExists(c.output), c.stages.size() == 4);
    }
}

}  // namespace
}  // namespace trelmo
