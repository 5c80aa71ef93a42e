#include "engine/xsd/fault_text.h"

#include <libxml/xmlerror.h>

#include <cstring>
#include <string_view>

namespace trelmo::xsd {
namespace {

constexpr std::size_t kShownValue = 80;  // bytes of a value shown, about as many characters

// The built-in type a datatype fault names: "... of the atomic type 'xs:date'."
std::string typeOf(const std::string& reason) {
    static constexpr std::string_view kMark = "atomic type 'xs:";
    const std::size_t at = reason.find(kMark);
    if (at == std::string::npos) return {};
    const std::size_t from = at + kMark.size();
    const std::size_t end = reason.find('\'', from);
    return end == std::string::npos ? std::string() : reason.substr(from, end - from);
}

std::string typeReason(const std::string& type) {
    struct Entry {
        const char* type;
        const char* reason;
    };
    static constexpr Entry kTypes[] = {
        {"date", "値が日付（YYYY-MM-DD）ではありません。"},
        {"dateTime", "値が日時（YYYY-MM-DDThh:mm:ss）ではありません。"},
        {"time", "値が時刻（hh:mm:ss）ではありません。"},
        {"gYear", "値が年（YYYY）ではありません。"},
        {"gYearMonth", "値が年月（YYYY-MM）ではありません。"},
        {"integer", "値が整数ではありません。"},
        {"positiveInteger", "値が正の整数（1 以上）ではありません。"},
        {"nonNegativeInteger", "値が 0 以上の整数ではありません。"},
        {"negativeInteger", "値が負の整数ではありません。"},
        {"nonPositiveInteger", "値が 0 以下の整数ではありません。"},
        {"decimal", "値が 10 進数の数ではありません。"},
        {"float", "値が数ではありません。"},
        {"double", "値が数ではありません。"},
        {"boolean", "値が真偽値（true、false、1、0）ではありません。"},
        {"anyURI", "値が URI ではありません。"},
        {"long", "値が整数でないか、範囲の外です。"},
        {"int", "値が整数でないか、範囲の外です。"},
        {"short", "値が整数でないか、範囲の外です。"},
        {"byte", "値が整数でないか、範囲の外です。"},
        {"unsignedLong", "値が 0 以上の整数でないか、範囲の外です。"},
        {"unsignedInt", "値が 0 以上の整数でないか、範囲の外です。"},
        {"unsignedShort", "値が 0 以上の整数でないか、範囲の外です。"},
        {"unsignedByte", "値が 0 以上の整数でないか、範囲の外です。"},
    };
    for (const Entry& entry : kTypes) {
        if (type == entry.type) return entry.reason;
    }
    return "値がデータ型に合いません。";
}

// UTF-8 cut at a character's start.
std::string shortened(const std::string& value) {
    if (value.size() <= kShownValue) return value;
    std::size_t end = kShownValue;
    while (end > 0 && (static_cast<unsigned char>(value[end]) & 0xC0) == 0x80) --end;
    return value.substr(0, end) + "…";
}

}  // namespace

std::string reasonOf(const Fault& fault) {
    switch (fault.code) {
    case XML_SCHEMAV_CVC_PATTERN_VALID: return "値が決められた形（パターン）に合いません。";
    case XML_SCHEMAV_CVC_ENUMERATION_VALID: return "値が決められた値のどれでもありません。";
    case XML_SCHEMAV_CVC_LENGTH_VALID: return "値の長さが決められた長さと違います。";
    case XML_SCHEMAV_CVC_MINLENGTH_VALID: return "値が短すぎます。";
    case XML_SCHEMAV_CVC_MAXLENGTH_VALID: return "値が長すぎます。";
    case XML_SCHEMAV_CVC_MININCLUSIVE_VALID:
    case XML_SCHEMAV_CVC_MAXINCLUSIVE_VALID:
    case XML_SCHEMAV_CVC_MINEXCLUSIVE_VALID:
    case XML_SCHEMAV_CVC_MAXEXCLUSIVE_VALID: return "値が決められた範囲の外です。";
    case XML_SCHEMAV_CVC_TOTALDIGITS_VALID:
    case XML_SCHEMAV_CVC_FRACTIONDIGITS_VALID: return "値の桁数が多すぎます。";
    case XML_SCHEMAV_CVC_DATATYPE_VALID_1_2_1:
    case XML_SCHEMAV_CVC_DATATYPE_VALID_1_2_2:
    case XML_SCHEMAV_CVC_DATATYPE_VALID_1_2_3:
    case XML_SCHEMAV_CVC_ATTRIBUTE_3: return typeReason(typeOf(fault.reason));
    case XML_SCHEMAV_CVC_ELT_5_2_2_1:
    case XML_SCHEMAV_CVC_ELT_5_2_2_2_1:
    case XML_SCHEMAV_CVC_ELT_5_2_2_2_2:
    case XML_SCHEMAV_CVC_AU: return "値が決められた固定値と違います。";
    case XML_SCHEMAV_CVC_COMPLEX_TYPE_2_4:
    case XML_SCHEMAV_ELEMENT_CONTENT:
        return fault.reason.find("Missing child") != std::string::npos ? "必要な子要素がありません。"
                                                                       : "ここには置けない要素です。";
    case XML_SCHEMAV_CVC_COMPLEX_TYPE_4: return "必要な属性がありません。";
    case XML_SCHEMAV_CVC_COMPLEX_TYPE_3_2_1:
    case XML_SCHEMAV_CVC_COMPLEX_TYPE_3_2_2: return "ここには置けない属性です。";
    case XML_SCHEMAV_CVC_COMPLEX_TYPE_2_1: return "空でなければならない要素に内容があります。";
    case XML_SCHEMAV_CVC_COMPLEX_TYPE_2_3: return "文字を置けない要素に文字があります。";
    case XML_SCHEMAV_CVC_ELT_1:
        return "最上位の要素が XSD で宣言されていません（要素名か名前空間が違います）。";
    default: break;
    }
    if (fault.code < XML_SCHEMAV_NOROOT || fault.code > XML_SCHEMAV_MISC) return "出力を XML として読めません。";
    return "XSD に合いません。";
}

std::string faultLine(const Fault& fault, std::size_t record) {
    std::string line;
    if (record > 0) {
        line += std::to_string(record) + " 件目のレコード";
        if (fault.field != RecordShape::kNone) line += "の " + std::to_string(fault.field + 1) + " 列目";
        line += ": ";
    }
    line += fault.path;
    if (!fault.attribute.empty()) line += " の属性 " + fault.attribute;
    if (fault.field != RecordShape::kNone) line += " の値「" + shortened(fault.value) + "」";
    line += ": " + reasonOf(fault) + "（" + fault.reason + "）";
    return line;
}

std::string moreFaultsLine(std::size_t more) { return "ほかに " + std::to_string(more) + " 件あります。"; }

Message refusalMessage(const std::string& xsdPath, const std::vector<std::string>& lines, std::size_t total) {
    Message message;
    message.icon = MsgIcon::Exclamation;
    message.text = "出力が検証用XSD " + xsdPath + " に合わないため、保存しませんでした（" + std::to_string(total) +
                   " 件）。";
    for (const std::string& line : lines) {
        if (!message.details.empty()) message.details += "\r\n";
        message.details += line;
    }
    if (total > lines.size()) message.details += "\r\n" + moreFaultsLine(total - lines.size());
    return message;
}

}  // namespace trelmo::xsd
