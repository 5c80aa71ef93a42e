// Output in Shift_JIS (code page 932) written from a table against iconv
// converting the same text in one call.
#include <gtest/gtest.h>

#include <string>

#include "engine/error.h"
#include "engine/text/cp932.h"
#include "engine/xml/byte_sink.h"
#include "engine/xml/encoding.h"
#include "engine/xml/xml_char.h"
#include "engine/xml/xml_writer.h"
#include "tests/support/recode.h"
#include "tests/support/thrown.h"

namespace trelmo::xml::detail {
namespace {

std::string viaIconv(const std::string& utf8) {
    const std::optional<std::string> out = test::recode(utf8, "CP932", "UTF-8");
    EXPECT_TRUE(out);
    return out.value_or("");
}

bool iconvEncodes(char32_t cp) {
    std::string utf8;
    appendUtf8(utf8, cp);
    return test::recode(utf8, "CP932", "UTF-8").has_value();
}

TEST(Cp932Encode, EveryCharacterAsIconvWritesIt) {
    std::string text = "<a b=\"c\">";
    for (char32_t cp = 1; cp < 0x10000; ++cp) {
        if ((cp < 0xD800 || cp > 0xDFFF) && iconvEncodes(cp)) appendUtf8(text, cp);
        if (cp % 64 == 0) text += "\r\n";
    }
    OutputEncoding encoding("Shift_JIS");
    StringSink sink;
    // In pieces of every size, always whole characters, as the writer hands them over.
    std::size_t at = 0, piece = 1;
    while (at < text.size()) {
        std::size_t end = std::min(text.size(), at + piece++);
        while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
        encoding.encode(text.data() + at, end - at, sink);
        at = end;
    }
    encoding.end(sink);
    EXPECT_EQ(sink.bytes, viaIconv(text));
}

std::string iconvBack(const std::string& bytes) { return test::recode(bytes, "UTF-8", "CP932").value_or(""); }

// The writer puts each character's bytes from the table into its buffer: the
// bytes iconv writes for a character that reads back as itself, else a reference.
TEST(Cp932Encode, TheWriterWritesEveryCharacterAsIconvOrAsAReference) {
    std::string text, expected;
    for (char32_t cp = 0x20; cp < 0x10000; ++cp) {
        if (!isXmlChar(cp) || cp == '&' || cp == '<' || cp == '>') continue;
        std::string utf8;
        appendUtf8(utf8, cp);
        text += utf8;
        const std::string bytes = iconvEncodes(cp) ? viaIconv(utf8) : std::string();
        expected += !bytes.empty() && iconvBack(bytes) == utf8 ? bytes : "&#" + std::to_string(cp) + ";";
    }
    OutputEncoding encoding("Shift_JIS");
    StringSink sink;
    XmlWriter writer(encoding, sink);
    writer.content(Context::Text, text);
    writer.finish();
    EXPECT_EQ(sink.bytes, expected);
}

// Code page 932 bytes written as the same text in UTF-8 is, with the
// writer's buffer ending at every point of the value: replacements, two-byte
// characters, characters with two codes and blocks that pass whole, and
// values that end in a two-byte character, also where its lead byte ends a
// block of sixteen.
TEST(Cp932Encode, CodePage932ContentAsItsUtf8TextWhereverTheBufferEnds) {
    const struct {
        std::string cp932, utf8;
    } values[] = {
        {"&&&&&&a\x82\xA0\xB1<\xEE\xEF\x81\x5D]>\x83\x5C" "0123456789abcdef\x93\xFA\x96\x7B&\r",
         "&&&&&&a\u3042\uFF71<\u2170\u2010]>\u30BD0123456789abcdef\u65E5\u672C&\r"},
        {"\x82\xA0", "\u3042"},
        {"&\x82\xA0", "&\u3042"},
        {"<\x81\x5D", "<\u2010"},
        {"0123456789abcde\x83\x5C", "0123456789abcde\u30BD"},
        {"0123456789abcdef\x93\xFA", "0123456789abcdef\u65E5"},
        {"0123456789abcdefghijklmnopqrs\x81\x5D", "0123456789abcdefghijklmnopqrs\u2010"},
    };
    const Cp932Decoder& decoder = *Cp932Decoder::instance();
    for (const auto& value : values) {
        for (std::size_t room = 1; room < 80; ++room) {
            const std::string before((1 << 18) - room, 'x');
            std::string written[2];
            for (int way = 0; way < 2; ++way) {
                OutputEncoding encoding("Shift_JIS");
                StringSink sink;
                XmlWriter writer(encoding, sink);
                writer.markup(before);
                for (int k = 0; k < 3; ++k) {
                    if (way == 0) {
                        writer.contentCp932(Context::Text, value.cp932, decoder);
                    } else {
                        writer.content(Context::Text, value.utf8);
                    }
                }
                writer.finish();
                written[way] = sink.bytes;
            }
            ASSERT_EQ(written[0], written[1]) << room << " " << value.utf8;
        }
    }
}

TEST(Cp932Encode, ACharacterWithoutBytesIsAnError) {
    OutputEncoding encoding("Shift_JIS");
    StringSink sink;
    EXPECT_EQ(test::thrown([&] { encoding.encode("ab\xF0\x9F\x98\x80", 6, sink); }).description(),  // U+1F600
              "文字 U+1F600 をエンコーディング Shift_JIS で書けません。");
    EXPECT_EQ(sink.bytes, "ab");
}

}  // namespace
}  // namespace trelmo::xml::detail
