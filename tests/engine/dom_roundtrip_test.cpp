// Save and load again: every value comes back exactly, in UTF-8 and in
// Shift_JIS, whatever characters it holds.

#include <gtest/gtest.h>

#include <random>

#include "engine/text/utf8.h"
#include "engine/xml/dom.h"
#include "tests/support/temp_dir.h"

namespace trelmo::xml {
namespace {

// Random text of XML characters, heavy on markup and line ends.
class Values {
public:
    explicit Values(unsigned seed) : random_(seed) {}

    std::string next() {
        static const char* const pieces[] = {"&", "<", ">", "\"", "'", "]]>", "]", "--", "-", "?>", "\r", "\n",
                                             "\t", "\r\n", " ", "&amp;", "①", "～", "¥", "〜", "表", "ｱ"};
        std::string value;
        const int length = pick(0, 12);
        for (int i = 0; i < length; ++i) {
            switch (pick(0, 4)) {
            case 0:
                value += pieces[pick(0, std::size(pieces) - 1)];
                break;
            case 1:
                value += static_cast<char>(pick(0x20, 0x7E));
                break;
            case 2: {
                char32_t cp = static_cast<char32_t>(pick(0x80, 0xFFFD));
                if (cp >= 0xD800 && cp <= 0xDFFF) cp = 0x3042;
                appendUtf8(value, cp);
                break;
            }
            case 3:
                appendUtf8(value, static_cast<char32_t>(pick(0x10000, 0x10FFFF)));
                break;
            default:
                appendUtf8(value, static_cast<char32_t>(pick(0x3000, 0x9FFF)));
                break;
            }
        }
        return value;
    }

private:
    int pick(std::size_t low, std::size_t high) {
        return static_cast<int>(std::uniform_int_distribution<std::size_t>(low, high)(random_));
    }
    std::mt19937 random_;
};

// A comment as it reads back: blanks where "--" or a final "-" were, and
// line ends as a parser normalises them.
std::string commentAfterReload(const std::string& value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '-') {
            out += (i + 1 == value.size() || value[i + 1] == '-') ? "- " : "-";
        } else if (c == '\r') {
            out += '\n';
            if (i + 1 < value.size() && value[i + 1] == '\n') ++i;
        } else {
            out += c;
        }
    }
    return out;
}

// Text of all children: CDATA sections may come back split around references.
std::string joined(const Node& element) {
    std::string text;
    for (const Node& c : element.children()) text += c.value();
    return text;
}

class RoundTrip : public testing::TestWithParam<const char*> {};

TEST_P(RoundTrip, EveryValueComesBack) {
    const std::string encoding = GetParam();
    const bool unicode = encoding == "UTF-8";
    Values values(unicode ? 1 : 2);
    Document doc;
    doc.appendChild(doc.createProcessingInstruction("xml", "version=\"1.0\" encoding=\"" + encoding + "\""));
    Node root = doc.appendChild(doc.createElement("root"));
    std::vector<std::string> expected;
    for (int i = 0; i < 300; ++i) {
        Node record = root.appendChild(doc.createElement("r"));
        const std::string attribute = values.next(), text = values.next(), cdata = values.next();
        record.setAttribute("a", attribute);
        record.appendChild(doc.createElement("t")).appendChild(doc.createTextNode(text));
        record.appendChild(doc.createElement("c")).appendChild(doc.createCDATASection(cdata));
        expected.insert(expected.end(), {attribute, text, cdata});
        if (unicode) {
            const std::string comment = values.next();
            record.appendChild(doc.createComment(comment));
            expected.push_back(commentAfterReload(comment));
        }
    }
    test::TempDir tmp;
    const std::string path = tmp.file("out.xml");
    doc.save(path);

    Document again;
    ASSERT_TRUE(again.load(path)) << again.parseError().reason << " line " << again.parseError().line << ": "
                                  << again.parseError().srcText;
    const Node back = again.documentElement();
    ASSERT_EQ(back.childCount(), 300u);
    std::size_t k = 0;
    for (std::size_t i = 0; i < back.childCount(); ++i) {
        const Node record = back.child(i);
        EXPECT_EQ(record.attribute("a"), expected[k++]) << i;
        EXPECT_EQ(joined(record.child(0)), expected[k++]) << i;
        EXPECT_EQ(joined(record.child(1)), expected[k++]) << i;
        if (unicode) {
            EXPECT_EQ(record.child(2).value(), expected[k++]) << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Encodings, RoundTrip, testing::Values("UTF-8", "Shift_JIS", "UTF-16", "UTF-16BE", "EUC-JP", "ISO-2022-JP", "ISO-8859-1"));

TEST(RoundTripBytes, ShiftJisFileIsWrittenBackByteForByte) {
    const std::string bytes =
        "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n"
        "<element name=\"\x87\x40\x81\x60\" root=\"\x95\x5C\"><text DataSource=\"1\"/><!--\x87\x54-->"
        "<![CDATA[\x81\x60]]>\x87\x40&amp;</element>\r\n";
    test::TempDir tmp;
    Document doc;
    ASSERT_TRUE(doc.load(tmp.write("in.dsd", bytes)));
    EXPECT_EQ(doc.documentElement().attribute("name"), "①～");
    const std::string out = tmp.file("out.dsd");
    doc.save(out);
    EXPECT_EQ(test::readFile(out), bytes);
}

TEST(RoundTripBytes, ADocumentTypeSurvives) {
    const std::string xml =
        "<!DOCTYPE a [<!ELEMENT a (b*)><!ELEMENT b EMPTY><!ATTLIST b v CDATA #IMPLIED>"
        "<!ENTITY e \"x&#38;#38;y\"><!ENTITY f \"<b/>\">]><a><b v=\"&e;\"/>&f;</a>";
    Document doc;
    ASSERT_TRUE(doc.loadXml(xml));
    Document again;
    ASSERT_TRUE(again.loadXml(doc.xml())) << again.parseError().reason;
    EXPECT_EQ(again.xml(), doc.xml());
    EXPECT_EQ(again.documentElement().child(0).attribute("v"), "x&y");
    EXPECT_EQ(again.documentElement().child(1).typeString(), "entityreference");
    EXPECT_EQ(again.documentElement().child(1).name(), "f");
}

}  // namespace
}  // namespace trelmo::xml
