// Building and querying documents: node kinds and names, children, attributes,
// the rules of the tree, and node handles across documents.

#include <gtest/gtest.h>

#include "engine/error.h"
#include "engine/xml/dom.h"
#include "tests/support/thrown.h"

namespace trelmo::xml {
namespace {

template <class F>
int errorNumber(F&& f) {
    const RuntimeError e = test::thrown(f);
    EXPECT_FALSE(e.description().empty());
    return e.number();
}

TEST(DomTree, NewDocumentHasNoNodes) {
    Document doc;
    EXPECT_FALSE(doc.documentElement());
    EXPECT_EQ(doc.asNode().childCount(), 0u);
    EXPECT_FALSE(doc.asNode().hasChildNodes());
    EXPECT_EQ(doc.asNode().typeString(), "document");
    EXPECT_EQ(doc.asNode().name(), "#document");
    EXPECT_EQ(doc.readyState(), 4);
    EXPECT_EQ(doc.xml(), "");
}

TEST(DomTree, KindsNamesAndValues) {
    Document doc;
    struct Case {
        Node node;
        NodeType type;
        const char *typeString, *name, *baseName, *value;
    } cases[] = {
        {doc.createElement("p:shop"), NodeType::Element, "element", "p:shop", "shop", ""},
        {doc.createTextNode("t"), NodeType::Text, "text", "#text", "", "t"},
        {doc.createCDATASection("c"), NodeType::CData, "cdatasection", "#cdata-section", "", "c"},
        {doc.createComment("m"), NodeType::Comment, "comment", "#comment", "", "m"},
        {doc.createProcessingInstruction("xml", "version=\"1.0\""), NodeType::ProcessingInstruction,
         "processinginstruction", "xml", "xml", "version=\"1.0\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.node.type(), c.type) << c.name;
        EXPECT_EQ(c.node.typeString(), c.typeString);
        EXPECT_EQ(c.node.name(), c.name);
        EXPECT_EQ(c.node.baseName(), c.baseName);
        EXPECT_EQ(c.node.value(), c.value);
        EXPECT_FALSE(c.node.parent());
    }
}

TEST(DomTree, ChildrenInOrderWithIndexedAccess) {
    Document doc;
    Node root = doc.appendChild(doc.createElement("r"));
    for (int i = 0; i < 1000; ++i) root.appendChild(doc.createElement("e" + std::to_string(i)));
    ASSERT_EQ(root.childCount(), 1000u);
    EXPECT_EQ(root.child(0).name(), "e0");
    EXPECT_EQ(root.child(999).name(), "e999");
    EXPECT_EQ(root.child(500).name(), "e500");
    EXPECT_EQ(root.child(499).name(), "e499");
    EXPECT_EQ(root.child(3).name(), "e3");
    EXPECT_FALSE(root.child(1000));
    // The remembered position follows changes of the tree.
    root.insertBefore(doc.createElement("first"), root.child(0));
    EXPECT_EQ(root.child(500).name(), "e499");
    EXPECT_EQ(root.childCount(), 1001u);
    root.removeChild(root.child(1000));
    EXPECT_EQ(root.childCount(), 1000u);
    EXPECT_EQ(root.child(999).name(), "e998");
    EXPECT_EQ(root.child(0).parent(), root);
    EXPECT_EQ(root.children().size(), 1000u);
}

TEST(DomTree, IndexedAccessAgreesWithTheChildListUnderRandomChanges) {
    Document doc;
    Node root = doc.appendChild(doc.createElement("r"));
    std::uint32_t seed = 7;
    auto next = [&seed](std::size_t bound) {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<std::size_t>(seed >> 8) % bound;
    };
    for (int step = 0; step < 3000; ++step) {
        const std::size_t count = root.childCount();
        switch (next(4)) {
        case 0:
            root.appendChild(doc.createTextNode(std::to_string(step)));
            break;
        case 1:
            if (count > 0) root.insertBefore(doc.createComment(std::to_string(step)), root.child(next(count)));
            break;
        case 2:
            if (count > 0) root.removeChild(root.child(next(count)));
            break;
        default:
            break;
        }
        const auto all = root.children();
        ASSERT_EQ(root.childCount(), all.size());
        for (int probe = 0; probe < 3 && !all.empty(); ++probe) {
            const std::size_t i = next(all.size());
            ASSERT_EQ(root.child(i), all[i]) << step;
        }
    }
}

TEST(DomTree, AttributesInDocumentOrderWithExactLookup) {
    Document doc;
    Node e = doc.createElement("e");
    e.setAttribute("b", "1");
    e.setAttribute("A", "2");
    e.setAttribute("a", "3");
    e.setAttribute("b", "4");  // replaces in place
    e.setAttribute("x:y", "");
    ASSERT_EQ(e.attributeCount(), 4u);
    const auto attributes = e.attributes();
    EXPECT_EQ(attributes[0].name, "b");
    EXPECT_EQ(attributes[0].value, "4");
    EXPECT_EQ(attributes[1].name, "A");
    EXPECT_EQ(attributes[2].name, "a");
    EXPECT_EQ(attributes[3].name, "x:y");
    EXPECT_EQ(e.attribute("A"), "2");
    EXPECT_EQ(e.attribute("x:y"), "");
    EXPECT_EQ(e.attribute("B"), std::nullopt);
    EXPECT_EQ(doc.createTextNode("t").attributeCount(), 0u);

    e.removeAttribute("A");
    e.removeAttribute("B");  // none of that name: nothing happens
    ASSERT_EQ(e.attributeCount(), 3u);
    EXPECT_EQ(e.attribute("A"), std::nullopt);
    EXPECT_EQ(e.attributes()[1].name, "a");
}

TEST(DomTree, ParsedNamespacesShowAsPrefixedNamesAndAttributes) {
    Document doc;
    ASSERT_TRUE(doc.loadXml(R"(<p:a xmlns:p="urn:p" p:x="1" y="2"><p:b/></p:a>)"));
    Node a = doc.documentElement();
    EXPECT_EQ(a.name(), "p:a");
    EXPECT_EQ(a.baseName(), "a");
    EXPECT_EQ(a.child(0).name(), "p:b");
    EXPECT_EQ(a.attributeCount(), 3u);
    EXPECT_EQ(a.attribute("xmlns:p"), "urn:p");
    EXPECT_EQ(a.attribute("p:x"), "1");
    a.setAttribute("p:x", "3");
    EXPECT_EQ(a.attribute("p:x"), "3");
    EXPECT_EQ(a.attributeCount(), 3u);
}

TEST(DomTree, InvalidNamesAreRefused) {
    Document doc;
    using namespace std::string_view_literals;
    for (std::string_view bad : {""sv, "a b"sv, "1x"sv, "a:"sv, ":a"sv, "a:b:c"sv, "<"sv, "①"sv, "a\0b"sv}) {
        EXPECT_EQ(errorNumber([&] { doc.createElement(bad); }), err::XmlDom) << bad;
    }
    Node e = doc.createElement("e");
    EXPECT_EQ(errorNumber([&] { e.setAttribute("a b", "v"); }), err::XmlDom);
    EXPECT_EQ(errorNumber([&] { doc.createProcessingInstruction("XmL", "x"); }), err::XmlDom);
    EXPECT_EQ(errorNumber([&] { doc.createProcessingInstruction("a:b", "x"); }), err::XmlDom);
    EXPECT_EQ(errorNumber([&] { doc.createTextNode(std::string("a\0b", 3)); }), err::XmlDom);
    // Names of the current XML edition, as the parser reads them.
    EXPECT_EQ(doc.createElement("Ａ番号x").name(), "Ａ番号x");
    EXPECT_EQ(doc.createElement("名前").name(), "名前");
}

TEST(DomTree, ChildrenOnlyWhereTheyFit) {
    Document doc;
    Node root = doc.appendChild(doc.createElement("r"));
    for (Node leaf : {doc.createTextNode("t"), doc.createCDATASection("c"), doc.createComment("m"),
                      doc.createProcessingInstruction("pi", "d")}) {
        root.appendChild(leaf);
        EXPECT_EQ(errorNumber([&] { leaf.appendChild(doc.createElement("x")); }), err::XmlDom);
        EXPECT_EQ(errorNumber([&] { leaf.setAttribute("a", "v"); }), err::XmlDom);
    }
    EXPECT_EQ(errorNumber([&] { doc.appendChild(doc.createElement("second")); }), err::XmlDom);
    EXPECT_EQ(errorNumber([&] { doc.appendChild(doc.createTextNode("top")); }), err::XmlDom);
    EXPECT_EQ(errorNumber([&] { root.child(0).parent().appendChild(root); }), err::XmlDom);  // into itself
    Node inner = root.appendChild(doc.createElement("inner"));
    EXPECT_EQ(errorNumber([&] { inner.appendChild(root); }), err::XmlDom);  // into its descendant
    EXPECT_EQ(errorNumber([&] { root.appendChild(doc.asNode()); }), err::XmlDom);
    EXPECT_EQ(errorNumber([&] { inner.removeChild(root.child(0)); }), err::XmlDom);
    EXPECT_EQ(errorNumber([&] { inner.insertBefore(doc.createElement("x"), root.child(0)); }), err::XmlDom);
    // Nothing changed by the failed calls.
    EXPECT_EQ(root.childCount(), 5u);
    EXPECT_EQ(doc.asNode().childCount(), 1u);
}

TEST(DomTree, EmptyHandlesAnswerEmptyAndRefuseChanges) {
    Document doc;
    Node none;
    EXPECT_FALSE(none);
    EXPECT_EQ(none.type(), NodeType::None);
    EXPECT_EQ(none.typeString(), "");
    EXPECT_EQ(none.name(), "");
    EXPECT_EQ(none.childCount(), 0u);
    EXPECT_FALSE(none.child(0));
    EXPECT_FALSE(none.parent());
    EXPECT_TRUE(none.attributes().empty());
    EXPECT_EQ(none.attribute("a"), std::nullopt);
    EXPECT_TRUE(none.selectAllElements().empty());
    EXPECT_EQ(errorNumber([&] { none.setAttribute("a", "b"); }), err::XmlDom);
    EXPECT_EQ(errorNumber([&] { none.removeAttribute("a"); }), err::XmlDom);
    EXPECT_EQ(errorNumber([&] { none.appendChild(doc.createElement("a")); }), err::XmlDom);
    EXPECT_EQ(errorNumber([&] { doc.appendChild(none); }), err::XmlDom);
    EXPECT_EQ(errorNumber([&] { doc.asNode().removeChild(none); }), err::XmlDom);
}

TEST(DomTree, RemoveReplaceAndInsertKeepTheNodes) {
    Document doc;
    Node root = doc.appendChild(doc.createElement("r"));
    Node a = root.appendChild(doc.createElement("a"));
    Node b = root.appendChild(doc.createElement("b"));
    Node c = doc.createElement("c");
    EXPECT_EQ(root.replaceChild(c, a), a);
    EXPECT_FALSE(a.parent());
    EXPECT_EQ(root.insertBefore(a, b), a);
    EXPECT_EQ(root.removeChild(b), b);
    b.appendChild(doc.createTextNode("detached subtree"));
    EXPECT_EQ(doc.xml(), "<r><c/><a/></r>\r\n");
    root.appendChild(b);
    EXPECT_EQ(doc.xml(), "<r><c/><a/><b>detached subtree</b></r>\r\n");
    EXPECT_EQ(root.insertBefore(b, Node()), b);  // an empty reference appends
}

TEST(DomTree, SelectAllElementsInPreOrder) {
    Document doc;
    ASSERT_TRUE(doc.loadXml("<?xml version=\"1.0\"?><!--c--><a><b><c/>t<d/></b><!--x--><e/></a>"));
    std::string names;
    for (const Node& n : doc.documentElement().selectAllElements()) names += n.name();
    EXPECT_EQ(names, "abcde");
    EXPECT_EQ(doc.asNode().child(1).selectAllElements().size(), 5u);
}

TEST(DomTree, NodeMovedFromAnotherDocumentBelongsToIt) {
    Document out;
    Node kept;
    {
        Document schema;
        ASSERT_TRUE(schema.loadXml("<?xml version=\"1.0\"?><a id=\"x\"><b>t</b></a>"));
        Node moved = out.appendChild(schema.documentElement());
        kept = moved.child(0);
        EXPECT_FALSE(schema.documentElement());
        EXPECT_EQ(schema.asNode().childCount(), 1u);
    }
    // The source document is gone; the moved nodes live on in the output.
    EXPECT_EQ(kept.name(), "b");
    EXPECT_EQ(out.xml(), "<a id=\"x\"><b>t</b></a>\r\n");
    Node e = out.createElement("e");
    kept.appendChild(e);
    EXPECT_EQ(out.xml(), "<a id=\"x\"><b>t<e/></b></a>\r\n");
}

TEST(DomTree, HandlesKeepTheirDocumentAlive) {
    Node orphan, attached, stale;
    {
        Document doc;
        orphan = doc.createElement("orphan");
        attached = doc.appendChild(doc.createElement("root"));
        Document other;
        stale = other.createElement("x");
        doc.documentElement().appendChild(stale);  // `stale` still names the first document
    }
    EXPECT_EQ(orphan.name(), "orphan");
    EXPECT_EQ(attached.child(0).name(), "x");
    EXPECT_EQ(stale.parent(), attached);
    orphan.appendChild(stale);
    EXPECT_EQ(attached.childCount(), 0u);
}

TEST(DomTree, LoadReplacesTheContent) {
    Document doc;
    Node old = doc.appendChild(doc.createElement("old"));
    ASSERT_TRUE(doc.loadXml("<new/>"));
    EXPECT_EQ(doc.documentElement().name(), "new");
    EXPECT_EQ(old.name(), "old");  // an old handle still works
    EXPECT_FALSE(doc.loadXml("<broken"));
    EXPECT_FALSE(doc.documentElement());
    EXPECT_EQ(doc.asNode().childCount(), 0u);
}

TEST(DomTree, MovedFromDocumentIsEmpty) {
    Document a;
    a.appendChild(a.createElement("r"));
    Document b(std::move(a));
    EXPECT_EQ(b.documentElement().name(), "r");
    EXPECT_FALSE(a.documentElement());  // NOLINT(bugprone-use-after-move)
    EXPECT_EQ(errorNumber([&] { a.createElement("x"); }), err::XmlDom);
}

}  // namespace
}  // namespace trelmo::xml
