// The schema built from a recipient's XSD (an include in a subfolder, a
// target namespace, an attribute, five simple elements with Japanese labels,
// a fixed value), its binding to a CSV header by name, and the XSD path it
// names.

#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/xsd/bind_by_name.h"
#include "engine/xsd/schema_from_xsd.h"
#include "tests/support/temp_dir.h"

namespace trelmo::xsd {
namespace {

namespace fs = std::filesystem;

const fs::path kFolder = test::sourceDir() / "tests/data/xsd/recipient";

struct Built {
    OutlineTree tree;
    const OutlineNode* record;
    xml::Document schema;
};

Built build(const std::string& schemaFolder) {
    const XsdOutline outline((kFolder / "recipient.xsd").string());
    Built built{outline.tree(outline.globalElements().front()), nullptr, {}};
    built.record = defaultRecordElement(built.tree.root);
    built.schema = schemaFromOutline(*built.record, built.tree.root.name,
                                     xsdReference(outline.path(), schemaFolder), outline.targetNamespace());
    return built;
}

TEST(SchemaFromXsd, FollowsTheXsdsOrderWithTextNodesAndFixedValue) {
    const Built built = build(kFolder.string());
    EXPECT_TRUE(built.tree.notes.empty());
    EXPECT_EQ(built.schema.xml(), test::readFile(kFolder / "expected.dsd"));
}

TEST(SchemaFromXsd, SaysWhyAnotherRootOrRecordWouldNotMatch) {
    const auto node = [](const char* name, std::uint32_t minOccurs = 1, std::vector<OutlineNode> children = {}) {
        OutlineNode n;
        n.name = name;
        n.minOccurs = minOccurs;
        n.children = std::move(children);
        return n;
    };
    OutlineNode root = node("r", 1, {node("id"), node("head"), node("list", 0, {node("item")})});
    root.children[0].kind = OutlineNode::Kind::Attribute;
    EXPECT_EQ(recordChoiceNotes(root, root.children[1]).size(), 1u);  // the required attribute
    const std::vector<std::string> nested = recordChoiceNotes(root, root.children[2].children[0]);
    ASSERT_EQ(nested.size(), 3u);
    EXPECT_EQ(nested[0], "要素 item は r の直下にありません。出力では r の直下に書かれるため、XSD に一致しません。");
    EXPECT_EQ(nested[2], "要素 r の必須の子要素 head は出力に書かれません。");
}

TEST(SchemaFromXsd, NamesTheXsdRelativelyOnlyBelowTheSchemaFolder) {
    const std::string xsd = (kFolder / "recipient.xsd").string();
    EXPECT_EQ(xsdReference(xsd, (kFolder / "..").string()), "recipient/recipient.xsd");
    EXPECT_EQ(xsdReference(xsd, (kFolder / "common").string()), xsd);
    EXPECT_EQ(xsdReference(xsd, ""), xsd);
    EXPECT_EQ(xsdReference(xsd, kFolder.string() + "/"), "recipient.xsd");
    EXPECT_EQ(movedXsdReference("recipient.xsd", kFolder.string(), (kFolder / "..").string()), "recipient/recipient.xsd");
    EXPECT_EQ(movedXsdReference(xsd, "", kFolder.string()), "recipient.xsd");
    EXPECT_EQ(movedXsdReference("sub/r.xsd", "", kFolder.string()), "sub/r.xsd");  // never saved: as typed
}

TEST(SchemaFromXsd, TheExpectedOutputValidatesAndAWrongFixedValueDoesNot) {
    const std::string check = "xmllint --noout --schema '" + (kFolder / "recipient.xsd").string() + "' ";
    EXPECT_EQ(std::system((check + "'" + (kFolder / "expected.xml").string() + "' 2>/dev/null").c_str()), 0);
    test::TempDir tmp;
    std::string wrong = test::readFile(kFolder / "expected.xml");
    wrong.replace(wrong.find(">JP<"), 4, ">US<");
    EXPECT_NE(std::system((check + tmp.write("wrong.xml", wrong) + " 2>/dev/null").c_str()), 0);
}

// The data sources after binding, in document order ("AAA00010=2 ...").
std::string sources(const xml::Document& schema) {
    std::string result;
    for (const xml::Node& n : schema.documentElement().selectAllElements()) {
        const auto source = n.attribute("DataSource");
        if (!source) continue;
        const xml::Node named = n.name() == "attribute" ? n : n.parent();
        result += (result.empty() ? "" : " ") + named.attribute("name").value_or("") + "=" + *source;
    }
    return result;
}

TEST(BindByName, BindsByNameOrLabelAndListsTheRequiredLeft) {
    struct Case {
        std::vector<std::string> titles;
        std::string bound;
        std::vector<std::string> requiredLeft;
    };
    const std::vector<Case> cases = {
        {{"AAA00001", "AAA00010", " 氏名 ", "フリガナ", "AAA00040"},
         "AAA00001=1 AAA00010=2 AAA00020=3 AAA00030=4 AAA00040=5", {}},
        {{"国コード", "フリガナ", "AAA00030", "区分"}, "AAA00001=4 AAA00030=3",
         {"AAA00010「受取人番号」", "AAA00020「氏名」", "AAA00040「郵便番号」"}},
    };
    for (const Case& c : cases) {
        Built built = build("");
        const NameBindingPlan plan =
            planBindingByName(built.schema.documentElement(), c.titles, outlineFacts(*built.record));
        applyBindings(plan);
        EXPECT_EQ(sources(built.schema), c.bound);
        EXPECT_EQ(plan.requiredWithoutColumn, c.requiredLeft);
    }
}

TEST(BindByName, TakesABlankDataSourceForNoneAndLeavesFixedValuesOfAnyCase) {
    Built built = build("");
    std::vector<xml::Node> nodes = built.schema.documentElement().selectAllElements();
    nodes[1].setAttribute("datasource", " ");  // the attribute AAA00001
    nodes[5].setAttribute("VALUE", "山田");     // AAA00020's text
    const NameBindingPlan plan = planBindingByName(built.schema.documentElement(), {"AAA00020", "AAA00001"}, {});
    ASSERT_EQ(plan.bindings.size(), 1u);
    EXPECT_EQ(plan.bindings[0].leaf, nodes[1]);
    EXPECT_EQ(plan.bindings[0].column, 2u);
}

TEST(BindByName, ReadsTheFactsOfTheXsdASavedSchemaNames) {
    const Built built = build(kFolder.string());
    const auto facts = schemaXsdFacts(built.schema.documentElement(), kFolder.string());
    ASSERT_TRUE(facts);
    EXPECT_EQ(*facts, outlineFacts(*built.record));
    EXPECT_EQ(facts->at("AAA00030").label, "フリガナ");
    EXPECT_FALSE(facts->at("AAA00030").required);
}

}  // namespace
}  // namespace trelmo::xsd
