// WriteXML against CreateXML followed by save(): the same file, or the same
// error and no file, on random schemas and records that reach every kind of
// node, name, data source, encoding and error.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "engine/convert/convert2xml.h"
#include "engine/error.h"
#include "engine/xml/dom.h"
#include "tests/support/temp_dir.h"

namespace trelmo {
namespace {

using Records = std::vector<std::string>;

struct Outcome {
    bool ok = false;
    std::string bytes;  // the file, or the error's number and description
    bool operator==(const Outcome&) const = default;
};

void PrintTo(const Outcome& o, std::ostream* os) { *os << (o.ok ? "file " : "error ") << testing::PrintToString(o.bytes); }

class StreamedConversion : public testing::Test {
protected:
    Outcome run(bool streamed, const std::string& schema, const Records& records, const std::string& path) {
        xml::Document schemaDoc;
        EXPECT_TRUE(schemaDoc.loadXml(schema)) << schema;
        NullProgress progress;
        Convert2XML generator(progress);
        std::filesystem::remove(path);
        Outcome outcome;
        try {
            if (streamed) {
                generator.WriteXML(schemaDoc, records, path);
            } else {
                xml::Document output;
                generator.CreateXML(schemaDoc, output, records);
                output.save(path);
            }
            outcome.ok = true;
            outcome.bytes = test::readFile(path);
        } catch (const RuntimeError& e) {
            outcome.bytes = std::to_string(e.number()) + " " + e.description();
            EXPECT_FALSE(test::fileExists(path)) << outcome.bytes;
        }
        return outcome;
    }

    // Both ways agree; returns the outcome.
    Outcome expectSame(const std::string& schema, const Records& records, const std::string& path) {
        const Outcome nodes = run(false, schema, records, path);
        const Outcome streamed = run(true, schema, records, path);
        EXPECT_EQ(streamed, nodes) << schema << "\n" << testing::PrintToString(records);
        return nodes;
    }

    test::TempDir tmp;
    std::string out = tmp.file("out.xml");
};

// A random schema of every kind of node, with valid and invalid names and data sources.
class SchemaMaker {
public:
    explicit SchemaMaker(std::mt19937& random) : random_(random) {}

    std::string make() {
        std::string top = "<element";
        top += attr("name", pick({"rec", "", "要素", "bad name", "r:x"}));
        top += attr("root", pick({"root", "", "ルート", "1x"}));
        top += attr("encoding", pick({"UTF-8", "", "Shift_JIS", "ISO-8859-1", "no-such", "UTF-16", "", ""}));
        std::string declaration = pick({"", "<?xml version=\"1.0\"?>", "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"yes\"?>"});
        return declaration + top + ">" + children(0) + "</element>";
    }

private:
    std::string pick(std::initializer_list<const char*> options) {
        return *(options.begin() + random_() % options.size());
    }
    std::string attr(const char* name, const std::string& value) {
        if (random_() % 4 == 0) return "";
        std::string key = name;
        if (random_() % 3 == 0) key[0] = static_cast<char>(key[0] - 'a' + 'A');
        return " " + key + "=\"" + value + "\"";
    }
    std::string source() {
        if (random_() % 6 == 0) return "";
        return std::string(random_() % 2 ? " DataSource" : " datasource") + "=\"" +
               pick({"1", "2", "3", "4", "0", "abc", "2.5", " 3 ", "40000", "-32768"}) + "\"";
    }
    std::string children(int depth) {
        std::string text;
        const int count = depth > 3 ? 0 : static_cast<int>(random_() % 4);
        for (int i = 0; i < count; ++i) {
            switch (random_() % 9) {
            case 0:
            case 1:
                text += "<element" + attr("name", pick({"e", "f", "", "要素", "x y", "xmlns"})) + ">" +
                        children(depth + 1) + "</element>";
                break;
            case 2:
            case 3:
                text += "<attribute" + attr("name", pick({"a", "b", "", "属性", "a b", "xmlns", "xml:lang"})) +
                        source() + (random_() % 4 ? "/>" : ">" + children(depth + 1) + "</attribute>");
                break;
            case 4: {
                const std::string tag = pick({"text", "TEXT", "cdatasection", "comment"});
                text += "<" + tag + source() + (random_() % 6 ? "/>" : "><element/></" + tag + ">");
                break;
            }
            case 5:
                text += "<text" + source() + (random_() % 8 ? "/>" : "><!--only a comment--></text>");
                break;
            case 6:
                text += "<cdatasection" + source() + "/><comment" + source() + "/>";
                break;
            case 7:
                text += "<bogus><text DataSource=\"1\"/></bogus>";
                break;
            default:
                text += " <!-- schema comment --> ";
            }
        }
        return text;
    }

