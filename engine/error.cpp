#include "engine/error.h"

namespace trelmo {

RuntimeError invalidArgumentError() {
    return {err::InvalidArgument, "引数が正しくありません。"};
}

RuntimeError overflowError() {
    return {err::Overflow, "オーバーフローしました。"};
}

RuntimeError subscriptOutOfRangeError() {
    return {err::SubscriptOutOfRange, "インデックスが有効範囲にありません。"};
}

RuntimeError typeMismatchError() {
    return {err::TypeMismatch, "型が一致しません。"};
}

RuntimeError fileNotFoundError(const std::string& path) {
    return {err::FileNotFound, "ファイルが見つかりません: " + path};
}

RuntimeError fileAccessError(const std::string& path, const std::string& reason) {
    std::string text = "ファイル " + path + " を読み込めません";
    text += reason.empty() ? "。" : ": " + reason;
    return {err::FileAccess, text};
}

RuntimeError blankPathError(const std::string& path) {
    return {err::BadFileName, "ファイル 「" + path + "」 を読み込めません: ファイル名が空白だけです。"};
}

std::string withThousands(std::size_t count) {
    const std::string digits = std::to_string(count);
    std::string grouped;
    for (std::size_t k = 0; k < digits.size(); ++k) {
        if (k > 0 && (digits.size() - k) % 3 == 0) grouped += ',';
        grouped += digits[k];
    }
    return grouped;
}

std::string describeError(const std::exception& error) {
    const auto* runtime = dynamic_cast<const RuntimeError*>(&error);
    return runtime ? runtime->description() : std::string(error.what());
}

}  // namespace trelmo
