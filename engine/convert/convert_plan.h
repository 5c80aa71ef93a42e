#pragma once
// What the generator builds for every record, read once from the schema, and
// the fields of one record, split once.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/error.h"
#include "engine/text/cp932.h"
#include "engine/text/number.h"
#include "engine/xml/content_check.h"
#include "engine/xml/dom.h"

namespace trelmo::convert {

enum class Kind { Element, Attribute, Text, CData, Comment };
// The schema file's tag of a kind ("cdatasection" for CData).
const char* kindName(Kind kind);

// One schema node of a kind the generator knows; nodes of other names are
// left out with everything below them.
struct PlanNode {
    Kind kind = Kind::Element;
    std::string name;  // element and attribute names, defaults applied
    // What the node yields: nothing, a fixed text (the data source is no
    // number, or no field can have its number), a record's field, or the
    // schema's own fixed value (`Value`, for a node without a data source).
    enum class Source { None, Fixed, Field, Value };
    Source source = Source::None;
    std::size_t field = 0;   // Source::Field: the field's index
    std::string fixed;       // Source::Fixed and Source::Value: the value
    std::string noField;     // Source::Field: the value when the record has no such field
    // An attribute that a later one of the same name on the same element
    // replaces: its value is never written.
    bool replaced = false;
    std::size_t position = 0;  // 1-based in the schema's "//*", for messages
    std::vector<PlanNode> children;
};

// The schema's top element read once.
struct Plan {
    std::string encoding;    // the top element's `encoding`, may be empty
    std::string xmlNamespace;  // the top element's `namespace`: the root's default namespace, may be empty
    std::string rootName;    // defaults applied
    std::string recordName;  // defaults applied
    bool topHasChildren = false;
    std::vector<PlanNode> nodes;
};

// A value that the schema itself gives (a fixed value, a data source's error
// text) and the output cannot hold, with the node that gives it.
class SchemaValueError : public RuntimeError {
public:
    SchemaValueError(int number, std::string description, std::size_t node)
        : RuntimeError(number, std::move(description)), node_(node) {}
    std::size_t node() const noexcept { return node_; }  // 1-based in the schema's "//*"

private:
    std::size_t node_;
};

// Value of the first attribute whose lower-cased name equals key, else empty.
std::string attributeValue(const xml::Node& node, std::string_view key);
// The same, or nothing when there is no such attribute.
std::optional<std::string> findAttributeValue(const xml::Node& node, std::string_view key);

Plan compilePlan(const xml::Node& top);

// What building any record of the plan would refuse, whatever the record:
// names that XML or the output's encoding cannot hold, nodes below character
// data, and fixed values that cannot be written (the error then names the
// node). Throws the error that building and saving would raise.
void checkPlan(const Plan& plan, xml::ContentCheck& check);

// The kind of leaf a character-data node makes (not for elements and attributes).
xml::ContentCheck::Leaf leafOf(Kind kind);

// The fields of one record, split on first use with the errors of
// GetFieldCount and GetFieldItems; views into the record.
class RecordFields {
public:
    RecordFields() = default;
    // For records of code page 932 bytes.
    explicit RecordFields(const Cp932Decoder* cp932) : cp932_(cp932) {}

    void reset(std::string_view record) {
        record_ = record;
        split_ = false;
    }
    const std::vector<std::string_view>& fields() {
        if (!split_) split();
        return fields_;
    }

private:
    void split();

    std::string_view record_;
    std::vector<std::string_view> fields_;
    bool split_ = false;
    const Cp932Decoder* cp932_ = nullptr;
};

// The text that a node's data source yields for the record (any node splits the record).
inline std::string_view dataSourceValue(const PlanNode& node, RecordFields& record) {
    const std::vector<std::string_view>& fields = record.fields();
    switch (node.source) {
    case PlanNode::Source::None:
        return {};
    case PlanNode::Source::Fixed:
    case PlanNode::Source::Value:
        return node.fixed;
    case PlanNode::Source::Field:
        return node.field < fields.size() ? fields[node.field] : std::string_view(node.noField);
    }
    return {};
}

}  // namespace trelmo::convert
