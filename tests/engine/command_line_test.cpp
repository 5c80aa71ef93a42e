// Splitting the command-line text into the three paths.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "engine/error.h"
#include "engine/startup/startup.h"
#include "tests/support/thrown.h"

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
    EXPECT_EQ(test::thrown([] { SplitCommandLine("\"a.csv s.dsd o.xml"); }).number(), err::InvalidArgument);
}

TEST(CommandLine, PositionsPast16BitsOverflow) {
    std::string text(40000, 'x');
    text += " b c";
    EXPECT_THROW(SplitCommandLine(text), RuntimeError);
    EXPECT_NO_THROW(SplitCommandLine(std::string(30000, 'x') + " b c"));
}

TEST(CommandLine, JoinQuotesWhatTheSplitWouldChange) {
    EXPECT_EQ(JoinArguments({}), "");
    EXPECT_EQ(JoinArguments({"a.csv", "s.dsd", "o.xml"}), "a.csv s.dsd o.xml");
    EXPECT_EQ(JoinArguments({"my data.csv", "", "o.xml"}), "\"my data.csv\" \"\" o.xml");
    EXPECT_EQ(JoinArguments({"\"o\".xml", "a\"b"}), "\"\"o\".xml\" a\"b");
    EXPECT_EQ(StripArgQuotes("\"x"), "");
    EXPECT_EQ(StripArgQuotes("plain\""), "plain\"");
}

// Random argument vectors over the characters that matter to the split: each
// comes back exactly, or the joining refuses an argument that has a space
// after a quote, naming it.
TEST(CommandLine, ArgumentsComeBackExactlyOrAreRefused) {
    std::mt19937 random(20261207);
    const char alphabet[] = {'a', ' ', '"', 'b'};
    int refused = 0;
    for (int run = 0; run < 5000; ++run) {
        Args args(1 + random() % 5);
        for (std::string& arg : args) {
            for (std::size_t n = random() % 6; n > 0; --n) arg += alphabet[random() % 4];
        }
        std::string text;
        try {
            text = JoinArguments(args);
        } catch (const RuntimeError& e) {
            ++refused;
            EXPECT_EQ(e.number(), err::InvalidArgument);
            const bool namesOne = std::any_of(args.begin(), args.end(), [&](const std::string& arg) {
                const std::size_t quote = arg.find('"');
                return quote != std::string::npos && arg.find(' ', quote) != std::string::npos &&
                       e.description().find("「" + arg + "」") != std::string::npos;
            });
            EXPECT_TRUE(namesOne) << e.description();
            continue;
        }
        const Args split = SplitCommandLine(text);
        ASSERT_GT(split.size(), args.size()) << text;
        EXPECT_EQ(Args(split.begin(), split.begin() + static_cast<long>(args.size())), args) << text;
    }
    EXPECT_GT(refused, 0);
    EXPECT_LT(refused, 5000);
}

}  // namespace
}  // namespace trelmo
