// Loading the XSD a schema names: local regular files only, each refusal
// naming the file, before the CSV file is read; the namespace checked.

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/convert/conversion.h"
#include "engine/error.h"
#include "engine/xml/entity_loader.h"
#include "engine/xsd/xsd_schema.h"
#include "tests/support/recording_messages.h"
#include "tests/support/temp_dir.h"

namespace trelmo {
namespace {

std::string schemaWith(const std::string& include) {
    return "<xs:schema xmlns:xs=\"http://www.w3.org/2001/XMLSchema\"><xs:include schemaLocation=\"" + include +
           "\"/><xs:element name=\"rows\"/></xs:schema>";
}

// What a conversion says, with a CSV file that is never read when the XSD stops it.
std::vector<std::string> said(const test::TempDir& tmp, const std::string& csv, const std::string& output) {
    test::RecordingMessages messages;
    NullProgress progress;
    struct : StageSink {
        void reached(Stage) override {}
    } stages;
    const ConversionPaths paths{csv, tmp.file("s.dsd"), output};
    EXPECT_FALSE(RunReported(messages, [&] { Convert(paths, {messages, progress, stages, MsgIcon::None}); }));
    return messages.texts();
}

TEST(XsdLoad, RefusalsNameTheFileAndStopBeforeTheCsv) {
    test::TempDir tmp;
    tmp.write("empty.xsd", "<xs:schema xmlns:xs=\"http://www.w3.org/2001/XMLSchema\"/>");
    tmp.write("big.xsd", std::string(xml::detail::SchemaFileScope::kLargestSchemaFile + 1, ' '));
    const struct {
        std::string xsd;  // the main XSD's text; empty: none
        std::string attributes;
        std::string said;
    } cases[] = {
        {"", "xsd=\"none.xsd\"", "XSD のファイル " + tmp.file("none.xsd") + " を読めません"},
        {schemaWith("http://example.com/t.xsd"), "XSD=\"m.xsd\"", "http://example.com/t.xsd はローカルのファイルではない"},
        {schemaWith("/dev/zero"), "Xsd=\"m.xsd\"", "/dev/zero を読めません: 通常のファイルではありません。"},
        {schemaWith("big.xsd"), "xsd=\"m.xsd\"", "big.xsd を読めません: 大きすぎます。"},
        {"<xs:schema xmlns:xs=\"http://www.w3.org/2001/XMLSchema\">\n<xs:element name=\"a\"\n</xs:schema>",
         "xsd=\"m.xsd\"", "（3 行目）"},
        {schemaWith("empty.xsd"), "xsd=\"m.xsd\" namespace=\"a b\"", "名前空間 \"a b\" は使えません: URI ではありません。"},
        {schemaWith("empty.xsd"), "xsd=\"m.xsd\" namespace=\"http://www.w3.org/2000/xmlns/\"", "XML が予約している"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.attributes);
        std::filesystem::remove(tmp.file("m.xsd"));
        if (!c.xsd.empty()) tmp.write("m.xsd", c.xsd);
        tmp.write("s.dsd", "<element root=\"rows\" " + c.attributes + "/>");
        const auto texts = said(tmp, tmp.file("missing.csv"), tmp.file("out.xml"));
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_NE(texts[0].find(c.said), std::string::npos) << texts[0];
    }
}

TEST(XsdLoad, OutputMayNotBeAFileTheXsdIncludes) {
    test::TempDir tmp;
    const std::string included = tmp.write("inc.xsd", "<xs:schema xmlns:xs=\"http://www.w3.org/2001/XMLSchema\"/>");
    tmp.write("m.xsd", schemaWith("inc.xsd"));
    tmp.write("s.dsd", "<element root=\"rows\" xsd=\"m.xsd\"/>");
    const auto texts = said(tmp, tmp.write("in.csv", "a,b\r\nc,d\r\n"), included);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_NE(texts[0].find("が読み込むファイル " + included + " と同じファイルです。"), std::string::npos) << texts[0];
    EXPECT_EQ(xsd::Schema::load(tmp.file("m.xsd")).files().size(), 2u);
}

}  // namespace
}  // namespace trelmo
