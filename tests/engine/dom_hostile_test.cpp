// Hostile and oversized input: each ends in a clear parse error or a correct
// load, without reading local files, touching the network or crashing.

#include <gtest/gtest.h>

#include "engine/xml/dom.h"
#include "tests/support/temp_dir.h"

namespace trelmo::xml {
namespace {

std::string laughs(const std::string& use) {
    std::string xml = "<?xml version=\"1.0\"?><!DOCTYPE lolz [<!ENTITY lol0 \"lol\">";
    for (int i = 1; i <= 9; ++i) {
        xml += "<!ENTITY lol" + std::to_string(i) + " \"";
        for (int k = 0; k < 10; ++k) xml += "&lol" + std::to_string(i - 1) + ";";
        xml += "\">";
    }
    return xml + "<!ELEMENT lolz (#PCDATA)><!ATTLIST lolz a CDATA #IMPLIED>]>" + use;
}

// Everything a loaded document shows, to look for leaked content.
std::string everything(const Document& doc) {
    std::string all = doc.xml();
    for (const Node& e : doc.asNode().selectAllElements()) {
        for (const auto& a : e.attributes()) all += a.value;
        for (const Node& c : e.children()) all += c.value();
    }
    return all;
}

TEST(DomHostile, EntityExpansionBombsAreRefused) {
    for (const std::string& use : {std::string("<lolz>&lol9;</lolz>"), std::string("<lolz a=\"&lol9;\"/>")}) {
        Document doc;
        EXPECT_FALSE(doc.loadXml(laughs(use))) << use;
        EXPECT_NE(doc.parseError().errorCode, 0);
        EXPECT_FALSE(doc.parseError().reason.empty());
    }
}

TEST(DomHostile, ExternalEntitiesAreNeverRead) {
    test::TempDir tmp;
    const std::string secret = tmp.write("secret.txt", "SECRET-CONTENT");
    const std::string uses[] = {
        "<!DOCTYPE a [<!ELEMENT a (#PCDATA)><!ENTITY x SYSTEM \"file://" + secret + "\">]><a>&x;</a>",
        "<!DOCTYPE a [<!ELEMENT a (#PCDATA)><!ENTITY x SYSTEM \"" + secret + "\">]><a>&x;</a>",
        "<!DOCTYPE a [<!ENTITY % p SYSTEM \"" + secret + "\"> %p;]><a/>",
        "<!DOCTYPE a SYSTEM \"" + secret + "#\"><a/>",
    };
    for (const std::string& xml : uses) {
        Document doc;
        const bool loaded = doc.load(tmp.write("x.xml", xml));
        EXPECT_FALSE(loaded) << xml;
        EXPECT_NE(doc.parseError().reason, "") << xml;
        EXPECT_EQ(everything(doc).find("SECRET"), std::string::npos) << xml;
    }
}

TEST(DomHostile, NetworkResourcesAreRefusedWithAReason) {
    const std::string uses[] = {
        "<!DOCTYPE a SYSTEM \"http://10.255.255.1/unreachable.dtd\"><a/>",
        "<!DOCTYPE a PUBLIC \"-//X//DTD X//EN\" \"http://10.255.255.1/x.dtd\"><a/>",
        "<!DOCTYPE a [<!ELEMENT a (#PCDATA)><!ENTITY x SYSTEM \"http://10.255.255.1/x\">]><a>&x;</a>",
        "<!DOCTYPE a [<!ENTITY % p SYSTEM \"ftp://10.255.255.1/p\"> %p;]><a/>",
    };
    for (const std::string& xml : uses) {
        Document doc;
        EXPECT_FALSE(doc.loadXml(xml)) << xml;
        EXPECT_NE(doc.parseError().reason.find("10.255.255.1"), std::string::npos) << doc.parseError().reason;
        EXPECT_EQ(doc.parseError().line, 1) << xml;
    }
}

TEST(DomHostile, DeepNestingIsAParseError) {
    std::string xml;
    for (int i = 0; i < 100000; ++i) xml += "<a>";
    Document doc;
    EXPECT_FALSE(doc.loadXml(xml));
    EXPECT_NE(doc.parseError().errorCode, 0);
}

TEST(DomHostile, DeepTreesBuiltInMemoryAreWalkedWithoutRecursion) {
    Document doc;
    Node n = doc.appendChild(doc.createElement("a"));
    for (int i = 0; i < 200000; ++i) n = n.appendChild(doc.createElement("a"));
    n.appendChild(doc.createTextNode("deep"));
    EXPECT_EQ(doc.documentElement().selectAllElements().size(), 200001u);
    const std::string xml = doc.xml();
    EXPECT_EQ(xml.size(), 200001u * 7 + 4 + 2);
    // Moving the whole tree to another document walks it too.
    Document other;
    other.appendChild(doc.documentElement());
    EXPECT_EQ(other.xml(), xml);
}

TEST(DomHostile, ManyElementsLoad) {
    std::string xml = "<element>";
    for (int i = 0; i < 32768; ++i) xml += "<text DataSource=\"1\"/>";
    xml += "</element>";
    Document doc;
    ASSERT_TRUE(doc.loadXml(xml));
    EXPECT_EQ(doc.documentElement().selectAllElements().size(), 32769u);
    const Node top = doc.documentElement();
    std::size_t seen = 0;
    for (std::size_t i = 0; i < top.childCount(); ++i) seen += top.child(i).name() == "text";
    EXPECT_EQ(seen, 32768u);
}

TEST(DomHostile, AHugeAttributeValueIsAParseError) {
    const std::string xml = "<a v=\"" + std::string(50 * 1024 * 1024, 'x') + "\"/>";
    Document doc;
    EXPECT_FALSE(doc.loadXml(xml));
    EXPECT_NE(doc.parseError().errorCode, 0);
    EXPECT_FALSE(doc.parseError().reason.empty());
    EXPECT_LE(doc.parseError().srcText.size(), 1000u);  // the line is shown cut short
}

TEST(DomHostile, ManyReferencesToALargeEntityStayBounded) {
    std::string xml = "<!DOCTYPE a [<!ELEMENT a (#PCDATA)><!ATTLIST a v CDATA #IMPLIED><!ENTITY big \"" +
                      std::string(100000, 'x') + "\">]><a v=\"";
    for (int i = 0; i < 20000; ++i) xml += "&big;";
    xml += "\"/>";
    Document doc;
    if (doc.loadXml(xml)) {
        EXPECT_LE(doc.documentElement().attribute("v")->size(), 256u * 1024 * 1024);
    } else {
        EXPECT_NE(doc.parseError().errorCode, 0);
    }
}

}  // namespace
}  // namespace trelmo::xml
