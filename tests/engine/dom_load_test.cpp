// Loading: what a loaded document holds, its declaration, encodings,
// validation against a declared document type, and the parse error of a file
// that does not load.

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/xml/dom.h"
#include "tests/support/temp_dir.h"

namespace trelmo::xml {
namespace {

std::string utf16le(std::string_view ascii, bool bom) {
    std::string out = bom ? "\xFF\xFE" : "";
    for (char c : ascii) out += std::string{c, '\0'};
    return out;
}

std::string utf16be(std::string_view ascii) {
    std::string out = "\xFE\xFF";
    for (char c : ascii) out += std::string{'\0', c};
    return out;
}

TEST(DomLoad, ALoadedFileReportsNoError) {
    test::TempDir tmp;
    Document doc;
    ASSERT_TRUE(doc.load(tmp.write("s.dsd", "<element name=\"shop\">\n  <text DataSource=\"1\"/>\n</element>\n")));
    const ParseError& e = doc.parseError();
    EXPECT_EQ(e.errorCode, 0);
    EXPECT_EQ(e.reason, "");
    EXPECT_EQ(e.srcText, "");
    EXPECT_EQ(doc.readyState(), 4);
    Node top = doc.documentElement();
    EXPECT_EQ(top.attribute("name"), "shop");
    // Whitespace between elements stays as text nodes.
    ASSERT_EQ(top.childCount(), 3u);
    EXPECT_EQ(top.child(0).typeString(), "text");
    EXPECT_EQ(top.child(1).name(), "text");
    EXPECT_EQ(doc.asNode().childCount(), 1u);  // no declaration in the file, none in the document
}

TEST(DomLoad, TheDeclarationBecomesTheFirstNodeAsWritten) {
    struct Case {
        std::string bytes;
        const char* data;  // nullptr: no declaration
    } cases[] = {
        {"<?xml version=\"1.0\"?><a/>", "version=\"1.0\""},
        {"\xEF\xBB\xBF<?xml version='1.0'  encoding='utf-8'\r\n?>\r\n<a/>", "version='1.0'  encoding='utf-8'"},
        {"<?xml\tversion=\"1.0\" standalone=\"yes\"?><a/>", "version=\"1.0\" standalone=\"yes\""},
        {"<a/>", nullptr},
        {"\xEF\xBB\xBF<a/>", nullptr},
        {"<?xml-stylesheet href=\"a\"?><a/>", nullptr},
        {utf16le("<?xml version=\"1.0\" encoding=\"UTF-16\"?><a/>", true), "version=\"1.0\" encoding=\"UTF-16\""},
        {utf16le("<?xml version=\"1.0\" encoding=\"UTF-16\"?><a/>", false), "version=\"1.0\" encoding=\"UTF-16\""},
        {utf16be("<?xml version=\"1.0\" encoding=\"UTF-16\"?><a/>"), "version=\"1.0\" encoding=\"UTF-16\""},
        {utf16le("<a/>", true), nullptr},
    };
    for (const auto& c : cases) {
        Document doc;
        ASSERT_TRUE(doc.loadXml(c.bytes)) << c.bytes << ": " << doc.parseError().reason;
        const Node first = doc.asNode().child(0);
        if (c.data) {
            EXPECT_EQ(first.name(), "xml");
            EXPECT_EQ(first.typeString(), "processinginstruction");
            EXPECT_EQ(first.value(), c.data);
            EXPECT_EQ(doc.asNode().childCount(), 2u);
        } else {
            EXPECT_NE(first.name(), "xml") << c.bytes;
        }
    }
}

TEST(DomLoad, ShiftJisFilesReadAsCodePage932) {
    Document doc;
    ASSERT_TRUE(doc.loadXml("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\n"
                            "<element name=\"\x8E\x73\" root=\"\x87\x40\x81\x60\"><text DataSource=\"1\"/></element>"))
        << doc.parseError().reason;
    EXPECT_EQ(doc.documentElement().attribute("name"), "市");
    EXPECT_EQ(doc.documentElement().attribute("root"), "①～");
    for (const char* alias : {"SJIS", "windows-31j", "cp932", "MS_Kanji"}) {
        Document other;
        EXPECT_TRUE(other.loadXml(std::string("<?xml version=\"1.0\" encoding=\"") + alias + "\"?><a>\x87\x40</a>"))
            << alias;
        EXPECT_EQ(other.documentElement().child(0).value(), "①") << alias;
    }
}

// Each error: its line, the source text of that line in UTF-8 whatever the
// file's encoding, and a reason naming what went wrong. The first error counts.
TEST(DomLoad, AnErrorGivesItsLineAndSourceText) {
    const std::string dtd = "<!DOCTYPE a [<!ELEMENT a (b*)><!ELEMENT b EMPTY>]>\n";
    const struct {
        std::string bytes;
        int line;  // 0: not checked
        const char* srcText;
        const char* inReason;
    } cases[] = {
        {"<element>\n<text>\n</element>\n<!-- a later error -->&", 3, "</element>", ""},
        {"<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<a>\x87\x40</b>\r\n", 2, "<a>①</b>", ""},
        {utf16le("<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<a></b>", true), 2, "<a></b>", ""},
        {"\xEF\xBB\xBF<a></b>", 0, "<a></b>", ""},
        {"<a>\n<p:b/></a>", 2, nullptr, "p"},  // an undeclared prefix
        {dtd + "<a>\n<c/></a>", 3, "<c/></a>", ""},  // not valid against its document type
        {"<a>\n<b x='1' x='2'/>\n<c></d>\n</a>", 2, "<b x='1' x='2'/>", ""},
    };
    for (const auto& c : cases) {
        Document doc;
        EXPECT_FALSE(doc.loadXml(c.bytes)) << c.bytes;
        const ParseError& e = doc.parseError();
        EXPECT_NE(e.errorCode, 0) << c.bytes;
        EXPECT_FALSE(e.reason.empty());
        EXPECT_NE(e.reason.find(c.inReason), std::string::npos) << e.reason;
        if (c.line) {
            EXPECT_EQ(e.line, c.line) << c.bytes;
        }
        EXPECT_GT(e.linePos, 0) << c.bytes;
        if (c.srcText) {
            EXPECT_EQ(e.srcText, c.srcText);
        }
        EXPECT_FALSE(doc.documentElement());
        EXPECT_EQ(doc.readyState(), 4);
    }
}

TEST(DomLoad, FilesThatCannotBeReadAreParseErrors) {
    test::TempDir tmp;
    std::filesystem::create_directory(tmp.path() / "folder");
    const std::string plain = tmp.write("plain.txt", "x");
    struct Case {
        std::string path;
        const char* named;
    } cases[] = {
        {tmp.file("none.dsd"), "none.dsd"},
        {tmp.file("folder"), "folder"},
        {plain + "/below.dsd", "below.dsd"},
        {"", ""},
        {tmp.write("empty.dsd", ""), ""},
    };
    for (const auto& c : cases) {
        Document doc;
        EXPECT_FALSE(doc.load(c.path)) << c.path;
        EXPECT_NE(doc.parseError().errorCode, 0) << c.path;
        EXPECT_NE(doc.parseError().reason.find(c.named), std::string::npos) << doc.parseError().reason;
        EXPECT_FALSE(doc.documentElement());
    }
}

TEST(DomLoad, ADeclaredDocumentTypeIsValidated) {
    const std::string dtd = "<!DOCTYPE a [<!ELEMENT a (b*)><!ELEMENT b EMPTY><!ATTLIST b v CDATA #IMPLIED>"
                            "<!ENTITY e \"x&#38;#38;y\">]>\n";
    Document valid;
    ASSERT_TRUE(valid.loadXml(dtd + "<a><b v=\"&e;\"/></a>")) << valid.parseError().reason;
    EXPECT_EQ(valid.asNode().child(0).typeString(), "documenttype");
    EXPECT_EQ(valid.documentElement().child(0).attribute("v"), "x&y");

    // Without a document type nothing is validated.
    Document free;
    EXPECT_TRUE(free.loadXml("<a><c/></a>"));
}

TEST(DomLoad, TheExternalSubsetIsReadFromALocalFile) {
    test::TempDir tmp;
    std::filesystem::create_directory(tmp.path() / "dtd dir");
    tmp.write("dtd dir/s.dtd", "<!ELEMENT a (b)>\n<!ELEMENT b EMPTY>\n");
    Document good;
    EXPECT_TRUE(good.load(tmp.write("good.xml", "<!DOCTYPE a SYSTEM \"dtd%20dir/s.dtd\"><a><b/></a>")))
        << good.parseError().reason;
    Document bad;
    EXPECT_FALSE(bad.load(tmp.write("bad.xml", "<!DOCTYPE a SYSTEM \"dtd%20dir/s.dtd\"><a/>")));
    EXPECT_NE(bad.parseError().errorCode, 0);

    // An error inside the external subset, a subset pulling in other files
    // or a missing one names that file.
    tmp.write("broken.dtd", "<!ELEMENT a EMPTY>\n<!ELEMENT b oops>\n");
    tmp.write("pulls.dtd", "<!ELEMENT a EMPTY>\n<!ENTITY % more SYSTEM \"more.dtd\"> %more;\n");
    tmp.write("more.dtd", "<!ELEMENT b EMPTY>");
    const struct {
        const char *dtd, *named;
        int line;  // 0: not checked
        const char* srcText;
    } cases[] = {
        {"broken.dtd", "broken.dtd", 2, "<!ELEMENT b oops>"},
        {"pulls.dtd", "more.dtd", 2, "<!ENTITY % more SYSTEM \"more.dtd\"> %more;"},
        {"none.dtd", "none.dtd", 0, nullptr},
    };
    for (const auto& c : cases) {
        Document doc;
        EXPECT_FALSE(doc.load(tmp.write("in.xml", std::string("<!DOCTYPE a SYSTEM \"") + c.dtd + "\"><a/>")));
        EXPECT_NE(doc.parseError().reason.find(c.named), std::string::npos) << doc.parseError().reason;
        if (c.line) {
            EXPECT_EQ(doc.parseError().line, c.line) << c.dtd;
        }
        if (c.srcText) {
            EXPECT_EQ(doc.parseError().srcText, c.srcText);
        }
    }
}

}  // namespace
}  // namespace trelmo::xml

namespace trelmo::xml {
namespace {

TEST(DomLoad, NestingIsReadDownToTheDepthLimit) {
    for (const int depth : {Document::kMaxLoadDepth, Document::kMaxLoadDepth + 1}) {
        std::string text;
        for (int i = 0; i < depth; ++i) text += "<element name=\"e\">";
        for (int i = 0; i < depth; ++i) text += "</element>";
        Document doc;
        EXPECT_EQ(doc.loadXml(text), depth <= Document::kMaxLoadDepth) << depth;
    }
}

}  // namespace
}  // namespace trelmo::xml
