// Serialising and saving: the exact bytes, escaping, the declaration and the
// encoding it names, and saves that fail without harming an existing file.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <cerrno>
#include <csignal>
#include <filesystem>

#include "engine/error.h"
#include "engine/xml/content_check.h"
#include "engine/xml/dom.h"
#include "tests/support/temp_dir.h"
#include "tests/support/thrown.h"

namespace trelmo::xml {
namespace {

namespace fs = std::filesystem;

using test::thrown;

// A document with a declaration of `data` and a root element `r`.
struct Doc {
    explicit Doc(const std::string& declaration = {}) {
        if (!declaration.empty()) doc.appendChild(doc.createProcessingInstruction("xml", declaration));
        root = doc.appendChild(doc.createElement("r"));
    }
    Document doc;
    Node root;
};

TEST(DomSave, ExactLayout) {
    Doc d("version=\"1.0\"");
    d.root.setAttribute("a", "1");
    d.root.setAttribute("b", "2");
    Node shop = d.root.appendChild(d.doc.createElement("shop"));
    shop.appendChild(d.doc.createElement("empty"));
    shop.appendChild(d.doc.createElement("withEmptyText")).appendChild(d.doc.createTextNode(""));
    shop.appendChild(d.doc.createTextNode("t"));
    shop.appendChild(d.doc.createCDATASection(""));
    shop.appendChild(d.doc.createComment(""));
    shop.appendChild(d.doc.createProcessingInstruction("pi", ""));
    shop.appendChild(d.doc.createProcessingInstruction("pi", "d a t a"));
    d.doc.asNode().insertBefore(d.doc.createComment("top"), d.root);
    EXPECT_EQ(d.doc.xml(),
              "<?xml version=\"1.0\"?>\r\n<!--top-->\r\n<r a=\"1\" b=\"2\"><shop><empty/><withEmptyText></withEmptyText>"
              "t<![CDATA[]]><!----><?pi?><?pi d a t a?></shop></r>\r\n");
}

// A loaded file keeps its own line ends, also in the white space between its
// tags and after an edit; a new document ends its top-level lines with CR LF.
TEST(DomSave, ALoadedFileKeepsItsLineEnds) {
    const struct {
        const char* loaded;
        const char* saved;
    } cases[] = {
        {"<?xml version=\"1.0\"?>\r\n<r>\r\n  <a/>\r\n</r>\r\n",
         "<?xml version=\"1.0\"?>\r\n<r>\r\n  <a/>\r\n<b/></r>\r\n"},
        {"<?xml version=\"1.0\"?>\n<r>\n  <a/>\n</r>\n", "<?xml version=\"1.0\"?>\n<r>\n  <a/>\n<b/></r>\n"},
        {"<r><a/></r>", "<r><a/><b/></r>\r\n"},
    };
    for (const auto& c : cases) {
        Document doc;
        ASSERT_TRUE(doc.loadXml(c.loaded)) << c.loaded;
        doc.documentElement().appendChild(doc.createElement("b"));
        EXPECT_EQ(doc.xml(), c.saved);
    }
}

TEST(DomSave, EscapingByContext) {
    Doc d;
    d.root.setAttribute("v", "a&b<c>d\"'\r\n\tz");
    d.root.appendChild(d.doc.createTextNode("a&b<c>d\"'\r\n\tz"));
    d.root.appendChild(d.doc.createCDATASection("x]]>y\rz]]]>&<"));
    d.root.appendChild(d.doc.createComment("a--b-"));
    d.root.appendChild(d.doc.createComment("---"));
    d.root.appendChild(d.doc.createComment("-\r-"));
    EXPECT_EQ(d.doc.xml(),
              "<r v=\"a&amp;b&lt;c&gt;d&quot;'&#13;&#10;&#9;z\">a&amp;b&lt;c&gt;d\"'&#13;\n\tz"
              "<![CDATA[x]]]]><![CDATA[>y]]>&#13;<![CDATA[z]]]]]><![CDATA[>&<]]>"
              "<!--a- -b- --><!--- - - --><!---\r- --></r>\r\n");
}

TEST(DomSave, CharactersXmlCannotHoldAreNamed) {
    struct Case {
        std::string value;
        const char* named;
    } cases[] = {
        {"a\x01", "U+0001"},       {"\x1F", "U+001F"},           {"\xEF\xBF\xBE", "U+FFFE"},
        {"\xEF\xBF\xBF", "U+FFFF"}, {"\xED\xA0\x80", "U+D800"}, {"ok\xFF", "0xFF"},
        {"\xC0\xAF", "0xC0"},       {"\xE3\x81", "0xE3"},
    };
    for (const auto& c : cases) {
        for (int where = 0; where < 5; ++where) {
            Doc d;
            switch (where) {
            case 0: d.root.appendChild(d.doc.createTextNode(c.value)); break;
            case 1: d.root.setAttribute("a", c.value); break;
            case 2: d.root.appendChild(d.doc.createCDATASection(c.value)); break;
            case 3: d.root.appendChild(d.doc.createComment(c.value)); break;
            case 4: d.root.appendChild(d.doc.createProcessingInstruction("p", c.value)); break;
            }
            const RuntimeError e = thrown([&] { d.doc.xml(); });
            EXPECT_EQ(e.number(), err::XmlSave) << c.named << " in " << where;
            EXPECT_NE(e.description().find(c.named), std::string::npos) << e.description();
        }
    }
    Doc d;
    d.root.appendChild(d.doc.createProcessingInstruction("p", "a?>b"));
    EXPECT_EQ(thrown([&] { d.doc.xml(); }).number(), err::XmlSave);
}

// Values are read sixteen bytes at a time: each character wherever it falls
// against a block, after ASCII or after three-byte characters, at the end of
// the value or not. The save and the check before streaming agree.
TEST(DomSave, CharactersAtEveryOffsetOfABlock) {
    const struct {
        std::string value;
        const char* named;  // nullptr: allowed, and written as `text`
        std::string text;
    } cases[] = {
        {"\xE0\xA0\x80", nullptr, "\xE0\xA0\x80"}, {"\xED\x9F\xBF", nullptr, "\xED\x9F\xBF"},
        {"\xEE\x80\x80", nullptr, "\xEE\x80\x80"}, {"\xEF\xBF\xBD", nullptr, "\xEF\xBF\xBD"},
        {"\xC2\x80\xDF\xBF", nullptr, "\xC2\x80\xDF\xBF"}, {"\xF0\x9F\x98\x80", nullptr, "\xF0\x9F\x98\x80"},
        {"\xE3\x81\x82<", nullptr, "\xE3\x81\x82&lt;"}, {"\t\r\n", nullptr, "\t&#13;\n"},
        {"\xE0\x9F\xBF", "0xE0", {}},  {"\xED\xA0\x80", "U+D800", {}}, {"\xEF\xBF\xBE", "U+FFFE", {}},
        {"\xEF\xBF\xBF", "U+FFFF", {}}, {"\xE3\x81", "0xE3", {}},       {"\xE3", "0xE3", {}},
        {"\xC1\xBF", "0xC1", {}},       {"\x80", "0x80", {}},           {"\x01", "U+0001", {}},
        {"\xF4\x90\x80\x80", "0xF4", {}},
    };
    for (const auto& c : cases) {
        for (const char* declaration : {"", "version=\"1.0\" encoding=\"Shift_JIS\""}) {
            Document top;
            if (*declaration) top.appendChild(top.createProcessingInstruction("xml", declaration));
            ContentCheck check(top);
            for (std::size_t k = 0; k < 20; ++k) {
                for (const bool kana : {false, true}) {
                    std::string prefix;
                    for (std::size_t n = 0; kana && n < k / 3; ++n) prefix += "\xE3\x81\x82";
                    prefix.append(k - prefix.size(), 'a');
                    for (const char* suffix : {"", "z"}) {
                        const std::string value = prefix + c.value + suffix;
                        Doc d(declaration);
                        const RuntimeError checked = thrown([&] { check.value(ContentCheck::Leaf::Text, value); });
                        const RuntimeError saved = thrown([&] {
                            d.root.appendChild(d.doc.createTextNode(value));
                            const std::string bytes = d.doc.xml();
                            if (!*declaration) {
                                EXPECT_EQ(bytes, "<r>" + prefix + c.text + suffix + "</r>\r\n");
                            }
                        });
                        const std::string where = c.value + " after " + std::to_string(k) + (kana ? " kana" : "");
                        EXPECT_EQ(checked.description(), saved.description()) << where;
                        if (c.named) EXPECT_NE(saved.description().find(c.named), std::string::npos) << where;
                        else EXPECT_EQ(saved.number(), 0) << where << saved.description();
                    }
                }
            }
        }
    }
}

// No declaration means UTF-8 without one; every name of Shift_JIS means code page 932.
TEST(DomSave, TheDeclarationNamesTheEncoding) {
    Doc utf8;
    utf8.root.appendChild(utf8.doc.createTextNode("①é😀"));
    EXPECT_EQ(utf8.doc.xml(), "<r>①é😀</r>\r\n");
    for (const char* name : {"Shift_JIS", "shift_jis", "SJIS", "Shift-JIS", "MS_Kanji", "csShiftJIS", "Windows-31J",
                             "CP932"}) {
        const std::string declaration = std::string("version=\"1.0\" encoding=\"") + name + "\"";
        Doc d(declaration);
        d.root.appendChild(d.doc.createTextNode("①～表"));
        EXPECT_EQ(d.doc.xml(), "<?xml " + declaration + "?>\r\n<r>\x87\x40\x81\x60\x95\x5C</r>\r\n") << name;
    }
}

TEST(DomSave, CharactersTheEncodingLacksBecomeReferences) {
    Doc d("version=\"1.0\" encoding=\"Shift_JIS\"");
    const std::string value = "é😀¥〜a";  // ¥ and 〜 would come back as other characters
    d.root.setAttribute("a", value);
    d.root.appendChild(d.doc.createTextNode(value));
    d.root.appendChild(d.doc.createCDATASection(value));
    const std::string refs = "&#233;&#128512;&#165;&#12316;a";
    EXPECT_EQ(d.doc.xml(), "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<r a=\"" + refs + "\">" + refs +
                               "<![CDATA[]]>&#233;<![CDATA[]]>&#128512;<![CDATA[]]>&#165;<![CDATA[]]>&#12316;"
                               "<![CDATA[a]]></r>\r\n");
    // A comment would hold the reference as text: the save fails, naming the character.
    d.root.appendChild(d.doc.createComment("a" + value));
    EXPECT_EQ(thrown([&] { d.doc.xml(); }).description(),
              "コメントの文字 U+00E9 (é) はエンコーディング Shift_JIS で書けないため保存できません"
              "（コメントには文字参照を書けません）。");
    // Where no reference can stand, the save fails.
    Doc names("version=\"1.0\" encoding=\"US-ASCII\"");
    names.root.appendChild(names.doc.createElement("é"));
    EXPECT_EQ(thrown([&] { names.doc.xml(); }).number(), err::XmlSave);
    Doc pi("version=\"1.0\" encoding=\"US-ASCII\"");
    pi.root.appendChild(pi.doc.createProcessingInstruction("p", "é"));
    EXPECT_EQ(thrown([&] { pi.doc.xml(); }).number(), err::XmlSave);
}

TEST(DomSave, Utf16HasAByteOrderMarkAndLoadsAgain) {
    Doc d("version=\"1.0\" encoding=\"UTF-16\"");
    d.root.appendChild(d.doc.createTextNode("😀"));
    const std::string bytes = d.doc.xml();
    ASSERT_GE(bytes.size(), 4u);
    EXPECT_EQ(bytes.substr(0, 4), std::string("\xFF\xFE<\0", 4));
    Document again;
    ASSERT_TRUE(again.loadXml(bytes)) << again.parseError().reason;
    EXPECT_EQ(again.asNode().child(0).value(), "version=\"1.0\" encoding=\"UTF-16\"");
    EXPECT_EQ(again.documentElement().child(0).value(), "😀");
}

TEST(DomSave, UnusableEncodingOrDeclaration) {
    Doc bad("version=\"1.0\" encoding=\"no-such-encoding\"");
    const RuntimeError e = thrown([&] { bad.doc.xml(); });
    EXPECT_EQ(e.number(), err::Encoding);
    EXPECT_EQ(e.description(), "エンコーディング no-such-encoding は使えません。");
    for (const char* data : {" ", "encoding=\"UTF-8\"", "version=\"1.0\" encoding=\"Shift JIS\"",
                             "version=\"1.0\" standalone=\"maybe\"", "version=\"1.0\" x=\"y\""}) {
        Doc d(data);
        EXPECT_EQ(thrown([&] { d.doc.xml(); }).number(), err::XmlSave) << data;
    }
}

TEST(DomSave, TheDeclarationIsOneNodeAtTheFront) {
    Document doc;
    Node root = doc.appendChild(doc.createElement("r"));
    // Inserted before the root element.
    Node decl = doc.asNode().insertBefore(doc.createProcessingInstruction("xml", "version=\"1.0\""), root);
    EXPECT_EQ(doc.xml(), "<?xml version=\"1.0\"?>\r\n<r/>\r\n");
    // Replaced by one naming an encoding.
    Node sjis = doc.createProcessingInstruction("xml", "version=\"1.0\" encoding=\"Shift_JIS\"");
    EXPECT_EQ(doc.asNode().replaceChild(sjis, decl), decl);
    EXPECT_EQ(doc.xml(), "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<r/>\r\n");
    // A second one, one anywhere else, or anything before it is refused.
    EXPECT_EQ(thrown([&] { doc.asNode().insertBefore(decl, sjis); }).number(), err::XmlDom);
    EXPECT_EQ(thrown([&] { doc.appendChild(decl); }).number(), err::XmlDom);
    EXPECT_EQ(thrown([&] { root.appendChild(decl); }).number(), err::XmlDom);
    EXPECT_EQ(thrown([&] { doc.asNode().insertBefore(doc.createComment("c"), sjis); }).number(), err::XmlDom);
    EXPECT_EQ(doc.asNode().childCount(), 2u);
    // Removed: no declaration, UTF-8.
    doc.asNode().removeChild(sjis);
    EXPECT_EQ(doc.xml(), "<r/>\r\n");
}

TEST(DomSave, LoadedDeclarationIsWrittenOnceAndCanMove) {
    Document schema;
    ASSERT_TRUE(schema.loadXml("<?xml version='1.0' encoding='Shift_JIS' ?>\n<a>\x87\x40</a>"));
    EXPECT_EQ(schema.xml(), "<?xml version='1.0' encoding='Shift_JIS'?>\n<a>\x87\x40</a>\n");  // its own line end

    Document out;
    Node decl = schema.asNode().child(0);
    EXPECT_EQ(decl.typeString(), "processinginstruction");
    out.appendChild(decl);
    out.appendChild(out.createElement("Root")).appendChild(out.createTextNode("①"));
    EXPECT_EQ(schema.xml(), "<a>\xE2\x91\xA0</a>\n");
    EXPECT_EQ(out.xml(), "<?xml version='1.0' encoding='Shift_JIS'?>\r\n<Root>\x87\x40</Root>\r\n");
}

TEST(DomSave, MovedNamespacedNodesKeepTheirDeclaration) {
    Document source;
    ASSERT_TRUE(source.loadXml(R"(<p:a xmlns:p="urn:p" xmlns="urn:d"><p:b p:x="1"><c/></p:b></p:a>)"));
    Document out;
    out.appendChild(source.documentElement().child(0));
    EXPECT_EQ(out.xml(), "<p:b xmlns:p=\"urn:p\" p:x=\"1\"><c xmlns=\"urn:d\"/></p:b>\r\n");
    EXPECT_EQ(source.xml(), "<p:a xmlns:p=\"urn:p\" xmlns=\"urn:d\"/>\r\n");
}

class SaveToFile : public testing::Test {
protected:
    test::TempDir tmp;
};

// The file, or the target of a link to it, is replaced by what xml() gives,
// keeping its mode; a new file gets the mode the umask leaves.
TEST_F(SaveToFile, WritesWhatXmlGivesAndReplacesTheFile) {
    Doc d("version=\"1.0\" encoding=\"Shift_JIS\"");
    d.root.appendChild(d.doc.createTextNode("①"));
    const std::string path = tmp.write("out.xml", "previous content that is longer");
    fs::permissions(path, static_cast<fs::perms>(0640));
    d.doc.save(path);
    EXPECT_EQ(test::readFile(path), d.doc.xml());
    EXPECT_EQ(fs::status(path).permissions(), static_cast<fs::perms>(0640));

    Doc plain;
    fs::create_symlink("out.xml", tmp.path() / "link.xml");
    plain.doc.save(tmp.file("link.xml"));
    EXPECT_TRUE(fs::is_symlink(tmp.path() / "link.xml"));
    EXPECT_EQ(test::readFile(path), "<r/>\r\n");

    const mode_t mask = umask(022);
    plain.doc.save(tmp.file("new.xml"));
    umask(mask);
    EXPECT_EQ(fs::status(tmp.file("new.xml")).permissions(), static_cast<fs::perms>(0644));
    EXPECT_EQ(test::fileNames(tmp.path()), (std::vector<std::string>{"link.xml", "new.xml", "out.xml"}));
}

// Each failure names the file and its own reason.
TEST_F(SaveToFile, FailuresLeaveTheDestinationAndNoTemporaryFile) {
    const std::string existing = tmp.write("keep.xml", "previous");
    fs::create_directory(tmp.path() / "folder");
    Doc good;
    Doc badEncoding("version=\"1.0\" encoding=\"no-such\"");
    Doc badContent;
    badContent.root.appendChild(badContent.doc.createTextNode("\x02"));
    struct Case {
        Document& doc;
        std::string path;
        int number;
        std::string named;
        std::string reason;
    } cases[] = {
        {good.doc, tmp.file("missing/out.xml"), err::XmlSave, "out.xml", std::string("ファイルまたはフォルダーが見つかりません。")},
        {good.doc, existing + "/out.xml", err::XmlSave, "out.xml", std::string("パスの途中にフォルダーでないものがあります。")},
        {good.doc, tmp.file("folder"), err::XmlSave, "folder", std::string("フォルダーです。")},
        {good.doc, tmp.file(std::string(300, 'x')), err::XmlSave, "xxx", std::string("パスまたはファイル名が長すぎます。")},
        {good.doc, "", err::XmlSave, "", "指定されていません"},
        {good.doc, "   ", err::XmlSave, "「   」", "空白"},  // relative: it would land in the current folder
        {badEncoding.doc, existing, err::Encoding, "no-such", ""},
        {badContent.doc, existing, err::XmlSave, "U+0002", ""},
    };
    for (auto& c : cases) {
        const RuntimeError e = thrown([&] { c.doc.save(c.path); });
        EXPECT_EQ(e.number(), c.number) << c.path;
        EXPECT_NE(e.description().find(c.named), std::string::npos) << e.description();
        EXPECT_NE(e.description().find(c.reason), std::string::npos) << e.description();
        EXPECT_EQ(test::readFile(existing), "previous");
        EXPECT_EQ(test::fileNames(tmp.path()), (std::vector<std::string>{"folder", "keep.xml"})) << c.path;
    }
    EXPECT_FALSE(test::fileExists("   "));
}

TEST_F(SaveToFile, AWriteThatFailsMidwayKeepsTheOldFile) {
    Doc d;
    for (int i = 0; i < 20000; ++i) d.root.appendChild(d.doc.createElement("record")).setAttribute("n", "0123456789");
    const std::string existing = tmp.write("keep.xml", "previous");
    // A file size limit makes the write fail as a full disk would.
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 64 * 1024;
    setrlimit(RLIMIT_FSIZE, &small);
    const RuntimeError e = thrown([&] { d.doc.save(existing); });
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(e.number(), err::XmlSave);
    EXPECT_NE(e.description().find("keep.xml"), std::string::npos);
    EXPECT_EQ(test::readFile(existing), "previous");
    EXPECT_EQ(test::fileNames(tmp.path()), std::vector<std::string>{"keep.xml"});
}

}  // namespace
}  // namespace trelmo::xml
