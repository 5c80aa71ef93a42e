// Reading CSV files into records: lines, joining, encodings, file errors.
#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "engine/csv/csv.h"
#include "engine/error.h"
#include "engine/io/file_io.h"
#include "tests/support/temp_dir.h"
#include "tests/support/thrown.h"

namespace trelmo {
namespace {

using Records = std::vector<std::string>;

class CsvFile : public ::testing::Test {
protected:
    // The records of a file with these bytes; the result must agree with them.
    Records read(std::string_view bytes) {
        Records records;
        const std::int32_t highest = CSV().GetCSVasArray(dir.write("in.csv", bytes), records);
        EXPECT_EQ(highest, static_cast<std::int32_t>(records.size()) - 1);
        return records;
    }

    // The error a file with these bytes raises.
    RuntimeError failure(std::string_view bytes) {
        Records records{"untouched"};
        const RuntimeError error = test::thrown([&] { CSV().GetCSVasArray(dir.write("in.csv", bytes), records); });
        EXPECT_NE(error.number(), 0) << "no error";
        EXPECT_EQ(records, Records{"untouched"});
        return error;
    }

    test::TempDir dir;
};

TEST_F(CsvFile, RecordsAndResult) {
    Records records{"old", "old", "old"};
    EXPECT_EQ(CSV().GetCSVasArray(dir.write("a.csv", "a,b\r\nc,d\r\n"), records), 1);
    EXPECT_EQ(records, (Records{"a,b", "c,d"}));
    EXPECT_EQ(CSV().GetCSVasArray(dir.write("b.csv", "a,b"), records), 0);
    EXPECT_EQ(records, (Records{"a,b"}));
}

TEST_F(CsvFile, NoRecordLeavesArrayAlone) {
    for (const char* bytes : {"", "\r\n\r\n", "abc\r\ndef\r\nghi", "\xEF\xBB\xBF", "x,\"never closed\r\n"}) {
        Records records{"keep"};
        EXPECT_EQ(CSV().GetCSVasArray(dir.write("in.csv", bytes), records), -1) << bytes;
        EXPECT_EQ(records, Records{"keep"});
    }
}

// How lines join into records, how they end, and how the text is decoded.
TEST_F(CsvFile, RecordsOfAFile) {
    const std::string withNul("a,\0b\r\n\0,\0", 9);
    const struct {
        std::string bytes;
        Records records;
    } cases[] = {
        // Lines join until they hold two closed fields.
        {"x,\"p\r\nq\",y\r\n", {"x,\"p\r\nq\",y"}},
        {"abc\r\nd,e\r\n", {"abc\r\nd,e"}},
        {"\"abc\"\r\nd,e", {"\"abc\"\r\nd,e"}},
        // A blank line inside an open quote stays; between records it vanishes.
        {"a,\"b\r\n\r\nc\",d\r\n", {"a,\"b\r\n\r\nc\",d"}},
        {"a,b\r\n\r\n\r\nc,d\r\n", {"a,b", "c,d"}},
        {"abc\r\n\r\nd,e", {"abc\r\n\r\nd,e"}},
        // Pending text at the end is dropped; an open quote swallows the rest.
        {"a,b\r\nc,\"open\r\nmore", {"a,b"}},
        {"a,b\r\nlonely\r\n", {"a,b"}},
        {"a,b\r\n\"x\r\nc,d\r\ne,f\r\n", {"a,b"}},
        // CR ends lines; joined lines get CR LF whatever ended them.
        {"a,b\rc,d\r", {"a,b", "c,d"}},
        {"a,b\rc,d\r\ne,f", {"a,b", "c,d", "e,f"}},
        {"x,\"p\rq\",y", {"x,\"p\r\nq\",y"}},
        {"a,b\r\r\nc,d", {"a,b", "c,d"}},
        // A lone LF stays in the line when the file has CR; without CR it ends lines.
        {"a,\"cell\nline\"\r\nc,d\r\n", {"a,\"cell\nline\"", "c,d"}},
        {"one\ntwo,three\r\n", {"one\ntwo,three"}},
        {"a,b\n\r\n", {"a,b\n"}},
        {"a,b\nc,d\n", {"a,b", "c,d"}},
        {"x,\"p\nq\",y\n\nabc\nd,e", {"x,\"p\nq\",y", "abc\nd,e"}},
        // Control characters are ordinary.
        {"a,b\x1A\r\nc,d", {"a,b\x1A", "c,d"}},
        {withNul, {std::string("a,\0b", 4), std::string("\0,\0", 3)}},
        // UTF-8 with and without BOM; only a leading BOM is dropped.
        {"\xEF\xBB\xBF\xE6\x97\xA5,\xE6\x9C\xAC\r\n", {"\xE6\x97\xA5,\xE6\x9C\xAC"}},
        {"\xE6\x97\xA5,\xE6\x9C\xAC", {"\xE6\x97\xA5,\xE6\x9C\xAC"}},
        {"a,\xEF\xBB\xBF", {"a,\xEF\xBB\xBF"}},
        // Code page 932: "①,～" and "日本,ソフト,ｱ": 0x5C as a trail byte, a half-width kana.
        {"\x87\x40,\x81\x60\r\n\x93\xFA\x96\x7B,\x83\x5C\x83\x74\x83\x67,\xB1\r\n",
         {"\xE2\x91\xA0,\xEF\xBD\x9E",
          "\xE6\x97\xA5\xE6\x9C\xAC,\xE3\x82\xBD\xE3\x83\x95\xE3\x83\x88,\xEF\xBD\xB1"}},
    };
    for (const auto& c : cases) EXPECT_EQ(read(c.bytes), c.records) << testing::PrintToString(c.bytes);
}

// Undecodable text names the file, the line and, after a BOM, UTF-8.
TEST_F(CsvFile, UndecodableTextNamesFileAndLine) {
    const struct {
        const char *bytes, *line, *named;
    } cases[] = {
        {"\x93\xFA,a\r\nb,c\r\nd,\x81\x20\r\ne,f\r\n", "3 行目", ""},
        {"\x93\xFA,a\rb,c\rd,\x81\x20\re,f\r", "3 行目", ""},  // lines that end in CR alone
        {"\x93\xFA,a\nb,\x81", "2 行目", ""},                     // a lead byte cut off by the end
        {"\xEF\xBB\xBF" "a,b\r\nc,\xE6\x97\r\n", "2 行目", "UTF-8"},
    };
    for (const auto& c : cases) {
        const RuntimeError error = failure(c.bytes);
        EXPECT_EQ(error.number(), err::BadFileData);
        EXPECT_NE(error.description().find(dir.file("in.csv")), std::string::npos) << error.description();
        EXPECT_NE(error.description().find(c.line), std::string::npos) << error.description();
        EXPECT_NE(error.description().find(c.named), std::string::npos) << error.description();
    }
}

TEST_F(CsvFile, FileErrorsNameTheFile) {
    Records records{"keep"};
    for (const auto& [path, number] : {std::pair{dir.file("missing.csv"), err::FileNotFound},
                                       std::pair{dir.path().string(), err::FileAccess}}) {
        const RuntimeError error = test::thrown([&] { CSV().GetCSVasArray(path, records); });
        EXPECT_EQ(error.number(), number) << path;
        EXPECT_NE(error.description().find(path), std::string::npos) << error.description();
    }
    EXPECT_EQ(records, Records{"keep"});
}

// Another program cuts the file short after it is opened: an error, not a
// last record cut mid-field; a file that grows meanwhile is read to its end.
TEST_F(CsvFile, AFileCutShortWhileReadIsAnError) {
    std::string bytes;
    for (int i = 0; i < 5000; ++i) bytes += std::to_string(i) + ",value\r\n";
    const std::string path = dir.write("in.csv", bytes);
    const struct {
        std::function<void()> meanwhile;
        std::size_t records;  // 0: the error
    } cases[] = {
        {[&] { std::filesystem::resize_file(path, bytes.size() / 2 + 3); }, 0},
        {[&] { test::writeFile(path, bytes + "x,y\r\n"); }, 5001},
    };
    for (const auto& c : cases) {
        test::writeFile(path, bytes);
        Records records;
        fileio::beforeOperation(2, c.meanwhile);  // the first read, after the open
        std::optional<RuntimeError> error;
        try {
            CSV().GetCSVasArray(path, records);
        } catch (const RuntimeError& e) {
            error = e;
        }
        fileio::beforeOperation(0, {});
        if (c.records == 0) {
            ASSERT_TRUE(error);
            EXPECT_EQ(error->description(), "ファイル " + path + " を読み込めません: 読み込んでいる間にファイルが変更されました。");
        } else {
            EXPECT_FALSE(error) << error->description();
            EXPECT_EQ(records.size(), c.records);
        }
    }
}

// A regular file is mapped; anything else (here a named pipe) is read to its end.
TEST_F(CsvFile, APipeIsReadToItsEnd) {
    const std::string path = dir.file("pipe.csv");
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    std::string bytes;
    for (int i = 0; i < 20000; ++i) bytes += "a" + std::to_string(i) + ",b\r\n";
    std::thread writer([&] { test::writeFile(path, bytes); });
    Records records;
    const std::int32_t highest = CSV().GetCSVasArray(path, records);
    writer.join();
    EXPECT_EQ(highest, 19999);
    EXPECT_EQ(records.back(), "a19999,b");
}

// Root reads every file, so as root the read is tried by a child process
// that has dropped to nobody.
TEST_F(CsvFile, UnreadableFile) {
    const std::string path = dir.write("locked.csv", "a,b\r\n");
    std::filesystem::permissions(path, std::filesystem::perms::none);
    std::filesystem::permissions(dir.path(), std::filesystem::perms::all);
    const auto refused = [&] {
        Records records;
        return test::thrown([&] { CSV().GetCSVasArray(path, records); }).number() == err::FileAccess;
    };
    if (::geteuid() != 0) {
        EXPECT_TRUE(refused());
        return;
    }
    const passwd* nobody = ::getpwnam("nobody");
    const struct group* nogroup = ::getgrnam("nogroup");
    ASSERT_TRUE(nobody && nogroup);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const bool dropped = ::setgroups(0, nullptr) == 0 && ::setgid(nogroup->gr_gid) == 0 &&
                             ::setuid(nobody->pw_uid) == 0;
        ::_exit(!dropped ? 2 : refused() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

TEST_F(CsvFile, SixteenBitFieldLimit) {
    std::string most = "x";
    for (int i = 1; i < 32767; ++i) most += ",x";
    EXPECT_EQ(read(most + "\r\na,b").size(), 2u);
    EXPECT_EQ(failure(most + ",x\r\na,b").number(), err::Overflow);
    // The 32,768th field only appears once the quote is closed on the next line.
    EXPECT_EQ(failure(most + ",\"open\r\nclosed\"").number(), err::Overflow);
}

}  // namespace
}  // namespace trelmo
