#include "engine/text/decode.h"

#include <string_view>

#include "engine/error.h"
#include "engine/text/cp932.h"
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

std::string_view fromCp932(std::string_view bytes, LargeBuffer& storage, const std::string& path) {
    const Cp932Decoder* decoder = Cp932Decoder::instance();
    if (!decoder) throw RuntimeError(err::Encoding, "文字コード CP932 (Shift_JIS) を変換できません: " + path);
    std::size_t length = 0;
    const std::size_t bad = decoder->decode(bytes, storage, length);
    if (bad != std::string_view::npos) throw badBytes(path, bytes, bad, "Shift_JIS (CP932)");
    return {storage.data(), length};
}

}  // namespace

std::string_view decodeFileText(std::string_view bytes, LargeBuffer& storage, const std::string& path) {
    const std::size_t invalid = firstInvalidUtf8(bytes);
    const bool bom = bytes.starts_with(kUtf8Bom);
    if (invalid == std::string_view::npos) return bom ? bytes.substr(kUtf8Bom.size()) : bytes;
    // A BOM declares UTF-8: a broken sequence after it is not CP932 text.
    if (bom) throw badBytes(path, bytes, invalid, "UTF-8");
    return fromCp932(bytes, storage, path);
}

std::string decodeFileText(std::string bytes, const std::string& path) {
    LargeBuffer storage;
    const std::string_view text = decodeFileText(std::string_view(bytes), storage, path);
    if (text.data() == storage.data()) return std::string(text);
    bytes.erase(0, static_cast<std::size_t>(text.data() - bytes.data()));
    return bytes;
}

}  // namespace trelmo
