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

TEST(DomLoad, ASyntaxErrorGivesItsLineAndSourceText) {
    Document doc;
    EXPECT_FALSE(doc.loadXml("<element>\n<text>\n</element>\n<!-- a later error -->&"));
    const ParseError& e = doc.parseError();
    EXPECT_NE(e.errorCode, 0);
    EXPECT_FALSE(e.reason.empty());
    EXPECT_EQ(e.line, 3);
    EXPECT_GT(e.linePos, 0);
    EXPECT_EQ(e.srcText, "</element>");
    EXPECT_FALSE(doc.documentElement());
    EXPECT_EQ(doc.readyState(), 4);
}

TEST(DomLoad, SourceTextIsUtf8WhateverTheFileEncoding) {
    Document sjis;
    EXPECT_FALSE(sjis.loadXml("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<a>\x87\x40</b>\r\n"));
    EXPECT_EQ(sjis.parseError().line, 2);
    EXPECT_EQ(sjis.parseError().srcText, "<a>①</b>");

    Document utf16;
    EXPECT_FALSE(utf16.loadXml(utf16le("<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<a></b>", true)));
    EXPECT_EQ(utf16.parseError().line, 2);
    EXPECT_EQ(utf16.parseError().srcText, "<a></b>");

    Document bom;
    EXPECT_FALSE(bom.loadXml("\xEF\xBB\xBF<a></b>"));
    EXPECT_EQ(bom.parseError().srcText, "<a></b>");
}

TEST(DomLoad, NamespaceErrorsCount) {
    Document doc;
    EXPECT_FALSE(doc.loadXml("<a>\n<p:b/></a>"));
    EXPECT_NE(doc.parseError().errorCode, 0);
    EXPECT_EQ(doc.parseError().line, 2);
    EXPECT_NE(doc.parseError().reason.find("p"), std::string::npos);
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

    Document invalid;
    EXPECT_FALSE(invalid.loadXml(dtd + "<a>\n<c/></a>"));
    EXPECT_NE(invalid.parseError().errorCode, 0);
    EXPECT_EQ(invalid.parseError().line, 3);
    EXPECT_EQ(invalid.parseError().srcText, "<c/></a>");

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

    // An error inside the external subset names that file.
    tmp.write("broken.dtd", "<!ELEMENT a EMPTY>\n<!ELEMENT b oops>\n");
    Document broken;
    EXPECT_FALSE(broken.load(tmp.write("broken.xml", "<!DOCTYPE a SYSTEM \"broken.dtd\"><a/>")));
    EXPECT_NE(broken.parseError().reason.find("broken.dtd"), std::string::npos) << broken.parseError().reason;
    EXPECT_EQ(broken.parseError().line, 2);
    EXPECT_EQ(broken.parseError().srcText, "<!ELEMENT b oops>");

    // The subset may not pull in other files.
    tmp.write("pulls.dtd", "<!ELEMENT a EMPTY>\n<!ENTITY % more SYSTEM \"more.dtd\"> %more;\n");
    tmp.write("more.dtd", "<!ELEMENT b EMPTY>");
    Document pulls;
    EXPECT_FALSE(pulls.load(tmp.write("pulls.xml", "<!DOCTYPE a SYSTEM \"pulls.dtd\"><a/>")));
    EXPECT_NE(pulls.parseError().reason.find("more.dtd"), std::string::npos) << pulls.parseError().reason;
    EXPECT_EQ(pulls.parseError().line, 2);
    EXPECT_EQ(pulls.parseError().srcText, "<!ENTITY % more SYSTEM \"more.dtd\"> %more;");

    Document missing;
    EXPECT_FALSE(missing.load(tmp.write("missing.xml", "<!DOCTYPE a SYSTEM \"none.dtd\"><a/>")));
    EXPECT_NE(missing.parseError().reason.find("none.dtd"), std::string::npos) << missing.parseError().reason;
}

TEST(DomLoad, TheFirstErrorCounts) {
    Document doc;
    EXPECT_FALSE(doc.loadXml("<a>\n<b x='1' x='2'/>\n<c></d>\n</a>"));
    EXPECT_EQ(doc.parseError().line, 2);
    EXPECT_EQ(doc.parseError().srcText, "<b x='1' x='2'/>");
}

}  // namespace
}  // namespace trelmo::xml
