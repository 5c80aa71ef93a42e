#include "engine/io/os_error.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace trelmo {

std::string osErrorText(int error) {
    switch (error) {
    case ENOENT:
        return "ファイルまたはフォルダーが見つかりません。";
    case EACCES:
    case EPERM:
        return "アクセスが許可されていません。";
    case EROFS:
        return "読み取り専用のファイルシステムです。";
    case ENOSPC:
        return "ディスクの空き容量が足りません。";
    case EDQUOT:
        return "ディスクの使用量の上限を超えました。";
    case EISDIR:
        return "フォルダーです。";
    case ENOTDIR:
        return "パスの途中にフォルダーでないものがあります。";
    case ENAMETOOLONG:
        return "パスまたはファイル名が長すぎます。";
    case EFBIG:
        return "ファイルが大きすぎます。";
    case EIO:
        return "入出力エラーが発生しました。";
    case ELOOP:
        return "シンボリックリンクが多すぎるか、循環しています。";
    case ENXIO:
    case ENODEV:
        return "デバイスがありません。";
    case EBUSY:
    case ETXTBSY:
        return "使用中です。";
    case EPIPE:
        return "パイプの読み手が閉じられました。";
    case EAGAIN:
        return "システムの資源が一時的に足りません。";
    case EMFILE:
    case ENFILE:
        return "開いているファイルが多すぎます。";
    default: {
        std::string text = std::strerror(error);
        return text + "。";
    }
    }
}

std::string pathErrorText(const std::string& path, int error) {
    if (error == EACCES) {
        // Each folder on the way, from the first: the one that stops the search is the one to name.
        for (std::size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
            const std::string folder = path.substr(0, slash);
            if (::faccessat(AT_FDCWD, folder.c_str(), X_OK, AT_EACCESS) != 0 && errno == EACCES) {
                return "フォルダー " + folder + " の中を見ることが許可されていません。";
            }
        }
    }
    return osErrorText(error);
}

}  // namespace trelmo
