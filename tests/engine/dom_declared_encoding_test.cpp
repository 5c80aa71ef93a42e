// Files in a declared encoding other than UTF-8 load whatever their first
// name: libxml2 alone misreads a long name right after the declaration.
#include <gtest/gtest.h>

#include <string>

#include "engine/convert/convert2xml.h"
#include "engine/xml/dom.h"
#include "tests/support/temp_dir.h"

namespace trelmo {
namespace {

std::string repeat(std::string_view piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += piece;
    return text;
}

TEST(DomDeclaredEncoding, LongNamesLoadWhereverTheyStart) {
    const std::string kana = repeat("\xC0", 200);  // half-width ﾀ in Shift_JIS
    const std::string kanaUtf8 = repeat("\xEF\xBE\x80", 200);
    for (const std::size_t padding : {0, 1, 10, 20, 500}) {
        const std::string pad(padding, 'x');
        xml::Document doc;
        ASSERT_TRUE(doc.loadXml("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<r>" + pad + "<" + kana + "/></r>"))
            << pad.size() << ": " << doc.parseError().reason;
        EXPECT_EQ(doc.documentElement().child(pad.empty() ? 0 : 1).name(), kanaUtf8);
    }
}

TEST(DomDeclaredEncoding, LongFirstNameLoads) {
    const std::string kanjiSjis = repeat("\x89\x89", 100);   // 演 in Shift_JIS
    const std::string kanjiEuc = repeat("\xB1\xE9", 100);    // 演 in EUC-JP
    const std::string kanjiUtf8 = repeat("\xE6\xBC\x94", 100);
    for (const auto& [encoding, name] : {std::pair<std::string, std::string>{"Shift_JIS", kanjiSjis},
                                         {"EUC-JP", kanjiEuc}}) {
        xml::Document doc;
        ASSERT_TRUE(doc.loadXml("<?xml version=\"1.0\" encoding=\"" + encoding + "\"?>\r\n<" + name + "><a>" + name +
                                "</a></" + name + ">\r\n"))
            << encoding << ": " << doc.parseError().reason;
        EXPECT_EQ(doc.documentElement().name(), kanjiUtf8);
        EXPECT_EQ(doc.documentElement().child(0).child(0).value(), kanjiUtf8);
    }
}

TEST(DomDeclaredEncoding, ConversionWithALongJapaneseRootNameReadsBack) {
    const std::string name = repeat("\xE6\xBC\x94", 100);
    xml::Document schema;
    ASSERT_TRUE(schema.loadXml("<element root=\"" + name + "\" encoding=\"Shift_JIS\"><text DataSource=\"1\"/></element>"));
    test::TempDir tmp;
    NullProgress progress;
    Convert2XML(progress).WriteXML(schema, {"a,b", "c,d"}, tmp.file("out.xml"));
    xml::Document back;
    ASSERT_TRUE(back.load(tmp.file("out.xml"))) << back.parseError().reason;
    EXPECT_EQ(back.documentElement().name(), name);
    EXPECT_EQ(back.documentElement().childCount(), 2u);
}

TEST(DomDeclaredEncoding, BadBytesStillFailToLoad) {
    xml::Document doc;
    EXPECT_FALSE(doc.loadXml("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<r>\x85\x40</r>"));
    EXPECT_NE(doc.parseError().errorCode, 0);
    EXPECT_FALSE(doc.loadXml("<?xml version=\"1.0\" encoding=\"no-such\"?>\r\n<r/>"));
}

}  // namespace
}  // namespace trelmo
