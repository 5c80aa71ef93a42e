// What the command line may save to: devices and FIFOs are written in place,
// other special files refused, and a regular file replaced only where the
// user may write it, keeping its mode and owner.

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>

#include "tests/support/temp_dir.h"

namespace trelmo {
namespace {

namespace fs = std::filesystem;

std::string quote(const std::string& arg) {
    std::string q = "'";
    for (char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

mode_t typeOf(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? (info.st_mode & S_IFMT) : 0;
}

class Destination : public testing::Test {
protected:
    Destination() {
        const fs::path data = test::sourceDir() / "tests/data/convert/shops";
        csv = tmp.write("in.csv", test::readFile(data / "input.csv"));
        dsd = tmp.write("s.dsd", test::readFile(data / "schema.dsd"));
        expected = test::readFile(data / "expected.xml");
    }

    // The shell command that converts into `out`, after `prefix`.
    std::string command(const std::string& out, const std::string& prefix = "") const {
        return prefix + " " + quote(exe) + " " + quote(csv) + " " + quote(dsd) + " " +
               quote(out) + " 2>" + quote(logs.file("stderr")) + " </dev/null";
    }
    // Runs it with standard output discarded; the exit status (-1 for a signal).
    int trelmo(const std::string& out, const std::string& prefix = "") {
        const int raw = std::system((command(out, prefix) + " >/dev/null").c_str());
        err = test::readFile(logs.file("stderr"));
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    // Runs a shell line as it is; the exit status of its last command.
    int shell(const std::string& line) {
        const int raw = std::system(line.c_str());
        err = test::readFile(logs.file("stderr"));
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    std::vector<std::string> names() const { return test::fileNames(tmp.path()); }

    test::TempDir tmp;
    test::TempDir logs;
    std::string exe = std::getenv("TRELMO_EXE");
    std::string csv, dsd, expected, err;
};

TEST_F(Destination, DevicesAndFifosAreWrittenInPlace) {
    EXPECT_EQ(trelmo("/dev/null"), 0) << err;
    EXPECT_EQ(typeOf("/dev/null"), S_IFCHR);

    // Standard output as a pipe.
    std::FILE* pipe = ::popen(command("/dev/stdout").c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string piped;
    char chunk[4096];
    for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) piped.append(chunk, got);
    const int raw = ::pclose(pipe);
    EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << test::readFile(logs.file("stderr"));
    EXPECT_EQ(piped, expected);

    const std::string fifo = tmp.file("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = test::readFile(fifo); });
    EXPECT_EQ(trelmo(fifo), 0) << err;
    // Should the program not have opened the FIFO, the reader still waits for a writer.
    const int release = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    if (release >= 0) ::close(release);
    reader.join();
    EXPECT_EQ(received, expected);
    EXPECT_EQ(typeOf(fifo), S_IFIFO);

    // A device that takes no bytes: the reason, not a replaced node.
    EXPECT_EQ(trelmo("/dev/full"), 1);
    EXPECT_NE(err.find(std::string("ディスクの空き容量が足りません。")), std::string::npos) << err;
    EXPECT_EQ(typeOf("/dev/full"), S_IFCHR);
}

TEST_F(Destination, FoldersBlockDevicesAndSocketsAreRefused) {
    const std::string folder = tmp.file("folder");
    fs::create_directory(folder);

    const std::string socketPath = tmp.file("socket");
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

    // A block device node of our own where the system lets us make one.
    std::string block = tmp.file("block");
    if (::mknod(block.c_str(), S_IFBLK | 0600, makedev(7, 0)) != 0) block = "/dev/loop0";

    const struct {
        std::string path;
        mode_t type;
        std::string reason;
    } cases[] = {
        {folder, S_IFDIR, std::string("フォルダーです。")},
        {socketPath, S_IFSOCK, "ソケット"},
        {block, S_IFBLK, "ブロックデバイス"},
    };
    for (const auto& c : cases) {
        if (typeOf(c.path) != c.type) {
            ADD_FAILURE() << "no " << c.path << " to try";
            continue;
        }
        const std::vector<std::string> before = names();
        EXPECT_EQ(trelmo(c.path), 1) << c.path;
        EXPECT_NE(err.find(c.path), std::string::npos) << err;
        EXPECT_NE(err.find(c.reason), std::string::npos) << err;
        EXPECT_EQ(typeOf(c.path), c.type);
        EXPECT_EQ(names(), before);
    }
    ::close(sock);
}

// An ordinary user (root drops to nobody) may not replace a file that is
// write-protected for them; root may, and the file keeps mode and owner.
TEST_F(Destination, AWriteProtectedFileIsReplacedOnlyByWhoMayWriteIt) {
    const bool root = ::geteuid() == 0;
    const std::string out = tmp.write("out.xml", "previous");
    ::chmod(out.c_str(), 0444);
    std::string asUser;
    uid_t user = ::geteuid();
    gid_t groupId = ::getegid();
    if (root) {
        const passwd* nobody = ::getpwnam("nobody");
        const struct group* nogroup = ::getgrnam("nogroup");
        ASSERT_TRUE(nobody && nogroup);
        user = nobody->pw_uid;
        groupId = nogroup->gr_gid;
        for (const fs::path& path : {tmp.path(), fs::path(out)}) ASSERT_EQ(::chown(path.c_str(), user, groupId), 0);
        asUser = "setpriv --reuid=nobody --regid=nogroup --clear-groups";
    }
    EXPECT_EQ(trelmo(out, asUser), 1);
    EXPECT_NE(err.find(out), std::string::npos) << err;
    EXPECT_NE(err.find(std::string("アクセスが許可されていません。")), std::string::npos) << err;
    EXPECT_EQ(test::readFile(out), "previous");
    EXPECT_EQ(names(), (std::vector<std::string>{"in.csv", "out.xml", "s.dsd"}));

    // A file they may write in a folder they may not: the folder is what blocks the save.
    ::chmod(out.c_str(), 0644);
    ::chmod(tmp.path().c_str(), 0555);
    EXPECT_EQ(trelmo(out, asUser), 1);
    EXPECT_EQ(err, "ファイル " + out + " に保存できません: フォルダー " + tmp.path().string() +
                       " に新しいファイルを作れません: アクセスが許可されていません。\r\n");
    EXPECT_EQ(test::readFile(out), "previous");
    ::chmod(tmp.path().c_str(), 0755);
    ::chmod(out.c_str(), 0444);

    if (!root) return;
    EXPECT_EQ(trelmo(out), 0) << err;
    EXPECT_EQ(test::readFile(out), expected);
    struct stat info {};
    ASSERT_EQ(::stat(out.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0444u);
    EXPECT_EQ(info.st_uid, user);
    EXPECT_EQ(info.st_gid, groupId);
}

}  // namespace
}  // namespace trelmo

namespace trelmo {
namespace {

// A name for one of the process's own descriptors writes into that
// descriptor as the shell set it up: appending stays appending, and what the
// shell wrote before and after stays.
TEST_F(Destination, OwnDescriptorsAreWrittenInPlace) {
    const std::string log = tmp.write("log.txt", "LOG\n");
    const std::string into = quote(log);
    const struct {
        std::string line;
        std::string content;  // of log.txt afterwards
    } cases[] = {
        {command("/dev/stdout") + " >>" + into, "LOG\n" + expected},
        {command("/proc/self/fd/1") + " >>" + into, "LOG\n" + expected},
        {command("/dev/fd/3") + " 3>>" + into + " >/dev/null", "LOG\n" + expected},
        {"( echo A; " + command("/dev/stdout") + "; echo B ) >" + into, "A\n" + expected + "B\n"},
    };
    for (const auto& c : cases) {
        test::writeFile(log, "LOG\n");
        EXPECT_EQ(shell(c.line), 0) << c.line << "\n" << err;
        EXPECT_EQ(test::readFile(log), c.content) << c.line;
        EXPECT_EQ(names(), (std::vector<std::string>{"in.csv", "log.txt", "s.dsd"}));
    }
    // Closed, or open only for reading: said so, nothing written.
    EXPECT_EQ(shell(command("/dev/stdout") + " >&-"), 1);
    EXPECT_EQ(err, "ファイル /dev/stdout に保存できません: 標準出力が閉じています。\r\n");
    EXPECT_EQ(shell(command("/dev/fd/3") + " 3<" + into), 1);
    EXPECT_NE(err.find("ファイル記述子 3 は読み込み用に開かれています。"), std::string::npos) << err;
}

// Saving over the CSV file or the schema, by name or through a link, is
// refused before anything is read.
TEST_F(Destination, TheInputIsNeverTheOutput) {
    const std::string link = tmp.file("link.xml");
    fs::create_symlink(csv, link);
    const std::string csvBefore = test::readFile(csv), dsdBefore = test::readFile(dsd);
    const struct {
        std::string out, input, kind;
    } cases[] = {{csv, csv, "CSV ファイル"}, {dsd, dsd, "スキーマファイル"}, {link, csv, "CSV ファイル"}};
    for (const auto& c : cases) {
        EXPECT_EQ(trelmo(c.out), 1);
        EXPECT_EQ(err, "ファイル " + c.out + " に保存できません: " + c.kind + " " + c.input + " と同じファイルです。\r\n");
        EXPECT_EQ(test::readFile(csv), csvBefore);
        EXPECT_EQ(test::readFile(dsd), dsdBefore);
    }
}

// A destination path as long as the system takes: the temporary file's
// longer name is made relative to the folder.
TEST_F(Destination, ThePathMayBeAsLongAsTheSystemAllows) {
    std::string folder = tmp.path().string();
    const std::size_t length = 4086;  // with "/out.xml"
    while (folder.size() + 8 < length) {
        const std::size_t room = length - 8 - folder.size() - 1;
        folder += "/" + std::string(std::min<std::size_t>(room, 200), 'd');
    }
    ASSERT_EQ(folder.size() + 8, length);
    fs::create_directories(folder);
    const std::string out = folder + "/out.xml";
    EXPECT_EQ(trelmo(out), 0) << err;
    EXPECT_EQ(test::readFile(out), expected);
    EXPECT_EQ(test::fileNames(folder), std::vector<std::string>{"out.xml"});
}

// Past the file-size limit the write fails with its reason: no temporary
// file is left and the existing output stays.
TEST_F(Destination, TheFileSizeLimitIsAFailureWithAReason) {
    std::string rows;
    for (int i = 0; i < 2000; ++i) rows += std::to_string(i) + "," + std::string(100, 'x') + ",a,b\r\n";
    test::writeFile(csv, rows);
    const std::string out = tmp.write("out.xml", "previous");
    EXPECT_EQ(trelmo(out, "ulimit -f 64;"), 1);
    EXPECT_EQ(err, "ファイル " + out + " に保存できません: ファイルが大きすぎます。\r\n");
    EXPECT_EQ(test::readFile(out), "previous");
    EXPECT_EQ(names(), (std::vector<std::string>{"in.csv", "out.xml", "s.dsd"}));
}

}  // namespace
}  // namespace trelmo
