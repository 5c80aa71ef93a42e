// The trelmo executable from the outside: exit status, standard error, files.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "engine/error.h"
#include "engine/startup/startup.h"
#include "tests/support/temp_dir.h"

namespace trelmo {
namespace {

namespace fs = std::filesystem;

struct Result {
    int status = -1;
    std::string out, err;
};

std::string quote(const std::string& arg) {
    std::string q = "'";
    for (char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

class Cli : public testing::Test {
protected:
    Result trelmo(const std::vector<std::string>& args, const char* env = "") {
        return run(std::getenv("TRELMO_EXE"), args, env);
    }
    Result run(const char* exe, const std::vector<std::string>& args, const char* env) {
        std::string command = std::string(env) + " " + quote(exe);
        for (const auto& a : args) command += " " + quote(a);
        command += " >" + quote(tmp.file("stdout")) + " 2>" + quote(tmp.file("stderr")) + " </dev/null";
        const int raw = std::system(command.c_str());
        Result run;
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        run.out = test::readFile(tmp.file("stdout"));
        run.err = test::readFile(tmp.file("stderr"));
        return run;
    }

    std::string example(const char* name) { return (test::sourceDir() / "examples" / name).string(); }

    test::TempDir tmp;
};

// Paths with blanks, as any other.
TEST_F(Cli, ConvertsTheExampleSilently) {
    const std::string csv = tmp.write("my shops.csv", test::readFile(example("shops.csv")));
    const std::string out = tmp.file("out put.xml");
    const Result run = trelmo({csv, example("shops.dsd"), out});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(test::readFile(out),
              "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n"
              "<shops><shop id=\"1\"><city>Kobe, Hyogo</city><![CDATA[a&b]]><!--x--></shop>"
              "<shop id=\"2\"><city>Nara</city><![CDATA[c]]><!--y--></shop></shops>\r\n");
}

TEST_F(Cli, NotEnoughArgumentsExitsWithTwo) {
    const Result run = trelmo({"a.csv", "s.dsd"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, std::string(kNotEnoughArgs1) + "\r\n" + kNotEnoughArgs2 + "\r\n");
}

TEST_F(Cli, FailuresPrintTheMessagesInOrderAndExitWithOne) {
    const std::string out = tmp.file("out.xml"), shops = example("shops.dsd");
    const struct {
        std::string csv, dsd;
        const char* detail;  // shown before the last message; nullptr: that message alone
        std::string last;
    } cases[] = {
        {example("shops.csv"), tmp.write("bad.dsd", "<element>"), "\r\nLine: 1\r\nText: ", kSchemaLoadFailed},
        {tmp.write("one.csv", "a,b\r\n"), shops, nullptr, kNoValidData},
        {tmp.file("missing.csv"), shops, nullptr, fileNotFoundError(tmp.file("missing.csv")).description()},
    };
    for (const auto& c : cases) {
        const Result run = trelmo({c.csv, c.dsd, out});
        EXPECT_EQ(run.status, 1);
        if (c.detail) {
            EXPECT_NE(run.err.find(c.detail), std::string::npos) << run.err;
            EXPECT_TRUE(run.err.ends_with(c.last + "\r\n")) << run.err;
        } else {
            EXPECT_EQ(run.err, c.last + "\r\n");
        }
        EXPECT_FALSE(test::fileExists(out));
    }
}

// A schema, or the document type it names, that is no file of a bounded size
// ends the run with a message naming it: it never waits for a writer nor
// reads for ever. So do text after the top element behind a NUL, and
// entities that expand too far.
TEST_F(Cli, SchemasThatCannotBeReadEndTheRun) {
    const std::string csv = tmp.write("in.csv", "1,a\r\n2,b\r\n"), out = tmp.file("out.xml");
    const std::string fifo = tmp.file("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string large = tmp.write("large.dtd", std::string((4 << 20) + 1, ' '));
    const auto naming = [&](const std::string& dtd) {
        return tmp.write(fs::path(dtd).filename().string() + ".dsd", "<!DOCTYPE element SYSTEM \"" + dtd + "\"><element><text DataSource=\"1\"/></element>");
    };
    std::string entities = "<!ENTITY e0 \"" + std::string(64, 'x') + "\">";
    for (int i = 1; i < 10; ++i) {
        entities += "<!ENTITY e" + std::to_string(i) + " \"";
        for (int k = 0; k < 10; ++k) entities += "&e" + std::to_string(i - 1) + ";";
        entities += "\">";
    }
    const struct {
        std::string dsd;
        std::string detail;
    } cases[] = {
        {naming(fifo), "文書型定義のファイル " + fifo + " を読めません: 通常のファイルではありません。"},
        {naming("/dev/urandom"), "文書型定義のファイル /dev/urandom を読めません: 通常のファイルではありません。"},
        {naming(large), "文書型定義のファイル " + large + " を読めません: 大きすぎます。文書型定義は 4 MiB までです。"},
        {"/dev/zero", "ファイル /dev/zero が大きすぎます。スキーマは 256 MiB までです。"},
        {tmp.write("nul.dsd", std::string("<element><text DataSource=\"1\"/></element>\0<x/>", 46)),
         "最上位の要素の後に NUL 文字 (U+0000) があります。"},
        {tmp.write("bomb.dsd", "<!DOCTYPE element [" + entities + "]><element root=\"&e9;\"/>"),
         "実体参照を展開すると大きくなりすぎるか、実体参照が循環しています。"},
    };
    for (const auto& c : cases) {
        const Result run = trelmo({csv, c.dsd, out}, "timeout 120");
        EXPECT_EQ(run.status, 1) << c.detail;
        EXPECT_TRUE(run.err.starts_with(c.detail + "\r\n")) << run.err;
        EXPECT_TRUE(run.err.ends_with(std::string(kSchemaLoadFailed) + "\r\n")) << run.err;
        EXPECT_FALSE(test::fileExists(out));
    }
}

// Each argument reaches the conversion exactly as given, or the run is
// refused naming it, with nothing read or written.
TEST_F(Cli, ArgumentsArriveExactlyOrAreRefused) {
    const std::string csv = tmp.write("in.csv", "1,a\r\n2,b\r\n");
    const std::string inFolder = "cd " + quote(tmp.path().string()) + " &&";
    const Result quoted = trelmo({csv, example("shops.dsd"), "\"o\".xml"}, inFolder.c_str());
    EXPECT_EQ(quoted.status, 0) << quoted.err;
    EXPECT_TRUE(test::fileExists(tmp.path() / "\"o\".xml"));

    const Result refused = trelmo({csv, example("shops.dsd"), "o\" x.xml"}, inFolder.c_str());
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "引数 「o\" x.xml」 は使えません: " + std::string(kUncarriableArg) + "\r\n");
    EXPECT_FALSE(test::fileExists(tmp.path() / "o\""));
    EXPECT_FALSE(test::fileExists(tmp.path() / "o\" x.xml"));
}

// A path of blanks fails as its file is opened, shown so that its blanks can be seen.
TEST_F(Cli, PathsOfBlanksWriteNothing) {
    const std::string csv = tmp.write("in.csv", "1,a\r\n2,b\r\n");
    const std::string dsd = example("shops.dsd");
    const std::string inFolder = "cd " + quote(tmp.path().string()) + " &&";
    for (const auto& args : {std::vector<std::string>{"   ", dsd, "out.xml"},
                             std::vector<std::string>{csv, "   ", "out.xml"},
                             std::vector<std::string>{csv, dsd, "   "}}) {
        const Result run = trelmo(args, inFolder.c_str());
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find("「   」"), std::string::npos) << run.err;
        EXPECT_FALSE(test::fileExists(tmp.path() / "   "));
        EXPECT_FALSE(test::fileExists(tmp.path() / "out.xml"));
    }
}

// No display, and a display that does not answer: the same one line, status 1.
TEST_F(Cli, NoArgumentsWithoutAWorkingDisplaySaysSo) {
    const Result none = trelmo({}, "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM");
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(none.err.find("display"), std::string::npos) << none.err;
    EXPECT_EQ(std::count(none.err.begin(), none.err.end(), '\n'), 1) << none.err;

    int display = 90;
    while (test::fileExists("/tmp/.X11-unix/X" + std::to_string(display))) ++display;
    const std::string silent = "env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:" + std::to_string(display);
    const Result dead = trelmo({}, silent.c_str());
    EXPECT_EQ(dead.status, 1);
    EXPECT_EQ(dead.err, none.err);
}

// A window system that Qt cannot start is not taken for a missing display.
constexpr const char* kNoWindowSystem = ": ウィンドウシステムを起動できませんでした。";

TEST_F(Cli, AWindowSystemThatCannotStartIsSaidInJapanese) {
    const Result run = trelmo({}, "env QT_QPA_PLATFORM=bogus");
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.starts_with(std::string("trelmo") + kNoWindowSystem)) << run.err;
    EXPECT_NE(run.err.find("「bogus」"), std::string::npos) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
}

// Installed without the window module (Debian's trelmo without trelmo-gui),
// both programs name the package that holds it, before looking for a display.
TEST_F(Cli, WithoutTheWindowModuleThePackageIsNamed) {
    if (!std::getenv("TRELMO_EDIT_EXE")) GTEST_SKIP() << "built without windows";
    for (const char* exe : {std::getenv("TRELMO_EXE"), std::getenv("TRELMO_EDIT_EXE")}) {
        const fs::path alone = tmp.path() / fs::path(exe).filename();
        fs::copy_file(exe, alone);
        const Result r = run(alone.c_str(), {}, "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM");
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find("in the package trelmo-gui, which is not installed"), std::string::npos) << r.err;
    }
}

// trelmo-edit takes at most one file; without a window it says why, as trelmo does.
TEST_F(Cli, TheEditorProgramRefusesWhatItCannotShow) {
    const char* edit = std::getenv("TRELMO_EDIT_EXE");
    if (!edit) GTEST_SKIP() << "built without windows";
    const struct {
        std::vector<std::string> args;
        const char* env;
        int status;
        std::string starts;
    } cases[] = {
        {{"a.dsd", "b.dsd"}, "", 2, "trelmo-edit: "},
        {{}, "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM", 1, "trelmo-edit: no display"},
        {{"a.dsd"}, "env QT_QPA_PLATFORM=bogus", 1, std::string("trelmo-edit") + kNoWindowSystem},
    };
    for (const auto& c : cases) {
        const Result r = run(edit, c.args, c.env);
        EXPECT_EQ(r.status, c.status) << c.env;
        EXPECT_TRUE(r.err.starts_with(c.starts)) << r.err;
    }
}

}  // namespace
}  // namespace trelmo
