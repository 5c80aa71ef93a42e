// The UTF-8 check that decides how a CSV file is read, against a plain
// decoder, on random bytes around every boundary of the encoding.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "engine/text/utf8.h"

namespace trelmo {
namespace {

// Decodes each sequence and checks its code point.
std::size_t plainFirstInvalid(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t length = 1;
        char32_t cp = c, minimum = 0;
        if (c >= 0x80 && c < 0xC0) return i;
        if (c >= 0xC0 && c < 0xE0) length = 2, cp = c & 0x1F, minimum = 0x80;
        if (c >= 0xE0 && c < 0xF0) length = 3, cp = c & 0x0F, minimum = 0x800;
        if (c >= 0xF0 && c < 0xF8) length = 4, cp = c & 0x07, minimum = 0x10000;
        if (c >= 0xF8) return i;
        if (text.size() - i < length) return i;
        for (std::size_t k = 1; k < length; ++k) {
            const auto b = static_cast<unsigned char>(text[i + k]);
            if ((b & 0xC0) != 0x80) return i;
            cp = (cp << 6) | (b & 0x3F);
        }
        if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return i;
        i += length;
    }
    return std::string_view::npos;
}

TEST(Utf8Check, AgreesWithAPlainDecoder) {
    const unsigned char interesting[] = {0x00, 0x41, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF, 0xC0, 0xC1, 0xC2,
                                         0xDF, 0xE0, 0xE1, 0xE3, 0xEC, 0xED, 0xEE, 0xEF, 0xF0, 0xF3, 0xF4, 0xF5,
                                         0xF8, 0xFF};
    std::mt19937 random(8);
    // Some texts open with four kilobytes of valid text, checked byte by byte before the vector check
    // takes the rest, and end with any of the sequences where that hands over.
    std::string opening;
    while (opening.size() < 4096) opening += "\xE3\x81\x82";
    for (int round = 0; round < 200000; ++round) {
        std::string text = round % 4 ? "" : std::string(random() % 4, 'a') + opening;
        const int length = static_cast<int>(random() % 20);
        for (int k = 0; k < length; ++k) {
            if (random() % 4 == 0) {
                text.append(random() % 12, 'a');  // ASCII runs of every length
            } else {
                text += static_cast<char>(interesting[random() % sizeof interesting]);
            }
        }
        ASSERT_EQ(firstInvalidUtf8(text), plainFirstInvalid(text)) << testing::PrintToString(text);
    }
}

TEST(Utf8Check, ValidTextOfEveryLength) {
    for (const std::string piece : {"a", "\xC2\x80", "\xE3\x81\x82", "\xEF\xBF\xBF", "\xF0\x90\x80\x80"}) {
        std::string text;
        for (int n = 0; n < 40; ++n) {
            EXPECT_EQ(firstInvalidUtf8(text), std::string_view::npos);
            EXPECT_EQ(firstInvalidUtf8(text + "\x80"), text.size());
            text += piece;
        }
    }
}

}  // namespace
}  // namespace trelmo
