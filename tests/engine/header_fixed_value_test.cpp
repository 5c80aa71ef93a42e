// The schema's header count and fixed values as the engine reads, checks and
// saves them.
#include <gtest/gtest.h>

#include <optional>

#include "engine/convert/header_records.h"
#include "engine/convert/schema_check.h"
#include "engine/error.h"
#include "tests/support/temp_dir.h"

namespace trelmo {
namespace {

TEST(HeaderRecords, WholeNumbersUpTo32767) {
    const struct {
        const char* text;
        std::optional<std::size_t> count;  // none: refused
    } cases[] = {
        {"", 0},          {"0", 0},          {"1", 1},          {"0001", 1},       {"32767", 32767},
        {"32768", {}},    {"-1", {}},        {"+1", {}},        {"1.0", {}},       {" 1", {}},
        {"1 ", {}},       {"x", {}},         {"１", {}},        {"99999999999999999999", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(HeaderRecordsValue(c.text), c.count);
        if (!c.count) {
            try {
                ParseHeaderRecords(c.text);
                ADD_FAILURE() << "not refused";
            } catch (const RuntimeError& e) {
                EXPECT_NE(e.description().find("「" + std::string(c.text) + "」"), std::string::npos)
                    << e.description();
            }
        }
    }
}

// A value kind takes a data source or a fixed value, not both; only the data
// sources count as bound.
TEST(SchemaCheckFixedValue, OneOfDataSourceAndValue) {
    const std::string both = "データソースと固定値は一緒に指定できません：\r\n";
    const std::string none = "データソースを指定してください：\r\n";
    const struct {
        const char* node;
        std::string fault;  // empty: passes
        int bound;
    } cases[] = {
        {"<attribute name=\"a\" Value=\"x\"/>", "", 0},
        {"<text Value=\"\"/>", "", 0},
        {"<comment DataSource=\"\" Value=\"x\"/>", "", 0},
        {"<cdatasection DataSource=\"2\"/>", "", 1},
        {"<attribute name=\"a\" DataSource=\"1\" Value=\"x\"/>", both + "attribute", 0},
        {"<text DataSource=\"1\" Value=\"\"/>", both + "text", 0},
        {"<comment value=\"x\"/>", none + "comment", 0},  // the editor's names, exactly
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.node);
        xml::Document schema;
        ASSERT_TRUE(schema.loadXml(std::string("<element name=\"r\" root=\"R\">") + c.node + "</element>"));
        const SchemaCheck check = CheckSchemaNodes(schema.documentElement().selectAllElements(), "R", "");
        EXPECT_EQ(check.fault ? check.fault->message : "", c.fault);
        if (check.fault) EXPECT_EQ(check.fault->node, 2u);
        EXPECT_EQ(check.bound, c.bound);
    }
}

// A schema with a header count and fixed values comes back from a load and
// the save's steps byte for byte.
TEST(SchemaRoundTrip, HeaderAndValueKeepTheirBytes) {
    const std::string bytes =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
        "<element name=\"社員\" root=\"名簿\" encoding=\"UTF-8\" header=\"1\">"
        "<attribute name=\"版\" Value=\"2.1 &amp; &lt;改&gt; &quot;\"/><text Value=\"\"/>"
        "<comment Value=\" 固定 \"/><element name=\"氏名\"><text DataSource=\"2\"/></element></element>\r\n";
    test::TempDir tmp;
    xml::Document schema;
    schema.load(tmp.write("in.dsd", bytes));
    ASSERT_EQ(schema.parseError().errorCode, 0);
    ApplySaveSettings(schema, "名簿", "UTF-8");
    EXPECT_FALSE(CheckSchemaNodes(schema.documentElement().selectAllElements(), "名簿", "UTF-8").fault);
    const std::string out = tmp.file("out.dsd");
    schema.save(out);
    EXPECT_EQ(test::readFile(out), bytes);
}

}  // namespace
}  // namespace trelmo
