// The schema's header count and fixed values as the engine reads, checks and saves them.
#include <gtest/gtest.h>

#include "engine/convert/header_records.h"
#include "engine/convert/schema_check.h"
#include "tests/support/temp_dir.h"

namespace trelmo {
namespace {

TEST(HeaderRecords, WholeNumbersUpTo32767) {
    for (const char* text : {"32768", "-1", "+1", "1.0", " 1", "1 ", "x", "１", "99999999999999999999"})
        EXPECT_EQ(HeaderRecordsValue(text), std::nullopt) << text;
    EXPECT_EQ((std::vector{HeaderRecordsValue(""), HeaderRecordsValue("0001"), HeaderRecordsValue("32767")}),
              (std::vector<std::optional<std::size_t>>{0, 1, 32767}));
}

// A value kind takes a data source or a fixed value, not both.
TEST(SchemaCheckFixedValue, OneOfDataSourceAndValue) {
    const std::pair<const char*, std::string> cases[] = {
        {"<attribute name=\"a\" Value=\"x\"/>", ""}, {"<comment DataSource=\"\" Value=\"x\"/>", ""},
        {"<text DataSource=\"1\" Value=\"\"/>", "データソースと固定値は一緒に指定できません：\r\ntext"},
        {"<comment value=\"x\"/>", "データソースを指定してください：\r\ncomment"},  // the editor's names, exactly
    };
    for (const auto& [node, fault] : cases) {
        xml::Document schema;
        ASSERT_TRUE(schema.loadXml(std::string("<element name=\"r\">") + node + "</element>"));
        const SchemaCheck check = CheckSchemaNodes(schema.documentElement().selectAllElements(), "R", "");
        EXPECT_EQ(check.fault ? check.fault->message : "", fault) << node;
    }
}

// A schema with a header count and fixed values comes back from a load and the save's steps byte for byte.
TEST(SchemaRoundTrip, HeaderAndValueKeepTheirBytes) {
    const std::string bytes =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<element name=\"社員\" root=\"名簿\" encoding=\"UTF-8\" "
        "header=\"1\"><attribute name=\"版\" Value=\"2.1 &amp; &lt;改&gt; &quot;\"/><text Value=\"\"/>"
        "<comment Value=\" 固定 \"/><element name=\"氏名\"><text DataSource=\"2\"/></element></element>\r\n";
    test::TempDir tmp;
    xml::Document schema;
    schema.load(tmp.write("in.dsd", bytes));
    ApplySaveSettings(schema, "名簿", "UTF-8");
    EXPECT_FALSE(CheckSchemaNodes(schema.documentElement().selectAllElements(), "名簿", "UTF-8").fault);
    schema.save(tmp.file("out.dsd"));
    EXPECT_EQ(test::readFile(tmp.file("out.dsd")), bytes);
}

}  // namespace
}  // namespace trelmo
