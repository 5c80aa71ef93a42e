#include "engine/text/decode.h"

#include <cerrno>
#include <string_view>

#include "engine/error.h"
#include "engine/text/iconv_handle.h"
#include "engine/text/lines.h"
#include "engine/text/utf8.h"

namespace trelmo {
namespace {

RuntimeError badBytes(const std::string& path, std::string_view bytes, std::size_t offset,
                      std::string_view encoding) {
    return {err::BadFileData, "ファイルの " + std::to_string(lineNumberAt(bytes, offset)) + " 行目に " +
                                  std::string(encoding) + " として読めない文字があります (先頭から " +
                                  std::to_string(offset + 1) + " バイト目): " + path};
}

std::string fromCp932(std::string& bytes, const std::string& path) {
    IconvHandle cd = openIconv("UTF-8", "CP932");
    if (!cd) throw RuntimeError(err::Encoding, "文字コード CP932 (Shift_JIS) を変換できません: " + path);

    // One CP932 byte never needs more than three UTF-8 bytes.
    std::string out(bytes.size() * 3 + 16, '\0');
    char* in = bytes.data();
    std::size_t inLeft = bytes.size();
    char* outPos = out.data();
    std::size_t outLeft = out.size();
    while (inLeft > 0) {
        if (iconv(cd.get(), &in, &inLeft, &outPos, &outLeft) != static_cast<std::size_t>(-1)) break;
        if (errno == E2BIG) {
            const std::size_t used = static_cast<std::size_t>(outPos - out.data());
            out.resize(out.size() * 2);
            outPos = out.data() + used;
            outLeft = out.size() - used;
            continue;
        }
        // EILSEQ: a byte sequence with no character; EINVAL: one cut off at the end.
        throw badBytes(path, bytes, static_cast<std::size_t>(in - bytes.data()), "Shift_JIS (CP932)");
    }
    out.resize(static_cast<std::size_t>(outPos - out.data()));
    return out;
}

}  // namespace

std::string decodeFileText(std::string bytes, const std::string& path) {
    const std::size_t invalid = firstInvalidUtf8(bytes);
    const bool bom = std::string_view(bytes).starts_with(kUtf8Bom);
    if (invalid == std::string_view::npos) {
        if (bom) bytes.erase(0, kUtf8Bom.size());
        return bytes;
    }
    // A BOM declares UTF-8: a broken sequence after it is not CP932 text.
    if (bom) throw badBytes(path, bytes, invalid, "UTF-8");
    return fromCp932(bytes, path);
}

}  // namespace trelmo
