#pragma once
// The check before a schema is saved, step by step, for the editor's save and
// for the XML preview: the root name given, the window's root name and
// encoding written into the schema, the rule of each node kind, and the names
// the output is built with. A schema that passes is one the converter reads
// back and converts; one that fails is reported with the message the editor
// shows and the element at fault.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/xml/dom.h"
#include "engine/xml/encoding.h"

namespace trelmo {

inline constexpr const char* kRootPlaceholder = "ルートノードの要素名";
inline constexpr const char* kNoRootName = "ルートノードの要素名を入力してください。";
inline constexpr const char* kNoSchemaElement = "スキーマに要素がありません。";
inline constexpr const char* kNothingBound =
    "データソースが一つも設定されていません。\r\nデータが挿入されませんがよろしいですか？";
// How the messages name the root-name box.
inline constexpr const char* kRootNameBox = "最上位の要素名";

// Step 1: a root name is given (not empty, not the placeholder).
bool RootNameGiven(std::string_view rootName);

// Step 2: the root name and the encoding written into the schema as a save
// writes them: with an encoding, the declaration names it (replaced, or added
// first) and the top element carries it; every top-level element takes the
// root name. An encoding the writer cannot use raises its error before
// anything changes; more than 32,767 top-level nodes raise the overflow error.
void ApplySaveSettings(xml::Document& schema, std::string_view rootName, std::string_view encoding);

// The encoding the output's declaration names, as the generator picks it: the
// top element's, else the schema's own declaration's; empty for UTF-8.
std::string OutputEncodingOf(const xml::Document& schema);

// Step 4 for one name: whether it can name an element or an attribute of an
// output written in an encoding, and why not.
enum class NameFault { None, NotXml, Prefixed, NotInEncoding };

struct NameCheck {
    NameFault fault = NameFault::None;
    char32_t character = 0;  // for NotInEncoding: the character the encoding cannot hold
    bool usable() const { return fault == NameFault::None; }
};

class OutputNames {
public:
    // `encoding` as a declaration names it, empty for UTF-8. Raises the
    // encoding error for a name the writer cannot use.
    explicit OutputNames(std::string_view encoding);

    NameCheck check(std::string_view name);
    // Why the name cannot be used, one sentence without a full stop; empty
    // when it can.
    std::string reason(std::string_view name);
    std::string reason(const NameCheck& check) const;

private:
    xml::detail::OutputEncoding encoding_;
};

// One name checked on its own; empty when it can be used.
std::string UnusableNameReason(std::string_view name, std::string_view encoding);

// Steps 3 and 4 on a schema whose settings are written (step 2): every
// element in document order ("//*", the top element first) must follow the
// rule of its kind (a value kind takes a data source or a fixed value
// `Value`, not both); then the root name and every name the output is built
// with must be usable. The first fault found is the result.
struct SchemaFault {
    std::string message;       // as the save check shows it
    std::size_t node = 0;      // the element at fault, 1-based in "//*"; 0 for the root-name box
    bool selectFirst = false;  // the node is selected before the message comes up
};

struct SchemaCheck {
    std::optional<SchemaFault> fault;
    int bound = 0;  // attribute, text, comment and cdatasection nodes with a data source (not a fixed value)
};

// `elements` is "//*" of the schema (more than 32,767 raise the overflow
// error); `encoding` the output's (OutputEncodingOf).
SchemaCheck CheckSchemaNodes(const std::vector<xml::Node>& elements, std::string_view rootName,
                             std::string_view encoding);

// A data source's value read as a column number, counted from 1 at the left,
// to be stored as the decimal text of a 16-bit integer. Raises the
// type-mismatch or overflow error, its description naming the value and what
// is expected.
std::int16_t DataSourceNumber(std::string_view value);

// Why a data source's value names no column of a record: not a number, below
// 1, or beyond `columns` (the previewed CSV's; 0 when none is open). One or
// two sentences naming the value; empty when it names a column.
std::string DataSourceProblem(std::string_view value, std::size_t columns);

// Step 5, for a schema that passed steps 3 and 4: the first node whose data
// source converts into error text instead of a field ("Error: No field (0) ."),
// with the message naming the node and the value and asking whether to save
// anyway. The save goes on only when told to.
std::optional<SchemaFault> CheckDataSources(const std::vector<xml::Node>& elements, std::size_t columns);

}  // namespace trelmo
