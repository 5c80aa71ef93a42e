#include "engine/xml/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "engine/error.h"

namespace trelmo::xml::detail {
namespace {

namespace fs = std::filesystem;

std::string reasonFor(int error) {
    switch (error) {
    case ENOENT:
        return "フォルダーが見つかりません。";
    case ENOTDIR:
        return "パスの途中にフォルダーでないものがあります。";
    case EACCES:
    case EPERM:
        return "書き込みが許可されていません。";
    case EROFS:
        return "読み取り専用の場所です。";
    case EISDIR:
        return "同じ名前のフォルダーがあります。";
    case ENOSPC:
    case EDQUOT:
        return "ディスクの空き容量が足りません。";
    case EFBIG:
        return "ファイルが大きすぎます。";
    case ENAMETOOLONG:
        return "パスが長すぎます。";
    default:
        return std::strerror(error);
    }
}

// The mode a newly created file gets: 0666 less the umask.
mode_t newFileMode() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Umask:", 0) == 0) return 0666 & ~static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8));
    }
    const mode_t mask = umask(022);
    umask(mask);
    return 0666 & ~mask;
}

// Follows symbolic links, so that saving through a link replaces its target.
std::string resolveLinks(const std::string& path) {
    fs::path p = path;
    std::error_code ec;
    for (int i = 0; i < 40 && fs::is_symlink(fs::symlink_status(p, ec)); ++i) {
        const fs::path link = fs::read_symlink(p, ec);
        if (ec) break;
        p = link.is_absolute() ? link : p.parent_path() / link;
    }
    return p.string();
}

}  // namespace

AtomicFile::AtomicFile(const std::string& path) : path_(path) {
    if (path.empty()) throw RuntimeError(err::XmlSave, "保存先のファイル名が指定されていません。");
    target_ = resolveLinks(path);
    struct stat existing {};
    const bool exists = ::stat(target_.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) fail(EISDIR);

    fs::path folder = fs::path(target_).parent_path();
    if (folder.empty()) folder = ".";
    temp_ = (folder / ".trelmo-save-XXXXXX").string();
    fd_ = ::mkstemp(temp_.data());
    if (fd_ < 0) {
        const int error = errno;
        temp_.clear();
        fail(error);
    }
    if (exists) {
        // Keep owner and permissions of the file being replaced, where allowed.
        if (::fchown(fd_, existing.st_uid, existing.st_gid) != 0) {
            // Not permitted for other users' files: the new file is ours.
        }
        ::fchmod(fd_, existing.st_mode & 07777);
    } else {
        ::fchmod(fd_, newFileMode());
    }
}

AtomicFile::~AtomicFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!committed_ && !temp_.empty()) ::unlink(temp_.c_str());
}

void AtomicFile::fail(int error) const {
    throw RuntimeError(err::XmlSave, "ファイル " + path_ + " に保存できません: " + reasonFor(error));
}

void AtomicFile::write(const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd_, data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            fail(errno);
        }
        data += written;
        size -= static_cast<std::size_t>(written);
        unsynced_ += static_cast<std::size_t>(written);
    }
    // The disk starts on what is written while the rest is made, so that the
    // sync at the end has little left to wait for. Only a start: any error
    // is the sync's to report.
    constexpr std::size_t kSyncStep = 4 << 20;
    if (unsynced_ >= kSyncStep) {
        ::sync_file_range(fd_, static_cast<off_t>(synced_), static_cast<off_t>(unsynced_), SYNC_FILE_RANGE_WRITE);
        synced_ += unsynced_;
        unsynced_ = 0;
    }
}

void AtomicFile::commit() {
    if (::fsync(fd_) != 0) fail(errno);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) fail(errno);
    if (::rename(temp_.c_str(), target_.c_str()) != 0) fail(errno);
    committed_ = true;
    // Make the rename itself durable; a failure here loses nothing already written.
    fs::path folder = fs::path(target_).parent_path();
    if (folder.empty()) folder = ".";
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

}  // namespace trelmo::xml::detail
