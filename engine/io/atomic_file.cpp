#include "engine/io/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <optional>

#include "engine/error.h"
#include "engine/io/file_attributes.h"
#include "engine/io/os_error.h"
#include "engine/io/temp_cleanup.h"

namespace trelmo::fileio {
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

// Follows symbolic links from path until one leads nowhere further or
// reached(name) holds for the name it leads to.
template <typename Reached>
fs::path followLinks(const std::string& path, Reached reached) {
    fs::path p = path;
    std::error_code ec;
    for (int i = 0; i < 40 && !reached(p) && fs::is_symlink(fs::symlink_status(p, ec)); ++i) {
        const fs::path link = fs::read_symlink(p, ec);
        if (ec) break;
        p = link.is_absolute() ? link : p.parent_path() / link;
    }
    return p;
}

// Saving through a link replaces its target.
std::string resolveLinks(const std::string& path) {
    return followLinks(path, [](const fs::path&) { return false; }).string();
}

std::string folderOf(const std::string& path) {
    const fs::path folder = fs::path(path).parent_path();
    return folder.empty() ? std::string(".") : folder.string();
}

bool sameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

bool allDigits(const std::string& text, std::size_t most) {
    return !text.empty() && text.size() <= most && text.find_first_not_of("0123456789") == std::string::npos;
}

// The number of the process's own descriptor that a name stands for: a
// number in /proc/PID/fd or /proc/PID/task/TID/fd of this process, its folder
// given with every link resolved (whatever it was called: /dev/fd,
// /proc/self/fd, a relative fd from /dev, a link to such a folder).
std::optional<int> descriptorIn(const fs::path& folder, const fs::path& name) {
    if (folder == "/dev" && (name == "stdin" || name == "stdout" || name == "stderr")) {
        return name == "stdin" ? 0 : name == "stdout" ? 1 : 2;
    }
    if (!allDigits(name.string(), 9)) return std::nullopt;
    const fs::path own = fs::path("/proc") / std::to_string(::getpid());
    if (folder == own / "fd") return std::stoi(name.string());
    // A thread's folder lists the same descriptors; only this process's threads are in its task folder.
    const fs::path task = folder.parent_path();
    if (folder.filename() == "fd" && task.parent_path() == own / "task" && allDigits(task.filename().string(), 9)) {
        return std::stoi(name.string());
    }
    return std::nullopt;
}

// The descriptor the path names: its folder resolved whole, then any
// symbolic link that the name itself is followed the same way.
std::optional<int> ownDescriptor(const std::string& path) {
    fs::path p = path;
    for (int i = 0; i < 40; ++i) {
        std::error_code ec;
        const fs::path folder = fs::canonical(p.has_parent_path() ? p.parent_path() : fs::path("."), ec);
        if (ec || p.filename().empty()) return std::nullopt;
        if (const std::optional<int> n = descriptorIn(folder, p.filename())) return n;
        const fs::path named = folder / p.filename();
        if (!fs::is_symlink(fs::symlink_status(named, ec))) return std::nullopt;
        const fs::path link = fs::read_symlink(named, ec);
        if (ec) return std::nullopt;
        p = link.is_absolute() ? link : folder / link;
    }
    return std::nullopt;
}

std::string closedDescriptor(int n) {
    switch (n) {
    case 0:
        return "標準入力が閉じています。";
    case 1:
        return "標準出力が閉じています。";
    case 2:
        return "標準エラー出力が閉じています。";
    default:
        return "ファイル記述子 " + std::to_string(n) + " は開かれていません。";
    }
}

}  // namespace

AtomicFile::AtomicFile(const std::string& path) : path_(path) {
    if (path.empty()) throw RuntimeError(err::XmlSave, "保存先のファイル名が指定されていません。");
    if (isBlankPath(path)) fail("ファイル名が空白だけです。");
    ignoreFileSizeSignal();
    if (openDescriptor()) return;
    struct stat existing {};
    if (::stat(path.c_str(), &existing) != 0) {
        if (errno != ENOENT) fail(pathErrorText(path, errno));
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
        // A file that no name leads to, such as a deleted file behind another process's descriptor.
        openInPlace();
        return;
    }
    openTemporary(&existing);
}

