// The check against an XSD, with xmllint's verdict on the same output as an
// independent oracle: the output is refused exactly when xmllint refuses it,
// and each fault names the record and column that were planted.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "engine/convert/conversion.h"
#include "engine/convert/xml_preview.h"
#include "engine/xsd/preview_check.h"
#include "tests/support/recording_messages.h"
#include "tests/support/temp_dir.h"

namespace trelmo {
namespace {

// Types of the record's children: code (pattern), name (maxLength 5), day (date),
// count (positiveInteger), price (decimal, 2 fraction digits), currency (fixed), and kind (an enumerated attribute).
constexpr const char* kXsd = R"(<xs:schema xmlns:xs="http://www.w3.org/2001/XMLSchema" targetNamespace="urn:t"
 xmlns="urn:t" elementFormDefault="qualified">
 <xs:element name="rows"><xs:complexType><xs:sequence>
  <xs:element name="row" maxOccurs="unbounded"><xs:complexType><xs:sequence>
   <xs:element name="code"><xs:simpleType><xs:restriction base="xs:string"><xs:pattern value="[A-Z][0-9]{3}"/>
    </xs:restriction></xs:simpleType></xs:element>
   <xs:element name="name"><xs:simpleType><xs:restriction base="xs:string"><xs:maxLength value="5"/>
    </xs:restriction></xs:simpleType></xs:element>
   <xs:element name="day" type="xs:date"/>
   <xs:element name="count" type="xs:positiveInteger"/>
   <xs:element name="price"><xs:simpleType><xs:restriction base="xs:decimal"><xs:fractionDigits value="2"/>
    </xs:restriction></xs:simpleType></xs:element>
   <xs:element name="currency" type="xs:string" fixed="JPY"/>
  </xs:sequence>
  <xs:attribute name="kind" use="required"><xs:simpleType><xs:restriction base="xs:string">
   <xs:enumeration value="a"/><xs:enumeration value="b"/></xs:restriction></xs:simpleType></xs:attribute>
 </xs:complexType></xs:element>
 </xs:sequence></xs:complexType></xs:element></xs:schema>)";

constexpr const char* kChildren = R"(<element name="code"><text DataSource="2"/></element>
<element name="name"><text DataSource="3"/></element><element name="day"><text DataSource="4"/></element>
<element name="count"><text DataSource="5"/></element><element name="price"><text DataSource="6"/></element>
<element name="currency"><text DataSource="7"/></element>)";

constexpr const char* kGood = "a,A001,pen,2026-01-31,3,1.50,JPY\r\n";

std::string schemaFile(const std::string& attributes, const std::string& body) {
    return "<element name=\"row\" root=\"rows\" " + attributes + "><attribute name=\"kind\" DataSource=\"1\"/>" +
           body + "</element>";
}

class XsdOracle : public testing::Test {
protected:
    // Converts with `attributes` on the top element; whether the output was saved.
    bool convert(const std::string& attributes, const std::string& body, const std::string& csv) {
        const std::string schema = tmp.write("s.dsd", schemaFile(attributes, body));
        const std::string input = tmp.write("in.csv", csv);
        std::filesystem::remove(out);
        NullProgress progress;
        struct : StageSink {
            void reached(Stage) override {}
        } stages;
        return Convert({input, schema, out}, {messages, progress, stages, MsgIcon::Information});
    }
    bool xmllintAccepts() {
        const std::string command = "xmllint --noout --nonet --schema '" + tmp.file("t.xsd") + "' '" + out +
                                    "' >/dev/null 2>&1";
        return std::system(command.c_str()) == 0;
    }

    test::TempDir tmp;
    std::string out = tmp.file("out.xml");
    test::RecordingMessages messages;
};

