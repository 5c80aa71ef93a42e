// The outline an XSD gives, one construct a case: each case's files, the tree
// written compactly (see shape()), the default record element and the notes.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "engine/xsd/xsd_outline.h"
#include "tests/support/temp_dir.h"
#include "tests/support/thrown.h"

namespace trelmo::xsd {
namespace {

// name, then "@" for an attribute, "?" optional, "*" repeating, "#" text
// content, "=v" fixed, "[label]", and the children in parentheses.
std::string shape(const OutlineNode& node) {
    std::string s = (node.isElement() ? "" : "@") + node.name + (node.required() ? "" : "?") +
                    (node.repeats() ? "*" : "") + (node.simpleContent ? "#" : "") +
                    (node.fixed ? "=" + *node.fixed : "") + (node.label.empty() ? "" : "[" + node.label + "]");
    for (std::size_t i = 0; i < node.children.size(); ++i) s += (i ? " " : "(") + shape(node.children[i]);
    return node.children.empty() ? s : s + ")";
}

std::string schema(std::string_view body, std::string_view ns = "urn:t") {
    return std::string(R"(<xs:schema xmlns:xs="http://www.w3.org/2001/XMLSchema" xmlns:t="urn:t" xmlns:o="urn:o" )") +
           "targetNamespace=\"" + std::string(ns) + "\" elementFormDefault=\"qualified\">" + std::string(body) +
           "</xs:schema>";
}

struct Case {
    const char* name;
    const char* xsd;  // the body of main.xsd's xs:schema
    const char* tree;
    const char* record;
    std::vector<const char*> notes;  // a part of each note, in order
    std::vector<std::pair<const char*, std::string>> otherFiles = {};
};

const std::vector<Case> kCases = {
    {"sequence", R"(<xs:element name="r"><xs:complexType><xs:sequence><xs:element name="a"/>
      <xs:element name="b" type="xs:int" minOccurs="0"/><xs:element name="c" maxOccurs="3"/>
      </xs:sequence></xs:complexType></xs:element>)", "r(a# b?# c*#)", "c", {}},
    {"nested types", R"(<xs:element name="r"><xs:complexType><xs:sequence><xs:element name="p" type="t:P"
      maxOccurs="unbounded"/></xs:sequence></xs:complexType></xs:element><xs:complexType name="P"><xs:sequence>
      <xs:element name="n"/><xs:element name="addr"><xs:complexType><xs:sequence><xs:sequence maxOccurs="2">
      <xs:element name="city"/></xs:sequence><xs:element name="zip" minOccurs="0"/></xs:sequence>
      </xs:complexType></xs:element></xs:sequence></xs:complexType>)", "r(p*(n# addr(city*# zip?#)))", "p", {}},
    {"extension", R"(<xs:element name="r" type="t:E"/><xs:complexType name="B"><xs:sequence><xs:element name="a"/>
      </xs:sequence><xs:attribute name="id" use="required"/></xs:complexType><xs:complexType name="E">
      <xs:complexContent><xs:extension base="t:B"><xs:sequence><xs:element name="v"><xs:complexType><xs:simpleContent>
      <xs:extension base="xs:decimal"><xs:attribute name="unit" fixed="円"/></xs:extension></xs:simpleContent>
      </xs:complexType></xs:element></xs:sequence><xs:attribute name="x"/></xs:extension></xs:complexContent>
      </xs:complexType>)", "r(@id @x? a# v#(@unit?=円))", "a", {}},
    {"restriction", R"(<xs:element name="r" type="t:R"/><xs:complexType name="B"><xs:sequence><xs:element name="a"/>
      <xs:element name="b" minOccurs="0"/></xs:sequence><xs:attribute name="x"/><xs:attribute name="y"/>
      </xs:complexType><xs:complexType name="R"><xs:complexContent><xs:restriction base="t:B"><xs:sequence>
      <xs:element name="a"/></xs:sequence><xs:attribute name="y" use="prohibited"/></xs:restriction>
      </xs:complexContent></xs:complexType>)", "r(@x? a#)", "a", {}},
    {"group refs", R"(<xs:element name="r"><xs:complexType><xs:sequence><xs:group ref="t:G" maxOccurs="unbounded"/>
      </xs:sequence><xs:attributeGroup ref="t:AG"/></xs:complexType></xs:element><xs:group name="G"><xs:sequence>
      <xs:element name="a"/><xs:element name="b" minOccurs="0"/></xs:sequence></xs:group><xs:attributeGroup name="AG">
      <xs:attribute name="g1" use="required"/><xs:attributeGroup ref="t:AG2"/></xs:attributeGroup>
      <xs:attributeGroup name="AG2"><xs:attribute name="g2"/></xs:attributeGroup>)", "r(@g1 @g2? a*# b?*#)", "a", {}},
    {"choice", R"(<xs:element name="r"><xs:complexType><xs:choice maxOccurs="unbounded"><xs:sequence>
      <xs:element name="x"/><xs:element name="z"/></xs:sequence><xs:element name="y"/></xs:choice></xs:complexType>
      </xs:element>)", "r(x*# z*#)", "x", {"要素 r の選択 (xs:choice) は最初の選択肢 x にしました。"}},
    {"element and attribute refs", R"(<xs:element name="r"><xs:complexType><xs:sequence><xs:element ref="t:a"
      minOccurs="0"/></xs:sequence><xs:attribute ref="t:code"/></xs:complexType></xs:element><xs:element name="a"
      fixed="1"><xs:annotation><xs:appinfo>件数</xs:appinfo><xs:documentation> 件
       数 </xs:documentation><xs:documentation xml:lang="ja-JP">件数（日本語）</xs:documentation></xs:annotation>
      </xs:element><xs:attribute name="code"/>)", "r(@code? a?#=1[件数（日本語）])", "a",
     {"属性 code は名前空間 urn:t に属しますが"}},
    {"include", R"(<xs:include schemaLocation="sub/types.xsd"/><xs:element name="r" type="t:T"/>)", "r(a*#[甲])",
     "a", {}, {{"sub/types.xsd", R"(<xs:schema xmlns:xs="http://www.w3.org/2001/XMLSchema"
      elementFormDefault="qualified"><xs:include schemaLocation="../main.xsd"/><xs:complexType name="T"><xs:sequence><xs:element name="a" maxOccurs="9">
      <xs:annotation><xs:documentation>甲</xs:documentation></xs:annotation></xs:element></xs:sequence>
      </xs:complexType></xs:schema>)"}}},
    {"import", R"(<xs:import namespace="urn:o" schemaLocation="o.xsd"/><xs:import namespace="urn:n"
      schemaLocation="http://example.com/n.xsd"/><xs:element name="r"><xs:complexType><xs:sequence>
      <xs:element name="a" type="o:Code"/><xs:element ref="o:b"/></xs:sequence></xs:complexType></xs:element>)",
     "r(a# b#)", "a", {"XSD が読み込む http://example.com/n.xsd はローカルのファイルではないため", "要素 b の名前空間 urn:o は"},
     {{"o.xsd", schema(R"(<xs:simpleType name="Code"><xs:restriction base="xs:string"/></xs:simpleType>
      <xs:element name="b"/>)", "urn:o")}}},
    {"recursion", R"(<xs:element name="r"><xs:complexType><xs:sequence><xs:element name="n" type="t:N"/>
      </xs:sequence></xs:complexType></xs:element><xs:complexType name="N"><xs:sequence><xs:element name="v"/>
      <xs:element name="n" type="t:N" minOccurs="0" maxOccurs="unbounded"/></xs:sequence></xs:complexType>)",
     "r(n(v# n?*(v#)))", "n", {"要素 n は自身を含むため、2 段より深くは省きました。"}},
    {"wildcards", R"(<xs:element name="r"><xs:complexType><xs:sequence><xs:element name="a"/><xs:any
      namespace="##other"/></xs:sequence><xs:anyAttribute/></xs:complexType></xs:element>)", "r(a#)", "a",
     {"要素 r の xs:any（任意の要素）は省きました。", "要素 r の xs:anyAttribute（任意の属性）は省きました。"}},
    {"substitution group", R"(<xs:element name="r"><xs:complexType><xs:sequence><xs:element ref="t:h"/>
      <xs:element ref="t:k"/></xs:sequence></xs:complexType></xs:element><xs:element name="h" abstract="true"/>
      <xs:element name="s" substitutionGroup="t:h"/><xs:element name="k"/><xs:element name="m" substitutionGroup="t:k"/>)",
     "r(k#)", "k", {"要素 h の代わりに置ける要素（s）は省きました。", "要素 h は抽象要素 (abstract) のため省きました。",
                    "要素 k の代わりに置ける要素（m）は省きました。"}},
    {"mixed and unqualified", R"(<xs:element name="r"><xs:complexType mixed="true"><xs:sequence><xs:element
      name="a" form="unqualified" maxOccurs="2"/></xs:sequence></xs:complexType></xs:element>)", "r#(a*#)", "a",
     {"この XSD は内側の要素を名前空間なしとしています"}},
    {"missing parts", R"(<xs:element name="r"><xs:complexType><xs:sequence><xs:element name="a" type="t:Nope"/>
      <xs:group ref="t:NoGroup"/></xs:sequence></xs:complexType></xs:element>)", "r(a#)", "a",
     {"型 t:Nope が XSD にないため、要素 a は文字だけの要素としました。", "グループ t:NoGroup が XSD にないため省きました。"}},
};

class OutlineCase : public testing::TestWithParam<Case> {};

TEST_P(OutlineCase, GivesItsTree) {
    const Case& c = GetParam();
    test::TempDir tmp;
    for (const auto& [name, text] : c.otherFiles) {
        std::filesystem::create_directories((tmp.path() / name).parent_path());
        tmp.write(name, text);
    }
    const XsdOutline outline(tmp.write("main.xsd", schema(c.xsd)));
    ASSERT_FALSE(outline.globalElements().empty());
    EXPECT_EQ(outline.globalElements().front(), "r");
    const OutlineTree tree = outline.tree("r");
    EXPECT_EQ(shape(tree.root), c.tree);
    const OutlineNode* record = defaultRecordElement(tree.root);
    EXPECT_EQ(record ? record->name : "", c.record);
    ASSERT_EQ(tree.notes.size(), c.notes.size()) << (tree.notes.empty() ? "" : tree.notes.front());
    for (std::size_t i = 0; i < c.notes.size(); ++i) EXPECT_NE(tree.notes[i].find(c.notes[i]), std::string::npos) << tree.notes[i];
}

INSTANTIATE_TEST_SUITE_P(Constructs, OutlineCase, testing::ValuesIn(kCases), [](const auto& info) {
    std::string name = info.param.name;
    for (char& ch : name) ch = std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
    return name;
});

TEST(XsdOutline, StopsAtTheNodeBoundEvenWhenGroupsDoubleAtEveryLevel) {
    std::string groups = R"(<xs:element name="r"><xs:complexType><xs:group ref="t:g0"/></xs:complexType></xs:element>)";
    for (int i = 0; i < 40; ++i) {
        const std::string next = "<xs:group ref=\"t:g" + std::to_string(i + 1) + "\"/>";
        groups += "<xs:group name=\"g" + std::to_string(i) + "\"><xs:sequence>" + next + next + "</xs:sequence></xs:group>";
    }
    test::TempDir tmp;
    for (const char* last : {"<xs:element name=\"a\"/>", ""}) {  // with no element at all, the steps count
        const std::string body = groups + "<xs:group name=\"g40\"><xs:sequence>" + last + "</xs:sequence></xs:group>";
        const OutlineTree tree = XsdOutline(tmp.write("main.xsd", schema(body))).tree("r");
        EXPECT_EQ(tree.root.children.size(), *last ? XsdOutline::kNodeBound - 1 : 0);
        ASSERT_EQ(tree.notes.size(), 1u);
        EXPECT_EQ(tree.notes[0], "ノードが多すぎるため、5000 個より後は省きました。");
    }
}

TEST(XsdOutline, RefusesWhatCannotBeReadNamingTheFile) {
    test::TempDir tmp;
    ASSERT_EQ(::mkfifo(tmp.file("fifo.xsd").c_str(), 0600), 0);
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"<a/>", "最上位の要素が xs:schema ではありません。"},
        {"<xs:schema", "1 行目: "},
        {schema(R"(<xs:include schemaLocation="gone.xsd"/>)"), tmp.file("gone.xsd") + " を読めません: "},
        {schema(R"(<xs:include schemaLocation="fifo.xsd"/>)"), "通常のファイルではありません。\r\n（" + tmp.file("main.xsd")},
    };
    for (const auto& [text, part] : cases) {
        const RuntimeError e = test::thrown([&] { XsdOutline(tmp.write("main.xsd", text)); });
        EXPECT_EQ(e.number(), err::FileAccess);
        EXPECT_NE(e.description().find(part), std::string::npos) << e.description();
    }
}

}  // namespace
}  // namespace trelmo::xsd