// One of the process's own descriptors, as the shell set it up: a file stays
// the file it is (appended to when opened for appending), not one put in its place.
bool AtomicFile::openDescriptor() {
    const std::optional<int> n = ownDescriptor(path_);
    if (!n) return false;
    const int flags = ::fcntl(*n, F_GETFL);
    if (flags < 0) fail(closedDescriptor(*n));
    if ((flags & O_ACCMODE) == O_RDONLY) fail("ファイル記述子 " + std::to_string(*n) + " は読み込み用に開かれています。");
    fd_.assign(::fcntl(*n, F_DUPFD_CLOEXEC, 0));
    if (fd_.get() < 0) fail(errno);
    return true;
}

// Devices and FIFOs cannot be replaced; they take the bytes as they come.
void AtomicFile::openInPlace() {
    fd_.assign(open(path_.c_str(), O_WRONLY | O_NOCTTY));
    if (fd_.get() < 0) fail(errno);
    struct stat opened {};
    if (::fstat(fd_.get(), &opened) != 0) fail(errno);
    if (!S_ISCHR(opened.st_mode) && !S_ISFIFO(opened.st_mode)) {
        fail("保存先が別の種類のファイルに置き換えられました。");
    }
}

void AtomicFile::openTemporary(const struct stat* existing) {
    const std::string folderPath = folderOf(target_);
    const std::string name = fs::path(target_).filename().string();
    // Only a handle: a folder that may be written and searched need not be readable.
    folder_.assign(open(folderPath.c_str(), O_PATH | O_DIRECTORY));
    if (folder_.get() < 0) fail(errno);
    // The kernel's rule for opening it for writing, with the effective ids.
    if (existing && ::faccessat(folder_.get(), name.c_str(), W_OK, AT_EACCESS) != 0) fail(errno);
    {
        const SignalBlock block;
        fd_.assign(makeTempAt(folder_.get(), ".trelmo-save-", temp_));
        if (fd_.get() < 0) {
            const int error = errno;
            temp_.clear();
            // What blocks the save is the folder, which takes no new file.
            const std::string shown = "フォルダー " + folderPath + " ";
            if (error == ENOENT) fail(shown + "には新しいファイルを作れません。");  // such as /proc
            fail(shown + "に新しいファイルを作れません: " + osErrorText(error));
        }
        registerTemp(folder_.get(), temp_);
    }
    if (existing) {
        // Keep owner, group and permissions of the file being replaced, as far as allowed.
        if (::fchown(fd_.get(), existing->st_uid, existing->st_gid) != 0 &&
            ::fchown(fd_.get(), static_cast<uid_t>(-1), existing->st_gid) != 0) {
            // Not permitted: the new file is the user's own.
        }
        ::fchmod(fd_.get(), existing->st_mode & 07777);
        if (const auto reason = copyAttributes(target_, fd_.get())) fail(*reason);
    } else {
        ::fchmod(fd_.get(), newFileMode());
    }
}

AtomicFile::~AtomicFile() {
    fd_.reset();
    if (!committed_ && !temp_.empty()) {
        const SignalBlock block;
        ::unlinkat(folder_.get(), temp_.c_str(), 0);
        unregisterTemp(folder_.get(), temp_);
    }
}

void AtomicFile::fail(int error) const { fail(osErrorText(error)); }

void AtomicFile::fail(const std::string& reason) const {
    const std::string shown = isBlankPath(path_) ? bracketed(path_) : path_;
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
    if (sync(fd_.get()) != 0) fail(errno);
    if (fd_.reset() != 0) fail(errno);
    {
        const SignalBlock block;
        const std::string name = fs::path(target_).filename().string();
        if (renameAt(folder_.get(), temp_.c_str(), name.c_str()) != 0) fail(errno);
        committed_ = true;
        unregisterTemp(folder_.get(), temp_);
    }
    // Make the rename itself durable. The new content is in place, so a
    // failure at this step is not one of the save: nothing would be gained by
    // reporting a save that did replace the file as failed.
    Fd folder(::openat(folder_.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0) sync(folder.get());
}

bool overwritesInput(const std::string& output, const std::string& input) {
    struct stat out {}, in {};
    if (::stat(output.c_str(), &out) != 0 || ::stat(input.c_str(), &in) != 0) return false;
    return sameFile(out, in) && !S_ISCHR(out.st_mode);
}

}  // namespace trelmo::fileio
