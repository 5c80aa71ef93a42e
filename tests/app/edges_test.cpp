// The command line at its edges, through the real program: bounded memory,
// inputs and descriptors protected, attributes kept, messages that say what
// happened. Each case is a shell script run in a fresh folder holding in.csv
// and s.dsd, with $T the program.

#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <string>

#include "tests/support/temp_dir.h"

namespace trelmo {
namespace {

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer's shadow memory needs more address space than any limit here.
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

struct Case {
    const char* name;
    const char* script;
    int status;
    const char* err;  // a part of standard error; empty: nothing on it
    const char* out;  // a part of standard output, if any
    bool needsRoot;   // drops to another user or sets what only root may
};

const Case kCases[] = {
    {"an endless stream stops at the longest record", "$LIMIT $T /dev/zero s.dsd o.xml", 1,
     "ファイル /dev/zero を読み込めません: 長すぎる行があります (1 行の上限は 268,435,456 バイトです)。", "", false},
    {"blank lines cost no memory of their own",
     "head -c 30000000 /dev/zero | tr '\\0' '\\n' >b.csv; printf 'a,b\\nc,d\\n' >>b.csv; $SMALL $T b.csv s.dsd o.xml && cat o.xml",
     0, "", "<r>c</r>", false},
    {"no thread, the same output",
     "seq 32767 | sed 's/.*/&,あいうえおかきくけこさしすせそたちつてと&/' | iconv -t CP932 >j.csv; chmod -R a+rwX .;"
     "$T j.csv s.dsd a.xml && $NOBODY prlimit --nproc=1 env $NOLEAKS $T j.csv s.dsd b.xml && cmp a.xml b.xml && echo same",
     0, "", "same", true},
    {"the schema's document type is an input",
     "printf '<!DOCTYPE element SYSTEM \"s.dtd\"><element/>' >d.dsd; printf '<!ELEMENT element ANY>' >s.dtd;"
     "$T in.csv d.dsd s.dtd; echo $?; cat s.dtd",
     0, "ファイル s.dtd に保存できません: スキーマが読み込むファイル", "1\n<!ELEMENT element ANY>", false},
    {"other spellings of the own descriptors append",
     "echo LOG >log; (cd /dev && $T $D/in.csv $D/s.dsd fd/1 >>$D/log); ln -s /proc/self/fd myfd; $T in.csv s.dsd myfd/1 >>log;"
     "bash -c 'exec $0 in.csv s.dsd /proc/$$/task/$$/fd/1' $T >>log; grep -c '<r>' log; head -1 log",
     0, "", "3\nLOG", false},
    {"an access list and user attributes stay",
     "chmod a+x .; echo old >o.xml; chmod 600 o.xml; setfacl -m u:nobody:r o.xml; setfattr -n user.note -v kept o.xml; $T in.csv s.dsd o.xml &&"
     "$NOBODY cat o.xml | grep -c '<r>'; getfattr --only-values -n user.note o.xml; echo; stat -c %a o.xml",
     0, "", "1\nkept\n640", true},
    {"control characters are shown escaped", "$T \"$(printf 'x\\033]0;title\\a.csv')\" s.dsd o.xml", 1,
     "x\\x1B]0;title\\x07.csv", "", false},
    {"a schema's fixed text is the node's fault",
     "printf '<element encoding=\"ISO-8859-1\"><comment DataSource=\"\\343\\201\\202\"/></element>' >c.dsd; $T in.csv c.dsd o.xml",
     1, "スキーマの 2 番目のノード（comment）のデータソース: ", "", false},
    {"a broken pipe in Japanese", "trap '' PIPE; $T big.csv s.dsd /dev/stdout | head -c 1 >/dev/null; exit ${PIPESTATUS[0]}", 1,
     "パイプの読み手が閉じられました。", "", false},
    {"a file shorter than its size is read whole", "$T /sys/devices/system/cpu/online s.dsd o.xml", 1,
     "有効なデータ(CSV)がありません。", "", false},
    {"an unsearchable folder is named", "mkdir d; cp in.csv d/; chmod 200 d; chmod a+rwx .; $NOBODY $T d/in.csv s.dsd o.xml", 1,
     "フォルダー d の中を見ることが許可されていません。", "", true},
    {"arguments after the third are not looked at", "$T in.csv s.dsd o.xml 'a\" b' $(seq 20000) && cat o.xml", 0, "",
     "<r>a</r>", false},
    {"help", "$T --help", 0, "", "使い方: trelmo", false},
    {"UTF-7 is refused", "printf '<element encoding=\"UTF-7\"/>' >u.dsd; $T in.csv u.dsd o.xml", 1,
     "エンコーディング UTF-7 は使えません", "", false},
};

class Edges : public testing::TestWithParam<Case> {};

TEST_P(Edges, RunsAsItShould) {
    const Case& c = GetParam();
    const bool root = ::geteuid() == 0;
    if (c.needsRoot && !root) GTEST_SKIP() << "only root may drop to another user or set another user's entries";
    test::TempDir tmp;
    tmp.write("in.csv", "a,b\r\nc,d\r\n");
    tmp.write("s.dsd", "<element name=\"r\"><text DataSource=\"1\"/></element>");
    std::string big;
    for (int i = 0; i < 30000; ++i) big += std::to_string(i) + ",x\r\n";
    tmp.write("big.csv", big);
    const std::string env = std::string("cd '") + tmp.path().string() + "' && D=$PWD T='" + std::getenv("TRELMO_EXE") +
                            "' NOBODY='setpriv --reuid=nobody --regid=nogroup --clear-groups' LIMIT='" +
                            (kSanitized ? "" : "prlimit --as=1200000000") + "' SMALL='" +
                            (kSanitized ? "" : "prlimit --as=400000000") +
                            // The leak check's own thread cannot start under a limit on threads.
                            "' NOLEAKS='" + (kSanitized ? "ASAN_OPTIONS=detect_leaks=0" : "") + "' ";
    const std::string script = env + "bash -c '" + [&] {
        std::string quoted;
        for (const char* p = c.script; *p; ++p) quoted += *p == '\'' ? std::string("'\\''") : std::string(1, *p);
        return quoted;
    }() + "' >out 2>err </dev/null";
    const int raw = std::system(script.c_str());
    const std::string out = test::readFile(tmp.path() / "out"), err = test::readFile(tmp.path() / "err");
    EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, c.status) << err;
    if (*c.err == 0) {
        EXPECT_EQ(err, "");
    }
    EXPECT_NE(err.find(c.err), std::string::npos) << err;
    EXPECT_NE(out.find(c.out), std::string::npos) << out;
    EXPECT_EQ(err.find('\x1b'), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(CommandLine, Edges, testing::ValuesIn(kCases), [](const auto& info) {
    std::string name;
    for (const char* p = info.param.name; *p; ++p) name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
    return name;
});

}  // namespace
}  // namespace trelmo