TEST_F(XsdOracle, RefusesExactlyWhatXmllintRefusesAndNamesTheCell) {
    tmp.write("t.xsd", kXsd);
    const std::string missingCount = R"(<element name="code"><text DataSource="2"/></element>
<element name="name"><text DataSource="3"/></element><element name="day"><text DataSource="4"/></element>
<element name="price"><text DataSource="6"/></element><element name="currency"><text DataSource="7"/></element>)";
    const struct {
        std::string csvRecord2;  // the second record; the first and third are good
        std::string body;
        std::string namespaceAttribute;
        std::string named;  // what the one fault line starts with; empty: valid
    } cases[] = {
        {kGood, kChildren, "namespace=\"urn:t\"", ""},
        {"b,Z999,ペン５本,2024-02-29,1,0.5,JPY\r\n", kChildren, "namespace=\"urn:t\"", ""},
        {"a,A01,pen,2026-01-31,3,1.50,JPY\r\n", kChildren, "namespace=\"urn:t\"", "2 件目のレコードの 2 列目: /rows/row[2]/code の値「A01」: 値が決められた形"},
        // The first record a title: record numbers still count it, paths do not.
        {"a,A01,pen,2026-01-31,3,1.50,JPY\r\n", kChildren, "namespace=\"urn:t\" header=\"1\"", "2 件目のレコードの 2 列目: /rows/row[1]/code の値「A01」"},
        {"a,A001,pencil,2026-01-31,3,1.50,JPY\r\n", kChildren, "namespace=\"urn:t\"", "2 件目のレコードの 3 列目: /rows/row[2]/name の値「pencil」: 値が長すぎます。"},
        {"a,A001,pen,2026-02-30,3,1.50,JPY\r\n", kChildren, "namespace=\"urn:t\"", "2 件目のレコードの 4 列目: /rows/row[2]/day の値「2026-02-30」: 値が日付"},
        {"a,A001,pen,2026-01-31,0,1.50,JPY\r\n", kChildren, "namespace=\"urn:t\"", "2 件目のレコードの 5 列目: /rows/row[2]/count の値「0」: 値が正の整数"},
        {"a,A001,pen,2026-01-31,3,1.505,JPY\r\n", kChildren, "namespace=\"urn:t\"", "2 件目のレコードの 6 列目: /rows/row[2]/price の値「1.505」: 値の桁数が多すぎます。"},
        {"a,A001,pen,2026-01-31,3,1.50,USD\r\n", kChildren, "namespace=\"urn:t\"", "2 件目のレコードの 7 列目: /rows/row[2]/currency の値「USD」: 値が決められた固定値と違います。"},
        {"c,A001,pen,2026-01-31,3,1.50,JPY\r\n", kChildren, "namespace=\"urn:t\"", "2 件目のレコードの 1 列目: /rows/row[2] の属性 kind の値「c」: 値が決められた値のどれでもありません。"},
        {kGood, missingCount, "namespace=\"urn:t\"", "1 件目のレコード: /rows/row[1]/price: ここには置けない要素です。"},
        {kGood, kChildren, "", "/rows: 最上位の要素が XSD で宣言されていません"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.csvRecord2 + c.body + c.namespaceAttribute);
        const std::string csv = std::string(kGood) + c.csvRecord2 + kGood;
        ASSERT_TRUE(convert(c.namespaceAttribute, c.body, csv));
        const bool oracle = xmllintAccepts();
        messages.shown.clear();
        const bool saved = convert(c.namespaceAttribute + " XSD=\"t.xsd\"", c.body, csv);
        EXPECT_EQ(saved, oracle);
        EXPECT_EQ(saved, c.named.empty());
        EXPECT_EQ(std::filesystem::exists(out), saved);
        if (saved) continue;
        ASSERT_EQ(messages.shown.size(), 1u);
        const std::string& details = messages.shown[0].details;
        EXPECT_EQ(details.rfind(c.named, 0), 0u) << details;
        // A missing element breaks each record; everything else only the second.
        EXPECT_EQ(details.find("\r\n") == std::string::npos, c.body == kChildren) << details;
    }
}

TEST_F(XsdOracle, ListsAHundredFaultsThenHowManyMore) {
    tmp.write("t.xsd", kXsd);
    std::string csv;
    for (int i = 0; i < 130; ++i) csv += "a,A001,pen,2026-01-31,0,1.50,JPY\r\n";
    EXPECT_FALSE(convert("namespace=\"urn:t\" xsd=\"t.xsd\"", kChildren, csv));
    ASSERT_EQ(messages.shown.size(), 1u);
    const std::string& details = messages.shown[0].details;
    EXPECT_EQ(std::count(details.begin(), details.end(), '\n'), 100);
    EXPECT_NE(details.find("ほかに 30 件あります。"), std::string::npos);
}

// The preview's records, checked as the editor will check them: the same fault, with its record and column.
TEST_F(XsdOracle, PreviewNamesTheFaultsOfTheRecordsShown) {
    const std::string xsd = tmp.write("t.xsd", kXsd);
    xml::Document schema;
    ASSERT_TRUE(schema.loadXml(schemaFile("namespace=\"urn:t\" xsd=\"t.xsd\"", kChildren)));
    const std::vector<std::string> records = {"a,A001,pen,2026-01-31,3,1.50,JPY", "a,A001,pen,2026-01-31,3,1.50,EUR"};
    const XmlPreview preview = PreviewXML(schema, "rows", "", records, records.size());
    xsd::PreviewXsdChecker checker;
    const xsd::PreviewXsdResult result = checker.check(schema, tmp.file("s.dsd"), preview, records);
    ASSERT_TRUE(result.checked) << result.problem << preview.problem;
    ASSERT_EQ(result.total, 1u);
    EXPECT_EQ(result.faults[0].record, 2u);
    EXPECT_EQ(result.faults[0].column, 7u);
    EXPECT_EQ(result.faults[0].path, "/rows/row[2]/currency");
    std::filesystem::remove(xsd);
    EXPECT_FALSE(checker.check(schema, tmp.file("s.dsd"), preview, records).problem.empty());
}

}  // namespace
}  // namespace trelmo
