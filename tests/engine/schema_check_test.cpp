// The save check's steps as the engine gives them: each rule of a node kind
// with its message and the node at fault, whether a name can name an element
// or an attribute of an output in an encoding and why not, and the data
// sources that convert into error text.
#include <gtest/gtest.h>

#include "engine/convert/schema_check.h"
#include "engine/error.h"

namespace trelmo::test {
namespace {

const std::string kNothingGiven = "要素名またはデータソースを指定してください：\r\n";
const std::string kNoName = "要素名を指定してください：\r\n";
const std::string kElementSource = "elementにデータソースは必要ありません：\r\n";
const std::string kNoSource = "データソースを指定してください：\r\n";
const std::string kUnknownKind = "対象外のノードタイプがあります:\r\n<";
const std::string kNotAName = "XMLで使えない名前です：\r\n";
const std::string kPrefixed = "コロン（:）のある名前は使えません：\r\n";
const std::string kShiftJis = "エンコーディング Shift_JIS で書けない文字";

// The schema with the window's settings written in, as the save checks it.
struct Settled {
    xml::Document doc;
    std::vector<xml::Node> elements;
    Settled(const char* schema, const char* root, const char* encoding) {
        EXPECT_TRUE(doc.loadXml(schema)) << schema;
        ApplySaveSettings(doc, root, encoding);
        elements = doc.documentElement().selectAllElements();
    }
};

TEST(SchemaCheck, EachRuleWithItsMessageAndNode) {
    const struct {
        const char* schema;
        std::string message;  // empty: passes
        std::size_t node;     // 1-based in "//*", 0 for the root-name box
        const char* root = "out";
        const char* encoding = "";
        bool selectFirst = false;
    } cases[] = {
        {"<element name=\"r\"><element/></element>", kNothingGiven + "element", 2},
        {"<element name=\"r\"><text/></element>", kNothingGiven + "text", 2},
        {"<element name=\"r\"><Element name=\"b\"/></element>", kUnknownKind + "Element> ", 2},
        {"<element name=\"\"/>", kNoName + "element", 1},
        {"<element name=\"r\"><element DataSource=\"\"/></element>", kNoName + "element", 2},
        {"<element name=\"r\"><element name=\"e\" DataSource=\"1\"/></element>", kElementSource + "element", 2},
        {"<element name=\"r\"><attribute DataSource=\"1\"/></element>", kNoName + "attribute", 2},
        {"<element name=\"r\"><attribute name=\"a\" DataSource=\"\"/></element>", kNoSource + "attribute", 2},
        {"<element name=\"r\"><text datasource=\"1\"/></element>", kNoSource + "text", 2},
        {"<element name=\"r\"><cdatasection name=\"c\"/></element>", kNoSource + "cdatasection", 2},
        // An empty data source on a cdatasection: selected before the message.
        {"<element name=\"r\"><cdatasection DataSource=\"\"/></element>", kNoSource + "cdatasection", 2, "out",
         "", true},
        // The first node at fault in document order, though a later one
        // breaks a rule that is tested earlier.
        {"<element name=\"r\"><element name=\"e\"><text name=\"t\"/></element><element/></element>",
         kNoSource + "text", 3},
        // Names the output cannot carry, after every rule above.
        {"<element name=\"r\"><element name=\"a b\"/></element>", kNotAName + "element「a b」", 2},
        {"<element name=\"1r\"><text DataSource=\"1\"/></element>", kNotAName + "element「1r」", 1},
        {"<element name=\"r\"><element name=\"a b\"/><text/></element>", kNothingGiven + "text", 3},
        {"<element name=\"r\"><text DataSource=\"1\"/></element>", kNotAName + "最上位の要素名「my root」", 0,
         "my root"},
        {"<element name=\"r\"><attribute name=\"xml:lang\" DataSource=\"1\"/></element>",
         kPrefixed + "attribute「xml:lang」", 2},
        // The encoding from the box or from the schema's own declaration.
        {"<element name=\"r\"><element name=\"한국\"/></element>",
         kShiftJis + "「한」(U+D55C)があります：\r\nelement「한국」", 2, "out", "Shift_JIS"},
        {"<element name=\"r\" encoding=\"Shift_JIS\"><attribute name=\"é\" DataSource=\"1\"/></element>",
         kShiftJis + "「é」(U+00E9)があります：\r\nattribute「é」", 2},
        // Passing: an empty data source on an element, names the encoding holds.
        {"<element name=\"r\"><element name=\"店舗\" DataSource=\"\"/><attribute name=\"ｶﾅ\" DataSource=\"x\"/>"
         "</element>", "", 0, "_r-1.a", "Shift_JIS"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.schema);
        const Settled settled(c.schema, c.root, c.encoding);
        const SchemaCheck check = CheckSchemaNodes(settled.elements, c.root, OutputEncodingOf(settled.doc));
        ASSERT_EQ(check.fault.has_value(), !c.message.empty());
        if (!check.fault) continue;
        EXPECT_EQ(check.fault->message, c.message);
        EXPECT_EQ(check.fault->node, c.node);
        EXPECT_EQ(check.fault->selectFirst, c.selectFirst);
    }
}

// Each value that converts into error text is named, and so is its node.
TEST(SchemaCheck, DataSourcesThatNameNoColumn) {
    const std::string expected = "CSVの左から数えた列の番号（1～32767）を指定してください。";
    const std::string first = "に当たる列はありません。列の番号は1から数えます。";
    const std::string beyond = "に当たる列はありません。プレビュー中のCSVは3列です。";
    const std::string question = "\r\n変換するとエラーの文字列が入ります。このまま保存しますか？";
    const struct {
        const char* source;
        std::size_t columns;  // of the previewed CSV, 0 for none
        std::string problem;  // empty: names a column
    } cases[] = {
        {"1", 3, ""},
        {" +3 ", 3, ""},
        {"4", 3, "データソース「4」" + beyond},
        {"32767", 0, ""},
        {"0", 3, "データソース「0」" + first},
        {"-32768", 0, "データソース「-32768」" + first},
        {"abc", 3, "データソース「abc」は数値ではありません。" + expected},
        {"40000", 0, "データソース「40000」は範囲外の数値です。" + expected},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        EXPECT_EQ(DataSourceProblem(c.source, c.columns), c.problem);
        const std::string schema = std::string("<element name=\"r\"><text DataSource=\"1\"/>") +
                                   "<attribute name=\"id\" DataSource=\"" + c.source + "\"/></element>";
        const Settled settled(schema.c_str(), "out", "");
        const std::optional<SchemaFault> warning = CheckDataSources(settled.elements, c.columns);
        ASSERT_EQ(warning.has_value(), !c.problem.empty());
        if (!warning) continue;
        EXPECT_EQ(warning->message, c.problem + "：\r\nattribute「id」" + question);
        EXPECT_EQ(warning->node, 3u);
    }
}

TEST(SchemaCheck, WhyANameCannotBeUsed) {
    const struct {
        const char* name;
        const char* encoding;
        const char* reason;  // empty: usable
    } cases[] = {
        {"shop", "", ""},
        {"店舗_1", "Shift_JIS", ""},
        {"ｶﾅ", "Shift_JIS", ""},
        {"한국", "", ""},
        {"한국", "UTF-16", ""},
        {"", "", "XMLで使えない名前です"},
        {"a b", "", "XMLで使えない名前です"},
        {"1st", "", "XMLで使えない名前です"},
        {"①", "", "XMLで使えない名前です"},
        {"a:b", "", "コロン（:）のある名前は使えません"},
        {"xml:lang", "", "コロン（:）のある名前は使えません"},
        {":a", "", "XMLで使えない名前です"},
        {"한국", "Shift_JIS", "エンコーディング Shift_JIS で書けない文字「한」(U+D55C)があります"},
        {"café", "Shift_JIS", "エンコーディング Shift_JIS で書けない文字「é」(U+00E9)があります"},
        {"naïve", "ISO-8859-1", ""},
        {"名前", "ISO-8859-1", "エンコーディング ISO-8859-1 で書けない文字「名」(U+540D)があります"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " / " + c.encoding);
        EXPECT_EQ(UnusableNameReason(c.name, c.encoding), c.reason);
    }
    EXPECT_THROW(UnusableNameReason("a", "no-such-encoding"), RuntimeError);
}

TEST(SchemaCheck, TheRootNameIsGivenUnlessEmptyOrThePlaceholder) {
    EXPECT_TRUE(RootNameGiven("Root"));
    EXPECT_TRUE(RootNameGiven(" "));  // given; the name check refuses it
    EXPECT_FALSE(RootNameGiven(""));
    EXPECT_FALSE(RootNameGiven(kRootPlaceholder));
}

}  // namespace
}  // namespace trelmo::test