    std::mt19937& random_;
};

// Random records; `count` 0 picks a few. Clean records hold nothing that fails.
Records makeRecords(std::mt19937& random, std::size_t count = 0, bool clean = false) {
    static const char* const pieces[] = {"a", "1", "&", "<", "]]>", "--", "-", "\r\n", "\xE3\x81\x82",
                                         "\xE2\x91\xA0", "\xC3\xA9", "~", " ", "", "\x01", "\xEF\xBF\xBF"};
    const std::size_t kinds = std::size(pieces) - (clean ? 2 : 0);
    Records records(count != 0 ? count : 2 + random() % 3);
    for (std::string& record : records) {
        const int fields = static_cast<int>(random() % 5);
        for (int f = 0; f < fields; ++f) {
            if (f > 0) record += ',';
            std::string field;
            for (int k = static_cast<int>(random() % 3); k > 0; --k) field += pieces[random() % kinds];
            if (field.find(',') == std::string::npos && random() % 5 == 0) field = "\"" + field + ",x\"";
            record += field;
        }
        if (clean) continue;
        if (random() % 40 == 0) record += std::string(1, '\0');
        if (random() % 40 == 0) record += ",\"open";
    }
    return records;
}

// Random schemas over a few random records, and over many clean records with
// a few failing ones put in: many are made in chunks on several threads, so
// the first failing record's error must come whatever the chunks' order.
TEST_F(StreamedConversion, RandomSchemasAndRecordsGiveTheSameFileOrFirstError) {
    const std::string failures[] = {"\x01", "a,\"open", "\xEF\xBF\xBF", "\xE3\x81", std::string("a\0,b", 4)};
    const struct {
        unsigned seed;
        int rounds;
        bool many;
        int atLeast;  // of each outcome, so that both are compared
    } runs[] = {{2024, 400, false, 80}, {7, 30, true, 5}};
    for (const auto& run : runs) {
        std::mt19937 random(run.seed);
        SchemaMaker schemas(random);
        int files = 0, errors = 0;
        for (int round = 0; round < run.rounds && !HasFailure(); ++round) {
            const std::string schema = schemas.make();
            Records records = run.many ? makeRecords(random, 300 + random() % 900, true) : makeRecords(random);
            for (int bad = run.many ? static_cast<int>(random() % 3) : 0; bad > 0; --bad) {
                records[random() % records.size()] = failures[random() % std::size(failures)];
            }
            (expectSame(schema, records, out).ok ? files : errors)++;
        }
        EXPECT_GT(files, run.atLeast) << run.seed;
        EXPECT_GT(errors, run.atLeast) << run.seed;
    }
}

// What no record causes is found first; then the records' own errors in
// record order, and within a record the first value in output order
// (attributes before content), named with its record and column.
TEST_F(StreamedConversion, ErrorsComeSchemaFirstThenInRecordAndOutputOrder) {
    const std::string unusable = "<element encoding=\"no-such\"><text DataSource=\"1\"/></element>";
    const std::string textThenAttribute =
        "<element><text DataSource=\"1\"/><attribute name=\"a\" DataSource=\"2\"/></element>";
    const std::string sjisComment =
        "<element encoding=\"Shift_JIS\"><text DataSource=\"1\"/><comment DataSource=\"2\"/></element>";
    const struct {
        const std::string& schema;
        Records records;
        std::string error;
    } cases[] = {
        {unusable, {"a,b", "c,d", "\"open"}, "1002 エンコーディング no-such は使えません。"},
        {textThenAttribute, {"\x01,b", "c,d", "\"open"},
         "1001 1 件目のレコードの 1 列目: テキストに XML で使えない文字 U+0001 があるため保存できません。"},
        {textThenAttribute, {"a,b", "\"open", "\x01,b"}, "5 引数が正しくありません。"},
        {textThenAttribute, {"a,b", "\x01,\x02"},
         "1001 2 件目のレコードの 2 列目: 属性 a の値に XML で使えない文字 U+0002 があるため保存できません。"},
        {textThenAttribute, {"a,b", std::string("\0,\x02", 3)},
         "1001 2 件目のレコードの 2 列目: 属性 a の値に XML で使えない文字 U+0002 があるため保存できません。"},
        {textThenAttribute, {"a,b", std::string("a\0,b", 4)}, "1000 2 件目のレコードの 1 列目: テキストに NUL 文字 (U+0000) があります。"},
        // A comment cannot hold a reference for what the encoding lacks.
        {sjisComment, {"\xC2\xA3,a", "b,\xC2\xA3"},
         "1001 2 件目のレコードの 2 列目: コメントの文字 U+00A3 (£) はエンコーディング Shift_JIS で書けないため保存できません"
         "（コメントには文字参照を書けません）。"},
    };
    for (const auto& c : cases) EXPECT_EQ(expectSame(c.schema, c.records, out).bytes, c.error);

    // A destination that cannot be written fails either way; streaming finds it first.
    const std::string missing = tmp.file("missing/out.xml");
    for (const Records& records : {Records{"a,b", "c,d"}, Records{"a,b", "\"open"}}) {
        EXPECT_FALSE(run(false, textThenAttribute, records, missing).ok);
        EXPECT_NE(run(true, textThenAttribute, records, missing).bytes.find("missing/out.xml"), std::string::npos);
    }
}

// A replaced attribute's value is never written, so nothing in it fails the
// conversion, whether the records are made one by one or in chunks.
TEST_F(StreamedConversion, AReplacedAttributeIsNotChecked) {
    const std::string schema = "<element><attribute name=\"a\" DataSource=\"1\"/><text DataSource=\"2\"/>"
                               "<attribute name=\"a\" DataSource=\"3\"/></element>";
    for (const std::size_t count : {2, 128, 129, 1000}) {
        Records records(count, "\x01\xEF\xBF\xBE,b,c");
        const Outcome outcome = expectSame(schema, records, out);
        EXPECT_TRUE(outcome.ok) << count << " " << outcome.bytes;
        EXPECT_NE(outcome.bytes.find("<Element a=\"c\">b</Element>"), std::string::npos) << count;
    }
}

TEST_F(StreamedConversion, TheLastRecordIndexOverflowsEitherWay) {
    Records records(32768, "a,b");
    const std::string schema = "<element><text DataSource=\"2\"/></element>";
    EXPECT_EQ(expectSame(schema, records, out).bytes, "6 オーバーフローしました。");
    records[20000] = "\"open";
    EXPECT_EQ(expectSame(schema, records, out).bytes, "5 引数が正しくありません。");
    records.pop_back();
    EXPECT_FALSE(expectSame(schema, records, out).ok);
    records[20000] = "a,b";
    EXPECT_TRUE(expectSame(schema, records, out).ok);
}

TEST_F(StreamedConversion, NoRecordsAndNoSchemaNodes) {
    EXPECT_EQ(expectSame("<element root=\"t\"><text DataSource=\"1\"/></element>", {}, out).bytes,
              "<?xml version=\"1.0\"?>\r\n<t/>\r\n");
    EXPECT_EQ(expectSame("<element root=\"t\"/>", {"a,b", "\"open"}, out).bytes,
              "<?xml version=\"1.0\"?>\r\n<t><Element/><Element/></t>\r\n");
}

TEST_F(StreamedConversion, ExistingOutputStaysWhenStreamingFails) {
    test::writeFile(out, "keep");
    xml::Document schema;
    ASSERT_TRUE(schema.loadXml("<element><text DataSource=\"1\"/></element>"));
    NullProgress progress;
    // The control character is found when the second record is written.
    EXPECT_THROW(Convert2XML(progress).WriteXML(schema, {"a", "\x02"}, out), RuntimeError);
    EXPECT_EQ(test::readFile(out), "keep");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(tmp.path()), {}), 1);
}

}  // namespace
}  // namespace trelmo
