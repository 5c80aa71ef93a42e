// Conversions checked against expected files: each folder under
// tests/data/convert holds input.csv, schema.dsd and expected.xml.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "engine/startup/startup.h"
#include "tests/support/recording_messages.h"
#include "tests/support/temp_dir.h"

namespace trelmo {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> caseNames() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(test::sourceDir() / "tests/data/convert")) {
        if (entry.is_directory()) names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class GoldenConversion : public testing::TestWithParam<std::string> {};

TEST_P(GoldenConversion, GivesTheExpectedBytes) {
    const fs::path folder = test::sourceDir() / "tests/data/convert" / GetParam();
    test::TempDir tmp;
    const std::string out = tmp.file("out.xml");
    test::RecordingMessages messages;
    NullProgress progress;
    const std::string commandLine = JoinArguments(
        {(folder / "input.csv").string(), (folder / "schema.dsd").string(), out});

    EXPECT_EQ(Main(commandLine, messages, progress), ExitStatus::Success);
    EXPECT_TRUE(messages.shown.empty()) << messages.texts().front();
    ASSERT_TRUE(test::fileExists(out));
    EXPECT_EQ(test::readFile(out), test::readFile(folder / "expected.xml"));
}

INSTANTIATE_TEST_SUITE_P(Cases, GoldenConversion, testing::ValuesIn(caseNames()),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace trelmo
