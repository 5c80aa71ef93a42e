#include "engine/io/file_attributes.h"

#include <sys/xattr.h>

#include <cerrno>
#include <string_view>
#include <vector>

#include "engine/io/os_error.h"

namespace trelmo::fileio {
namespace {

bool carried(std::string_view name) { return name == "system.posix_acl_access" || name.starts_with("user."); }

// The bytes of a list or a value, asked again while it grows meanwhile.
template <typename Get>
std::optional<std::vector<char>> fetch(Get get) {
    for (;;) {
        const ssize_t size = get(nullptr, 0);
        if (size < 0) return std::nullopt;
        std::vector<char> bytes(static_cast<std::size_t>(size));
        const ssize_t got = get(bytes.data(), bytes.size());
        if (got >= 0) {
            bytes.resize(static_cast<std::size_t>(got));
            return bytes;
        }
        if (errno != ERANGE) return std::nullopt;
    }
}

}  // namespace

std::optional<std::string> copyAttributes(const std::string& from, int to) {
    const auto names = fetch([&](char* data, std::size_t size) { return ::listxattr(from.c_str(), data, size); });
    if (!names) {
        if (errno == ENOTSUP) return std::nullopt;  // a file system without them: nothing to carry
        return "拡張属性を読めません: " + osErrorText(errno);
    }
    // Without a list of its own, the new file takes none that its folder gives by default.
    if (std::string_view(names->data(), names->size()).find("system.posix_acl_access") == std::string_view::npos &&
        ::fremovexattr(to, "system.posix_acl_access") != 0 && errno != ENODATA && errno != ENOTSUP) {
        return "アクセス制御リスト (ACL) を新しいファイルから外せません: " + osErrorText(errno);
    }
    for (std::size_t at = 0; at < names->size();) {
        const std::string name(names->data() + at);
        at += name.size() + 1;
        if (!carried(name)) continue;
        const auto value = fetch([&](char* data, std::size_t size) { return ::getxattr(from.c_str(), name.c_str(), data, size); });
        if (!value) {
            if (errno == ENODATA) continue;  // removed meanwhile
            return "拡張属性 " + name + " を読めません: " + osErrorText(errno);
        }
        if (::fsetxattr(to, name.c_str(), value->data(), value->size(), 0) != 0) {
            const std::string what = name == "system.posix_acl_access" ? "アクセス制御リスト (ACL)" : "拡張属性 " + name;
            return what + " を新しいファイルに移せません: " + osErrorText(errno);
        }
    }
    return std::nullopt;
}

}  // namespace trelmo::fileio
