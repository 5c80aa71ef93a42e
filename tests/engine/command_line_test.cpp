// Splitting the command-line text into the three paths.

#include <gtest/gtest.h>

#include "engine/error.h"
#include "engine/startup.h"

namespace trelmo {
namespace {

using Args = std::vector<std::string>;

TEST(CommandLine, CountsSpacesPlusOne) {
    EXPECT_EQ(CountArgs(""), 1);
    EXPECT_EQ(CountArgs("a b c"), 3);
    EXPECT_EQ(CountArgs("\"a b\" c"), 3);  // spaces inside quotes count too
    EXPECT_EQ(CountArgs("a  b "), 4);
}

TEST(CommandLine, SplitsPlainAndQuotedPaths) {
    EXPECT_EQ(SplitCommandLine("a.csv s.dsd o.xml"), (Args{"a.csv", "s.dsd", "o.xml", ""}));
    EXPECT_EQ(SplitCommandLine("\"my data.csv\" s.dsd o.xml"), (Args{"my data.csv", "s.dsd", "o.xml", "", ""}));
    // Text after the closing quote stays in the argument; the last character is dropped whatever it is.
    EXPECT_EQ(SplitCommandLine("\"a b\"c d e")[0], "a b\"");
    EXPECT_EQ(SplitCommandLine("\"\" s o")[0], "");
}

TEST(CommandLine, EverySpaceEndsAnArgument) {
    EXPECT_EQ(SplitCommandLine("a  b c"), (Args{"a", "", "b", "c", ""}));
    EXPECT_EQ(SplitCommandLine("a b "), (Args{"a", "b", "", ""}));
    EXPECT_EQ(SplitCommandLine(" a b"), (Args{"", "a", "b", ""}));  // leading blanks are kept
}

TEST(CommandLine, UnclosedQuoteIsAnInvalidArgument) {
    try {
        SplitCommandLine("\"a.csv s.dsd o.xml");
        FAIL() << "no error";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), err::InvalidArgument);
    }
}

TEST(CommandLine, PositionsPast16BitsOverflow) {
    std::string text(40000, 'x');
    text += " b c";
    EXPECT_THROW(SplitCommandLine(text), RuntimeError);
    EXPECT_NO_THROW(SplitCommandLine(std::string(30000, 'x') + " b c"));
}

TEST(CommandLine, JoinQuotesEmptyArgumentsAndArgumentsWithBlanks) {
    EXPECT_EQ(JoinArguments({}), "");
    EXPECT_EQ(JoinArguments({"a.csv", "s.dsd", "o.xml"}), "a.csv s.dsd o.xml");
    EXPECT_EQ(JoinArguments({"my data.csv", "", "o.xml"}), "\"my data.csv\" \"\" o.xml");
    EXPECT_EQ(SplitCommandLine(JoinArguments({"my data.csv", "s.dsd", "o.xml"}))[0], "my data.csv");
    EXPECT_EQ(StripArgQuotes("\"x"), "");
    EXPECT_EQ(StripArgQuotes("plain\""), "plain\"");
}

}  // namespace
}  // namespace trelmo
