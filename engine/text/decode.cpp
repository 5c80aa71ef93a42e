#include "engine/text/decode.h"

#include <string_view>
#include <thread>

#include "engine/error.h"
#include "engine/side_thread.h"
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

constexpr std::size_t kTwoPiecesAbove = 1 << 20;

bool twoPieces(std::string_view text) {
    return text.size() > kTwoPiecesAbove && std::thread::hardware_concurrency() >= 2;
}

// Decodes bytes into storage, or with `keep` only checks them and gives
// them as they are; npos or the offset of the first bad byte.
std::size_t decodePiece(const Cp932Decoder& decoder, std::string_view bytes, LargeBuffer& storage, bool keep,
                        std::string_view& text) {
    if (keep) {
        text = bytes;
        return decoder.firstInvalid(bytes);
    }
    std::size_t length = 0;
    const std::size_t bad = decoder.decode(bytes, storage, length);
    text = std::string_view(storage.data(), length);
    return bad;
}

// A cut after a line end is a character boundary too: CR and LF are never
// part of a two-byte character.
std::vector<std::string_view> fromCp932(std::string_view bytes, std::array<LargeBuffer, 2>& storage, bool keep,
                                        const std::string& path) {
    const Cp932Decoder* decoder = Cp932Decoder::instance();
    if (!decoder) throw RuntimeError(err::Encoding, "文字コード CP932 (Shift_JIS) を変換できません: " + path);
    const std::size_t cut = twoPieces(bytes) ? lineStartAfter(bytes, lineEndsOf(bytes), bytes.size() / 2) : bytes.size();
    std::string_view first, second;
    std::size_t badSecond = std::string_view::npos;
    std::size_t badFirst;
    {
        SideThread helper;
        if (cut < bytes.size()) {
            helper.start([&] { badSecond = decodePiece(*decoder, bytes.substr(cut), storage[1], keep, second); });
        }
        badFirst = decodePiece(*decoder, bytes.substr(0, cut), storage[0], keep, first);
        if (badFirst == std::string_view::npos) helper.join();
    }
    const std::string_view encoding = "Shift_JIS (CP932)";
    if (badFirst != std::string_view::npos) throw badBytes(path, bytes, badFirst, encoding);
    if (badSecond != std::string_view::npos) throw badBytes(path, bytes, cut + badSecond, encoding);
    if (cut == bytes.size()) return {first};
    return {first, second};
}

}  // namespace

FileText decodeFileTextInPieces(std::string_view bytes, std::array<LargeBuffer, 2>& storage, const std::string& path,
                                Cp932Text cp932) {
    const std::size_t invalid = firstInvalidUtf8(bytes);
    const bool bom = bytes.starts_with(kUtf8Bom);
    if (invalid == std::string_view::npos) {
        const std::string_view text = bom ? bytes.substr(kUtf8Bom.size()) : bytes;
        if (!twoPieces(text)) return {{text}};
        const std::size_t cut = lineStartAfter(text, lineEndsOf(text), text.size() / 2);
        if (cut == text.size()) return {{text}};
        return {{text.substr(0, cut), text.substr(cut)}};
    }
    // A BOM declares UTF-8: a broken sequence after it is not CP932 text.
    if (bom) throw badBytes(path, bytes, invalid, "UTF-8");
    const bool keep = cp932 == Cp932Text::Kept;
    return {fromCp932(bytes, storage, keep, path), keep};
}

std::string decodeFileText(std::string bytes, const std::string& path) {
    std::array<LargeBuffer, 2> storage;
    std::string text;
    for (const std::string_view piece : decodeFileTextInPieces(bytes, storage, path).pieces) text += piece;
    return text;
}

}  // namespace trelmo
