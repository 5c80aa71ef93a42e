#include "engine/xml/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

#include "engine/error.h"
#include "engine/io/os_error.h"
#include "engine/xml/temp_cleanup.h"

namespace trelmo::xml::detail {
namespace {

namespace fs = std::filesystem;

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

std::string folderOf(const std::string& path) {
    const fs::path folder = fs::path(path).parent_path();
    return folder.empty() ? std::string(".") : folder.string();
}

bool sameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

}  // namespace

AtomicFile::AtomicFile(const std::string& path) : path_(path) {
    if (path.empty()) throw RuntimeError(err::XmlSave, "保存先のファイル名が指定されていません。");
    if (fileio::isBlankPath(path)) fail("ファイル名が空白だけです。");
    struct stat existing {};
    if (::stat(path.c_str(), &existing) != 0) {
        if (errno != ENOENT) fail(errno);
        target_ = resolveLinks(path);  // a link to a file yet to be made creates that file
        openTemporary(nullptr);
        return;
    }
    if (S_ISDIR(existing.st_mode)) fail(EISDIR);
    if (S_ISBLK(existing.st_mode)) fail("ブロックデバイスには保存できません。");
    if (S_ISSOCK(existing.st_mode)) fail("ソケットには保存できません。");
    if (!S_ISREG(existing.st_mode)) {
        openInPlace();
        return;
    }
    target_ = resolveLinks(path);
    struct stat named {};
    if (::stat(target_.c_str(), &named) != 0 || !sameFile(named, existing)) {
        // A file that no name leads to, such as a deleted file behind /proc/self/fd.
        openInPlace();
        return;
    }
    // The kernel's rule for opening it for writing, with the effective ids.
    if (::faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0) fail(errno);
    openTemporary(&existing);
}

// Devices and FIFOs cannot be replaced; they take the bytes as they come.
void AtomicFile::openInPlace() {
    fd_.assign(fileio::open(path_.c_str(), O_WRONLY | O_NOCTTY));
    if (fd_.get() < 0) fail(errno);
    struct stat opened {};
    if (::fstat(fd_.get(), &opened) != 0) fail(errno);
    if (!S_ISCHR(opened.st_mode) && !S_ISFIFO(opened.st_mode)) {
        fail("保存先が別の種類のファイルに置き換えられました。");
    }
}

void AtomicFile::openTemporary(const struct stat* existing) {
    temp_ = folderOf(target_) + "/.trelmo-save-XXXXXX";
    {
        const SignalBlock block;
        fd_.assign(fileio::makeTemp(temp_));
        if (fd_.get() < 0) {
            const int error = errno;
            temp_.clear();
            // A folder that exists but takes no new files, such as /proc.
            struct stat folder {};
            if (error == ENOENT && ::stat(folderOf(target_).c_str(), &folder) == 0 && S_ISDIR(folder.st_mode)) {
                fail("このフォルダーには新しいファイルを作れません。");
            }
            fail(error);
        }
        registerTemp(temp_);
    }
    if (existing) {
        // Keep owner, group and permissions of the file being replaced, as far as allowed.
        if (::fchown(fd_.get(), existing->st_uid, existing->st_gid) != 0 &&
            ::fchown(fd_.get(), static_cast<uid_t>(-1), existing->st_gid) != 0) {
            // Not permitted: the new file is the user's own.
        }
        ::fchmod(fd_.get(), existing->st_mode & 07777);
    } else {
        ::fchmod(fd_.get(), newFileMode());
    }
}

AtomicFile::~AtomicFile() {
    fd_.reset();
    if (!committed_ && !temp_.empty()) {
        const SignalBlock block;
        ::unlink(temp_.c_str());
        unregisterTemp(temp_);
    }
}

void AtomicFile::fail(int error) const { fail(osErrorText(error)); }

void AtomicFile::fail(const std::string& reason) const {
    const std::string shown = fileio::isBlankPath(path_) ? fileio::bracketed(path_) : path_;
    throw RuntimeError(err::XmlSave, "ファイル " + shown + " に保存できません: " + reason);
}

void AtomicFile::write(const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = fileio::write(fd_.get(), data, size);
        if (written < 0) fail(errno);
        data += written;
        size -= static_cast<std::size_t>(written);
        unsynced_ += static_cast<std::size_t>(written);
    }
    // The disk starts on what is written while the rest is made, so that the
    // sync at the end has little left to wait for. Only a start: any error
    // is the sync's to report.
    constexpr std::size_t kSyncStep = 4 << 20;
    if (!temp_.empty() && unsynced_ >= kSyncStep) {
        ::sync_file_range(fd_.get(), static_cast<off_t>(synced_), static_cast<off_t>(unsynced_), SYNC_FILE_RANGE_WRITE);
        synced_ += unsynced_;
        unsynced_ = 0;
    }
}

void AtomicFile::commit() {
    if (temp_.empty()) {
        if (fd_.reset() != 0) fail(errno);
        committed_ = true;
        return;
    }
    if (fileio::sync(fd_.get()) != 0) fail(errno);
    if (fd_.reset() != 0) fail(errno);
    {
        const SignalBlock block;
        if (fileio::rename(temp_.c_str(), target_.c_str()) != 0) fail(errno);
        committed_ = true;
        unregisterTemp(temp_);
    }
    // Make the rename itself durable. The new content is in place by now, so
    // a failure here is not one of the save: nothing would be gained by
    // reporting a save that did replace the file as failed.
    fileio::Fd folder(fileio::open(folderOf(target_).c_str(), O_RDONLY | O_DIRECTORY));
    if (folder.get() >= 0) fileio::sync(folder.get());
}

}  // namespace trelmo::xml::detail
