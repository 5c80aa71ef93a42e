// A signal whose default action ends the process, while the output is being
// written: the temporary file goes, the existing output stays as it was, and
// the program ends by that signal.

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "tests/support/temp_dir.h"

namespace trelmo {
namespace {

namespace fs = std::filesystem;

// Waits until a temporary file appears in the folder watched by `watch`;
// false when the child ended first.
bool awaitTemporaryFile(int watch, pid_t child, int& status) {
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        pollfd ready{watch, POLLIN, 0};
        if (::poll(&ready, 1, 200) == 0) {
            if (::waitpid(child, &status, WNOHANG) == child) return false;
            continue;
        }
        const ssize_t got = ::read(watch, buffer, sizeof buffer);
        if (got <= 0) return false;
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            if (event->len > 0 && std::string(event->name).rfind(".trelmo-save-", 0) == 0) return true;
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
}

TEST(Interrupt, TheSignalEndsTheRunWithoutATrace) {
    test::TempDir tmp;
    // Enough records that writing them outlasts the signal's arrival.
    std::string csv;
    const std::string field(800, 'x');
    for (int i = 0; i < 20000; ++i) csv += std::to_string(i) + "," + field + "\r\n";
    const std::string in = tmp.write("in.csv", csv);
    const std::string dsd = tmp.write("s.dsd", "<element name=\"r\"><text DataSource=\"2\"/></element>");
    const std::string out = tmp.write("out.xml", "previous");

    const int deadly[] = {SIGINT,  SIGTERM, SIGHUP,  SIGQUIT, SIGPIPE,   SIGALRM,
                          SIGUSR1, SIGUSR2, SIGXCPU, SIGPROF, SIGVTALRM, SIGRTMIN};
    for (const int sig : deadly) {
        SCOPED_TRACE(sig);
        const int watch = ::inotify_init1(IN_CLOEXEC);
        ASSERT_GE(watch, 0);
        ASSERT_GE(::inotify_add_watch(watch, tmp.path().c_str(), IN_CREATE), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // The program as a shell would start it: default actions, nothing blocked.
            sigset_t none;
            sigemptyset(&none);
            ::sigprocmask(SIG_SETMASK, &none, nullptr);
            for (const int each : deadly) ::signal(each, SIG_DFL);
            const rlimit noCore{0, 0};  // SIGQUIT and SIGXCPU would dump one
            ::setrlimit(RLIMIT_CORE, &noCore);
            const char* exe = std::getenv("TRELMO_EXE");
            ::execl(exe, exe, in.c_str(), dsd.c_str(), out.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        int status = 0;
        if (awaitTemporaryFile(watch, child, status)) {
            ::kill(child, sig);
            ASSERT_EQ(::waitpid(child, &status, 0), child);
        }
        ::close(watch);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig) << status;
        EXPECT_EQ(test::readFile(out), "previous");
        EXPECT_EQ(test::fileNames(tmp.path()), (std::vector<std::string>{"in.csv", "out.xml", "s.dsd"}));
    }
}

}  // namespace
}  // namespace trelmo
