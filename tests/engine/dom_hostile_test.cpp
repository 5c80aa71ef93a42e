// Oversized documents in memory: deep trees and large entities stay bounded.
// Hostile files to load: schema_hostile_test.

#include <gtest/gtest.h>

#include "engine/xml/dom.h"

namespace trelmo::xml {
namespace {

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
