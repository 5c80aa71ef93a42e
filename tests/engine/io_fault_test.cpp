// Each file operation of a command-line conversion over an existing output,
// made to fail in turn: a clear message and status 1, the old output as it
// was, no temporary file; the run without a failure writes the right bytes.

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "engine/startup/startup.h"
#include "tests/support/io_faults.h"
#include "tests/support/recording_messages.h"
#include "tests/support/temp_dir.h"

namespace trelmo {
namespace {

namespace fs = std::filesystem;

TEST(IoFaults, ConversionOverAnExistingOutput) {
    const fs::path data = test::sourceDir() / "tests/data/convert/shops";
    test::TempDir tmp;
    const std::string csv = tmp.write("in.csv", test::readFile(data / "input.csv"));
    const std::string dsd = tmp.write("s.dsd", test::readFile(data / "schema.dsd"));
    const std::string out = tmp.file("out.xml");

    const test::FaultSweep sweep = test::eachFailingOperation([&](unsigned long n) {
        SCOPED_TRACE(n);
        test::writeFile(out, "previous");
        test::RecordingMessages messages;
        NullProgress progress;
        const ExitStatus status = RunArguments({csv, dsd, out}, messages, progress);
        EXPECT_EQ(test::fileNames(tmp.path()), (std::vector<std::string>{"in.csv", "out.xml", "s.dsd"}));
        if (status == ExitStatus::Success) {
            EXPECT_TRUE(messages.shown.empty());
            EXPECT_EQ(test::readFile(out), test::readFile(data / "expected.xml"));
            return true;
        }
        EXPECT_EQ(status, ExitStatus::Failure);
        if (messages.shown.empty()) {
            ADD_FAILURE() << "no message";
            return false;
        }
        EXPECT_NE(messages.shown[0].text.find(std::string("入出力エラーが発生しました。")), std::string::npos) << messages.shown[0].text;
        EXPECT_EQ(test::readFile(out), "previous");
        return false;
    });
    // Only a failing sync of the folder, after the new file is in place, may go unreported.
    for (unsigned long n : sweep.succeededDespite) EXPECT_GT(n + 3, sweep.operations) << n;
    EXPECT_GT(sweep.operations, 10u);
}

}  // namespace
}  // namespace trelmo
