// Text to 16-bit integer: blanks, signs, fractions rounded half to even, limits.
#include <gtest/gtest.h>

#include <string>

#include "engine/error.h"
#include "engine/text/number.h"
#include "tests/support/thrown.h"

namespace trelmo {
namespace {

struct Case {
    const char* text;
    NumberStatus status;
    std::int16_t value;
};

void PrintTo(const Case& c, std::ostream* out) { *out << '"' << c.text << '"'; }

class NumberConversion : public ::testing::TestWithParam<Case> {};

TEST_P(NumberConversion, Parses) {
    const Case& c = GetParam();
    const Int16Result result = parseInt16(c.text);
    EXPECT_EQ(result.status, c.status);
    if (c.status == NumberStatus::Ok) {
        EXPECT_EQ(result.value, c.value);
    }
}

constexpr auto Ok = NumberStatus::Ok;
constexpr auto Nan = NumberStatus::NotANumber;
constexpr auto Out = NumberStatus::OutOfRange;

INSTANTIATE_TEST_SUITE_P(Plain, NumberConversion,
                         ::testing::Values(Case{"0", Ok, 0}, Case{"7", Ok, 7}, Case{"+7", Ok, 7},
                                           Case{"-7", Ok, -7}, Case{"007", Ok, 7}, Case{"-0", Ok, 0},
                                           Case{" 3 ", Ok, 3}, Case{"\t12\t", Ok, 12},
                                           Case{"\xE3\x80\x80" "5\xE3\x80\x80", Ok, 5}));

INSTANTIATE_TEST_SUITE_P(HalfToEven, NumberConversion,
                         ::testing::Values(Case{"2.5", Ok, 2}, Case{"3.5", Ok, 4}, Case{"-2.5", Ok, -2},
                                           Case{"-3.5", Ok, -4}, Case{"0.5", Ok, 0}, Case{".5", Ok, 0},
                                           Case{"1.5", Ok, 2}, Case{"2.4999999999999999999", Ok, 2},
                                           Case{"2.5000000000000000001", Ok, 3}, Case{"2.50000", Ok, 2},
                                           Case{"2.6", Ok, 3}, Case{"-2.6", Ok, -3}, Case{"3.", Ok, 3},
                                           Case{"-.4", Ok, 0}, Case{"9.9", Ok, 10}));

INSTANTIATE_TEST_SUITE_P(Limits, NumberConversion,
                         ::testing::Values(Case{"32767", Ok, 32767}, Case{"-32768", Ok, -32768},
                                           Case{"32768", Out, 0}, Case{"-32769", Out, 0},
                                           Case{"32767.5", Out, 0}, Case{"32767.4", Ok, 32767},
                                           Case{"-32768.5", Ok, -32768}, Case{"-32768.51", Out, 0},
                                           Case{"0000000000000000032767", Ok, 32767},
                                           Case{"99999999999999999999999", Out, 0},
                                           Case{"-99999999999999999999999.5", Out, 0}));

INSTANTIATE_TEST_SUITE_P(NotNumbers, NumberConversion,
                         ::testing::Values(Case{"", Nan, 0}, Case{" ", Nan, 0}, Case{"abc", Nan, 0},
                                           Case{"1e2", Nan, 0}, Case{"0x10", Nan, 0}, Case{"1,000", Nan, 0},
                                           Case{"+", Nan, 0}, Case{"-", Nan, 0}, Case{".", Nan, 0},
                                           Case{"1 2", Nan, 0}, Case{"+-1", Nan, 0}, Case{"- 1", Nan, 0},
                                           Case{"1.2.3", Nan, 0}, Case{"12a", Nan, 0},
                                           Case{"\xEF\xBC\x91", Nan, 0}));

TEST(NumberConversionErrors, ToInt16RaisesRunTimeErrors) {
    EXPECT_EQ(toInt16(" -12.5 "), -12);
    EXPECT_EQ(test::thrown([] { toInt16("abc"); }).number(), err::TypeMismatch);
    EXPECT_EQ(test::thrown([] { toInt16("40000"); }).number(), err::Overflow);
}

}  // namespace
}  // namespace trelmo
