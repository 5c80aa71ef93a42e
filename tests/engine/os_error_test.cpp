// The reasons given for the system's errors, against the texts written out.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "engine/io/os_error.h"

namespace trelmo {
namespace {

TEST(OsError, EachErrorHasItsOwnReason) {
    const struct {
        int error;
        const char* text;
    } cases[] = {
        {ENOENT, "ファイルまたはフォルダーが見つかりません。"},
        {EACCES, "アクセスが許可されていません。"},
        {EPERM, "アクセスが許可されていません。"},
        {EROFS, "読み取り専用のファイルシステムです。"},
        {ENOSPC, "ディスクの空き容量が足りません。"},
        {EDQUOT, "ディスクの使用量の上限を超えました。"},
        {EISDIR, "フォルダーです。"},
        {ENOTDIR, "パスの途中にフォルダーでないものがあります。"},
        {ENAMETOOLONG, "パスまたはファイル名が長すぎます。"},
        {EFBIG, "ファイルが大きすぎます。"},
        {EIO, "入出力エラーが発生しました。"},
        {ELOOP, "シンボリックリンクが多すぎるか、循環しています。"},
        {ENXIO, "デバイスがありません。"},
        {ENODEV, "デバイスがありません。"},
        {EBUSY, "使用中です。"},
        {ETXTBSY, "使用中です。"},
        {EMFILE, "開いているファイルが多すぎます。"},
        {ENFILE, "開いているファイルが多すぎます。"},
    };
    for (const auto& c : cases) EXPECT_EQ(osErrorText(c.error), c.text) << std::strerror(c.error);
    // Without a text of its own: the system's, as a sentence.
    EXPECT_EQ(osErrorText(EXDEV), std::string(std::strerror(EXDEV)) + "。");
}

}  // namespace
}  // namespace trelmo
