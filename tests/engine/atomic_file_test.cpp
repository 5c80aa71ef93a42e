// The destination of a save and the signals around it.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "engine/io/atomic_file.h"
#include "tests/support/temp_dir.h"

namespace trelmo::test {
namespace {

// Runs `child` in a forked process; its exit status as waitpid gives it.
int inChild(const std::function<int()>& child) {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(child());
    int status = -1;
    ::waitpid(pid, &status, 0);
    return status;
}

void save(const std::string& path, bool commit) {
    fileio::AtomicFile file(path);
    file.write("x", 1);
    if (commit) file.commit();
}

TEST(AtomicFile, WhichOutputOverwritesTheInput) {
    TempDir dir;
    const std::string in = dir.write("in.csv", "a");
    const std::string other = dir.write("other.csv", "a");
    std::filesystem::create_symlink(in, dir.file("link.csv"));
    const struct {
        std::string output, input;
        bool same;
    } cases[] = {
        {in, in, true},
        {dir.file("link.csv"), in, true},
        {other, in, false},
        {dir.file("missing.xml"), in, false},
        {"/dev/null", "/dev/null", false},  // a device takes the bytes as they come
    };
    for (const auto& c : cases) EXPECT_EQ(fileio::overwritesInput(c.output, c.input), c.same) << c.output;
}

// As under nohup: a signal ignored when the program starts stays ignored;
// the others get the handler that removes the temporary file.
TEST(AtomicFile, SignalsIgnoredAtStartStayIgnored) {
    TempDir dir;
    const int status = inChild([&] {
        ::signal(SIGHUP, SIG_IGN);
        ::signal(SIGTERM, SIG_DFL);
        save(dir.file("out.xml"), true);
        struct sigaction hup {}, term {};
        ::sigaction(SIGHUP, nullptr, &hup);
        ::sigaction(SIGTERM, nullptr, &term);
        return hup.sa_handler == SIG_IGN && term.sa_handler != SIG_DFL ? 0 : 1;
    });
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

// Ten saves, committed or given up, then a signal during the next: its
// temporary file is still removed, so every save gave its place back.
TEST(AtomicFile, EverySaveGivesItsPlaceBack) {
    TempDir dir;
    const std::string out = dir.file("out.xml");
    const int status = inChild([&] {
        ::signal(SIGTERM, SIG_DFL);
        for (int i = 0; i < 10; ++i) save(out, i % 2 == 0);
        fileio::AtomicFile file(out);
        ::raise(SIGTERM);
        return 0;
    });
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
    EXPECT_EQ(fileNames(dir.path()), std::vector<std::string>{"out.xml"});
}

}  // namespace
}  // namespace trelmo::test
