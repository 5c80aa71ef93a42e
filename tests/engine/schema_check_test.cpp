// The save check's steps as the engine gives them: whether a name can name an
// element or an attribute of an output in an encoding, and why not.
#include <gtest/gtest.h>

#include "engine/convert/schema_check.h"
#include "engine/error.h"

namespace trelmo::test {
namespace {

TEST(SchemaCheck, WhyANameCannotBeUsed) {
    const struct {
        const char* name;
        const char* encoding;
        const char* reason;  // empty: usable
    } cases[] = {
        {"shop", "", ""},
        {"店舗_1", "Shift_JIS", ""},
        {"ｶﾅ", "Shift_JIS", ""},
        {"한국", "", ""},
        {"한국", "UTF-16", ""},
        {"", "", "XMLで使えない名前です"},
        {"a b", "", "XMLで使えない名前です"},
        {"1st", "", "XMLで使えない名前です"},
        {"①", "", "XMLで使えない名前です"},
        {"a:b", "", "コロン（:）のある名前は使えません"},
        {"xml:lang", "", "コロン（:）のある名前は使えません"},
        {":a", "", "XMLで使えない名前です"},
        {"한국", "Shift_JIS", "エンコーディング Shift_JIS で書けない文字「한」(U+D55C)があります"},
        {"café", "Shift_JIS", "エンコーディング Shift_JIS で書けない文字「é」(U+00E9)があります"},
        {"naïve", "ISO-8859-1", ""},
        {"名前", "ISO-8859-1", "エンコーディング ISO-8859-1 で書けない文字「名」(U+540D)があります"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " / " + c.encoding);
        EXPECT_EQ(UnusableNameReason(c.name, c.encoding), c.reason);
    }
    EXPECT_THROW(UnusableNameReason("a", "no-such-encoding"), RuntimeError);
}

TEST(SchemaCheck, TheRootNameIsGivenUnlessEmptyOrThePlaceholder) {
    EXPECT_TRUE(RootNameGiven("Root"));
    EXPECT_TRUE(RootNameGiven(" "));  // given; the name check refuses it
    EXPECT_FALSE(RootNameGiven(""));
    EXPECT_FALSE(RootNameGiven(kRootPlaceholder));
}

}  // namespace
}  // namespace trelmo::test
