#include "engine/convert/schema_check.h"

#include "engine/convert/convert_plan.h"
#include "engine/error.h"
#include "engine/text/number.h"
#include "engine/xml/names.h"
#include "engine/xml/xml_char.h"

namespace trelmo {
namespace {

constexpr std::size_t kMaxInt16 = 32767;
const std::string kExpectedColumn = "CSVの左から数えた列の番号（1～32767）を指定してください。";

const char* const kNoAttributes = "要素名またはデータソースを指定してください：\r\n";
const char* const kNoName = "要素名を指定してください：\r\n";
const char* const kElementWithDataSource = "elementにデータソースは必要ありません：\r\n";
const char* const kNoDataSource = "データソースを指定してください：\r\n";
const char* const kUnknownKind = "対象外のノードタイプがあります:\r\n<";

bool given(const xml::Node& e, std::string_view attribute) {
    const std::optional<std::string> value = e.attribute(attribute);
    return value && !value->empty();
}

// Throws what saving would raise for this declaration (a broken declaration,
// an encoding the writer cannot use), before it is put into the schema.
void checkDeclaration(const std::string& data) {
    xml::Document probe;
    probe.appendChild(probe.createProcessingInstruction("xml", data));
    static_cast<void>(probe.xml());
}

// The value of a pseudo-attribute in a declaration's data, e.g. encoding="…".
std::string declared(std::string_view data, std::string_view key) {
    const std::size_t at = data.find(std::string(key) + "=");
    if (at == std::string_view::npos || at + key.size() + 1 >= data.size()) return {};
    const char quote = data[at + key.size() + 1];
    const std::size_t from = at + key.size() + 2;
    const std::size_t to = data.find(quote, from);
    return to == std::string_view::npos ? std::string() : std::string(data.substr(from, to - from));
}

// 「한」(U+D55C)
std::string character(char32_t cp) {
    std::string text = "「";
    appendUtf8(text, cp);
    return text + "」(" + xml::detail::codePointName(cp) + ")";
}

const char* const kSourceAndFixedValue = "データソースと固定値は一緒に指定できません：\r\n";

// A fixed value (`Value`, present even when empty) stands in for the data
// source of the value kinds; the two together are refused.
bool fixedValue(const xml::Node& e) { return e.attribute("Value").has_value(); }

std::optional<SchemaFault> fixedValueFault(const xml::Node& node, const std::string& kind, std::size_t position) {
    if (given(node, "DataSource") && fixedValue(node)) return SchemaFault{kSourceAndFixedValue + kind, position};
    return std::nullopt;
}

// The rule of the node's kind (tags and attribute names compared exactly).
std::optional<SchemaFault> ruleFault(const xml::Node& node, std::size_t position, int& bound) {
    const std::string kind = node.name();
    const auto fault = [&](std::string text, bool selectFirst = false) {
        return SchemaFault{std::move(text), position, selectFirst};
    };
    if (node.attributeCount() == 0) return fault(kNoAttributes + kind);
    if (kind == "element") {
        if (!given(node, "name")) return fault(kNoName + kind);
        if (given(node, "DataSource")) return fault(kElementWithDataSource + kind);
    } else if (kind == "attribute") {
        if (!given(node, "name")) return fault(kNoName + kind);
        if (auto both = fixedValueFault(node, kind, position)) return both;
        if (fixedValue(node)) return std::nullopt;
        if (!given(node, "DataSource")) return fault(kNoDataSource + kind);
        ++bound;
    } else if (kind == "text" || kind == "comment" || kind == "cdatasection") {
        if (auto both = fixedValueFault(node, kind, position)) return both;
        if (fixedValue(node)) return std::nullopt;
        if (!given(node, "DataSource")) {
            // A cdatasection whose DataSource is there but empty is selected
            // before the message comes up.
            return fault(kNoDataSource + kind, kind == "cdatasection" && node.attribute("DataSource").has_value());
        }
        ++bound;
    } else {
        return fault(kUnknownKind + kind + "> ");
    }
    return std::nullopt;
}

}  // namespace

bool RootNameGiven(std::string_view rootName) { return !rootName.empty() && rootName != kRootPlaceholder; }

void ApplySaveSettings(xml::Document& schema, std::string_view rootName, std::string_view encoding) {
    const std::string declaration = "version=\"1.0\" encoding=\"" + std::string(encoding) + "\"";
    // A rejected encoding leaves the declaration as it was.
    if (!encoding.empty()) checkDeclaration(declaration);
    xml::Node top = schema.asNode();
    if (top.childCount() > kMaxInt16) throw overflowError();
    bool replaced = false;
    for (std::size_t i = 0; i < top.childCount(); ++i) {
        xml::Node n = top.child(i);
        if (n.type() == xml::NodeType::ProcessingInstruction) {
            if (!encoding.empty() && n.name() == "xml") {
                top.replaceChild(schema.createProcessingInstruction("xml", declaration), n);
                replaced = true;
            }
        } else if (n.type() == xml::NodeType::Element) {
            if (!encoding.empty()) n.setAttribute("encoding", encoding);
            n.setAttribute("root", rootName);
        }
    }
    if (!encoding.empty() && !replaced)
        top.insertBefore(schema.createProcessingInstruction("xml", declaration), top.child(0));
}

std::string OutputEncodingOf(const xml::Document& schema) {
    const std::string enc = convert::attributeValue(schema.documentElement(), "encoding");
    if (!enc.empty()) return enc;
    for (const xml::Node& n : schema.asNode().children())
        if (n.type() == xml::NodeType::ProcessingInstruction && n.name() == "xml")
            return declared(n.value(), "encoding");
    return {};
}

OutputNames::OutputNames(std::string_view encoding) : encoding_(encoding) {}

NameCheck OutputNames::check(std::string_view name) {
    if (!xml::detail::isQualifiedName(name)) return {NameFault::NotXml};
    // No prefix is ever declared in the output.
    if (name.find(':') != std::string_view::npos) return {NameFault::Prefixed};
    const auto* p = reinterpret_cast<const unsigned char*>(name.data());
    const auto* const end = p + name.size();
    while (p < end) {
        const Utf8Char d = decodeUtf8(p, end);
        if (!encoding_.canEncode(d.cp)) return {NameFault::NotInEncoding, d.cp};
        p += d.length;  // a valid name: every sequence is whole
    }
    return {};
}

std::string OutputNames::reason(const NameCheck& check) const {
    switch (check.fault) {
    case NameFault::None: return {};
    case NameFault::NotXml: return "XMLで使えない名前です";
    case NameFault::Prefixed: return "コロン（:）のある名前は使えません";
    case NameFault::NotInEncoding:
        return "エンコーディング " + encoding_.name() + " で書けない文字" + character(check.character) + "があります";
    }
    return {};
}

std::string OutputNames::reason(std::string_view name) { return reason(check(name)); }

std::string UnusableNameReason(std::string_view name, std::string_view encoding) {
    return OutputNames(encoding).reason(name);
}

SchemaCheck CheckSchemaNodes(const std::vector<xml::Node>& elements, std::string_view rootName,
                             std::string_view encoding) {
    if (elements.size() > kMaxInt16) throw overflowError();
    SchemaCheck result;
    for (std::size_t i = 0; i < elements.size(); ++i) {
        if ((result.fault = ruleFault(elements[i], i + 1, result.bound))) return result;
    }

    // The names the output is built with, as the generator reads them: the
    // root name, the record element's (the top element's) and those of the
    // element and attribute nodes.
    OutputNames names(encoding);
    const auto nameFault = [&](std::string_view name, const std::string& what, std::size_t position) {
        const NameCheck check = names.check(name);
        if (check.usable()) return false;
        result.fault = SchemaFault{names.reason(check) + "：\r\n" + what + "「" + std::string(name) + "」", position};
        return true;
    };
    if (nameFault(rootName, kRootNameBox, 0)) return result;
    for (std::size_t i = 0; i < elements.size(); ++i) {
        const std::string kind = elements[i].name();
        if (i > 0 && kind != "element" && kind != "attribute") continue;
        std::string name = convert::attributeValue(elements[i], "name");
        if (name.empty()) name = i == 0 || kind == "element" ? "Element" : "Attribute";
        if (nameFault(name, kind, i + 1)) return result;
    }
    return result;
}

std::int16_t DataSourceNumber(std::string_view value) {
    const Int16Result column = parseInt16(value);
    if (column.status == NumberStatus::NotANumber) throw RuntimeError(err::TypeMismatch, DataSourceProblem(value, 0));
    if (column.status == NumberStatus::OutOfRange) throw RuntimeError(err::Overflow, DataSourceProblem(value, 0));
    return column.value;
}

std::string DataSourceProblem(std::string_view value, std::size_t columns) {
    const std::string named = "データソース「" + std::string(value) + "」";
    const Int16Result column = parseInt16(value);
    if (column.status == NumberStatus::NotANumber) return named + "は数値ではありません。" + kExpectedColumn;
    if (column.status == NumberStatus::OutOfRange) return named + "は範囲外の数値です。" + kExpectedColumn;
    if (column.value < 1) return named + "に当たる列はありません。列の番号は1から数えます。";
    if (columns > 0 && static_cast<std::size_t>(column.value) > columns) {
        return named + "に当たる列はありません。プレビュー中のCSVは" + std::to_string(columns) + "列です。";
    }
    return {};
}

std::optional<SchemaFault> CheckDataSources(const std::vector<xml::Node>& elements, std::size_t columns) {
    for (std::size_t i = 0; i < elements.size(); ++i) {
        const xml::Node& node = elements[i];
        const std::string kind = node.name();
        if (kind == "element") continue;
        // Read as the converter reads it.
        const std::optional<std::string> value = convert::findAttributeValue(node, "datasource");
        if (!value) continue;
        const std::string problem = DataSourceProblem(*value, columns);
        if (problem.empty()) continue;
        const std::string name = kind == "attribute" ? "「" + convert::attributeValue(node, "name") + "」" : "";
        return SchemaFault{problem + "：\r\n" + kind + name + "\r\n変換するとエラーの文字列が入ります。このまま保存しますか？",
                           i + 1};
    }
    return std::nullopt;
}

}  // namespace trelmo
