// The table decoder of code page 932 against iconv itself, byte for byte and
// error for error.
#include <gtest/gtest.h>

#include <cerrno>
#include <random>
#include <string>
#include <vector>

#include "engine/error.h"
#include "engine/text/cp932.h"
#include "engine/text/decode.h"
#include "engine/text/iconv_handle.h"

namespace trelmo {
namespace {

struct Result {
    std::string text;
    std::size_t bad = std::string_view::npos;
    bool operator==(const Result&) const = default;
};

void PrintTo(const Result& r, std::ostream* os) { *os << testing::PrintToString(r.text) << " bad " << r.bad; }

Result viaIconv(std::string bytes) {
    IconvHandle cd = openIconv("UTF-8", "CP932");
    Result result;
    std::string out(bytes.size() * 4 + 16, '\0');
    char* in = bytes.data();
    std::size_t inLeft = bytes.size();
    char* outPos = out.data();
    std::size_t outLeft = out.size();
    if (iconv(cd.get(), &in, &inLeft, &outPos, &outLeft) == static_cast<std::size_t>(-1)) {
        result.bad = static_cast<std::size_t>(in - bytes.data());
    }
    result.text.assign(out.data(), static_cast<std::size_t>(outPos - out.data()));
    return result;
}

Result viaTable(const std::string& bytes) {
    static LargeBuffer buffer;
    Result result;
    std::size_t length = 0;
    result.bad = Cp932Decoder::instance()->decode(bytes, buffer, length);
    result.text.assign(buffer.data(), length);
    return result;
}

TEST(Cp932Decode, EveryCharacterAsIconvDecodesIt) {
    ASSERT_NE(Cp932Decoder::instance(), nullptr);
    std::string all;
    for (int b = 0; b < 256; ++b) {
        for (int t = 0; t < 256; ++t) {
            const std::string pair{static_cast<char>(b), static_cast<char>(t)};
            ASSERT_EQ(viaTable(pair), viaIconv(pair)) << b << " " << t;
        }
    }
}

TEST(Cp932Decode, RandomTextAndErrorsAsIconv) {
    std::mt19937 random(932);
    // Loose bytes: ASCII, half-width katakana, lead and trail bytes, and bytes that are never valid.
    const unsigned char bytes[] = {'a', ',', '\r', 0x00, 0x5C, 0x7E, 0x80, 0xA0, 0xA1, 0xDF, 0x81, 0x82, 0x87,
                                   0x9F, 0xE0, 0xEF, 0xFC, 0xFD, 0x40, 0x7F, 0x9E, 0xA9, 0xFF};
    // Whole characters, lead bytes as trail bytes among them, and ASCII runs of any length, so that long
    // text reaches the vector loop with characters across its 32-byte steps; now and then a loose byte.
    const char* const characters[] = {"a", "bc", ",", "\r\n", "\x82\xA0", "\x88\x9F", "\xB1", "\x81\x5C",
                                      "\x83\x7E", "\x81\x81", "\x9F\xE0", "\xE0\x9F", "\xFC\x4B", "\xEA\xA4",
                                      "0123456789abcdef"};
    for (int round = 0; round < 100000; ++round) {
        std::string text;
        const bool loose = round % 2 == 0;
        const int length = static_cast<int>(random() % (loose ? 16 : 80));
        for (int k = 0; k < length; ++k) {
            if (loose || random() % 64 == 0) {
                text += static_cast<char>(bytes[random() % sizeof bytes]);
            } else {
                text += characters[random() % std::size(characters)];
            }
        }
        const Result expected = viaIconv(text);
        ASSERT_EQ(viaTable(text), expected) << testing::PrintToString(text);
        ASSERT_EQ(Cp932Decoder::instance()->firstInvalid(text), expected.bad) << testing::PrintToString(text);
    }
}

// Long text as iconv decodes it, a lead byte cut off at its end too; a large
// file is decoded (or only checked) in two pieces, cut at a line end near its
// middle, and the first bad byte is reported whichever piece holds it.
TEST(Cp932Decode, LongTextAndLargeFilesAsIconv) {
    std::string text;
    for (int i = 0; i < 100000; ++i) text += i % 3 ? "\x82\xA0" : "a\xB1";  // あ, a, ｱ
    EXPECT_EQ(viaTable(text), viaIconv(text));
    text += "\x82";
    EXPECT_EQ(viaTable(text), viaIconv(text));
    EXPECT_EQ(viaTable(text).bad, text.size() - 1);

    text.clear();
    for (int i = 0; text.size() < (3 << 20); ++i) text += i % 2 ? "\x93\xFA\x96\x7B,a\r\n" : "\xB1,bc\n";
    const std::size_t early = 1000, late = text.size() - 1000;
    for (const std::vector<std::size_t>& bad : {std::vector<std::size_t>{}, {early}, {late}, {early, late}}) {
        std::string bytes = text;
        for (const std::size_t at : bad) bytes[at] = '\xFF';
        const Result expected = viaIconv(bytes);
        for (const Cp932Text mode : {Cp932Text::Decoded, Cp932Text::Kept}) {
            try {
                std::array<LargeBuffer, 2> storage;
                const FileText text = decodeFileTextInPieces(bytes, storage, "in.csv", mode);
                std::string joined;
                for (const std::string_view piece : text.pieces) joined += piece;
                EXPECT_EQ(joined, text.cp932 ? bytes : expected.text);
                EXPECT_EQ(text.cp932, mode == Cp932Text::Kept);
                EXPECT_EQ(expected.bad, std::string_view::npos);
            } catch (const RuntimeError& e) {
                EXPECT_NE(e.description().find("(先頭から " + std::to_string(expected.bad + 1) + " バイト目)"),
                          std::string::npos)
                    << e.description();
            }
        }
    }
}

}  // namespace
}  // namespace trelmo
