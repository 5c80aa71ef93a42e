#include "engine/convert/convert_plan.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <string>

#include "engine/csv/csv.h"
#include "engine/csv/csv_scan.h"
#include "engine/error.h"
#include "engine/xsd/xml_namespace.h"

namespace trelmo::convert {
namespace {

bool equalsLowered(std::string_view name, std::string_view key) {
    if (name.size() != key.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        char c = name[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != key[i]) return false;
    }
    return true;
}

const xml::Attribute* findAttribute(const std::vector<xml::Attribute>& attributes, std::string_view key) {
    for (const auto& attribute : attributes) {
        if (equalsLowered(attribute.name, key)) return &attribute;
    }
    return nullptr;
}

// Only elements are schema nodes: a processing instruction named like a kind
// (<?text?>) is not one.
std::optional<Kind> kindOf(const xml::Node& node) {
    if (node.type() != xml::NodeType::Element) return std::nullopt;
    const std::string name = node.name();
    if (equalsLowered(name, "element")) return Kind::Element;
    if (equalsLowered(name, "attribute")) return Kind::Attribute;
    if (equalsLowered(name, "text")) return Kind::Text;
    if (equalsLowered(name, "cdatasection")) return Kind::CData;
    if (equalsLowered(name, "comment")) return Kind::Comment;
    return std::nullopt;
}

// A data source is a field's number, counted from 1; the 16-bit lowest
// number has no field either.
void compileSource(PlanNode& node, const std::string& text) {
    const Int16Result column = parseInt16(text);
    node.noField = "Error: No field (" + text + ") .";
    if (column.status != NumberStatus::Ok) {
        node.source = PlanNode::Source::Fixed;
        node.fixed = "Error: (" + text + ") is not a number.";
    } else if (column.value == std::numeric_limits<std::int16_t>::min() || column.value < 1) {
        node.source = PlanNode::Source::Fixed;
        node.fixed = node.noField;
    } else {
        node.source = PlanNode::Source::Field;
        node.field = static_cast<std::size_t>(column.value - 1);
    }
}

// Elements in the subtree of node, node included: its share of "//*".
std::size_t elementsIn(const xml::Node& node) {
    std::size_t count = 1;
    for (const xml::Node& child : node.children()) {
        if (child.type() == xml::NodeType::Element) count += elementsIn(child);
    }
    return count;
}

// `position` is that of schemaNode in "//*"; it leaves the position of the
// last element below it.
std::vector<PlanNode> compileChildren(const xml::Node& schemaNode, std::size_t& position) {
    std::vector<PlanNode> plan;
    // The children listed at once: indexed access, interleaved with the
    // recursion below, would walk the list again for every child.
    for (const xml::Node& child : schemaNode.children()) {
        const std::optional<Kind> kind = kindOf(child);
        if (!kind) {
            if (child.type() == xml::NodeType::Element) position += elementsIn(child);
            continue;
        }
        PlanNode node;
        node.kind = *kind;
        node.position = ++position;
        const auto attributes = child.attributes();
        if (node.kind == Kind::Element || node.kind == Kind::Attribute) {
            const xml::Attribute* name = findAttribute(attributes, "name");
            node.name = name ? name->value : std::string();
            if (node.name.empty()) node.name = node.kind == Kind::Element ? "Element" : "Attribute";
        }
        if (node.kind != Kind::Element) {
            const xml::Attribute* source = findAttribute(attributes, "datasource");
            const xml::Attribute* value = findAttribute(attributes, "value");
            // The data source wins; an empty one counts as none beside a fixed value.
            if (source && (!value || !source->value.empty())) {
                compileSource(node, source->value);
            } else if (value) {
                node.source = PlanNode::Source::Value;
                node.fixed = value->value;
            }
        }
        if (child.hasChildNodes()) node.children = compileChildren(child, position);
        plan.push_back(std::move(node));
    }
    return plan;
}

// Marks the attributes that a later one of the same name replaces on the
// element `attributes` belongs to (an attribute's children act on it too).
void markReplaced(std::vector<PlanNode>& nodes, std::vector<PlanNode*>& attributes) {
    for (PlanNode& node : nodes) {
        if (node.kind == Kind::Element) {
            std::vector<PlanNode*> own;
            markReplaced(node.children, own);
        } else if (node.kind == Kind::Attribute) {
            const auto same = std::find_if(attributes.begin(), attributes.end(),
                                           [&](const PlanNode* earlier) { return earlier->name == node.name; });
            if (same == attributes.end()) {
                attributes.push_back(&node);
            } else {
                (*same)->replaced = true;
                *same = &node;
            }
            markReplaced(node.children, attributes);
        }
    }
}

}  // namespace

std::optional<std::string> findAttributeValue(const xml::Node& node, std::string_view key) {
    const auto attributes = node.attributes();
    const xml::Attribute* found = findAttribute(attributes, key);
    if (!found) return std::nullopt;
    return found->value;
}

std::string attributeValue(const xml::Node& node, std::string_view key) {
    return findAttributeValue(node, key).value_or(std::string());
}

Plan compilePlan(const xml::Node& top) {
    Plan plan;
    plan.encoding = attributeValue(top, "encoding");
    plan.xmlNamespace = attributeValue(top, "namespace");
    plan.rootName = attributeValue(top, "root");
    if (plan.rootName.empty()) plan.rootName = "Root";
    plan.recordName = attributeValue(top, "name");
    if (plan.recordName.empty()) plan.recordName = "Element";
    plan.topHasChildren = top.hasChildNodes();
    std::size_t position = 1;  // the top element's
    plan.nodes = compileChildren(top, position);
    std::vector<PlanNode*> attributes;
    markReplaced(plan.nodes, attributes);
    return plan;
}

const char* kindName(Kind kind) {
    switch (kind) {
    case Kind::Element: return "element";
    case Kind::Attribute: return "attribute";
    case Kind::Text: return "text";
    case Kind::CData: return "cdatasection";
    case Kind::Comment: return "comment";
    }
    return "";
}

namespace {

// A fixed value, or the error text of a data source that is no number, is
// the same in every record: checked once, its error naming the node rather
// than a record. A replaced attribute's value is never written.
void checkFixedValue(const PlanNode& node, xml::ContentCheck& check) {
    const bool value = node.source == PlanNode::Source::Value;
    if ((!value && node.source != PlanNode::Source::Fixed) || node.replaced) return;
    try {
        if (node.kind == Kind::Attribute) {
            check.attributeValue(node.name, node.fixed);
        } else {
            check.value(leafOf(node.kind), node.fixed);
        }
    } catch (const RuntimeError& e) {
        std::string label = kindName(node.kind);
        if (node.kind == Kind::Attribute) label += "「" + node.name + "」";
        throw SchemaValueError(e.number(),
                               "スキーマの " + std::to_string(node.position) + " 番目のノード（" + label + "）の" +
                                   (value ? "固定値" : "データソース") + ": " + e.description(),
                               node.position);
    }
}

// In the order CreateXML makes the nodes; `below` is the leaf whose children
// these are, if any.
void checkNodes(const std::vector<PlanNode>& nodes, xml::ContentCheck& check,
                std::optional<xml::ContentCheck::Leaf> below) {
    for (const PlanNode& node : nodes) {
        switch (node.kind) {
        case Kind::Element:
            check.elementName(node.name);
            if (below) check.childOf(*below, false);
            checkNodes(node.children, check, std::nullopt);
            break;
        case Kind::Attribute:
            if (below) check.childOf(*below, true);
            check.attributeName(node.name);
            checkFixedValue(node, check);
            checkNodes(node.children, check, below);
            break;
        case Kind::Text:
        case Kind::CData:
        case Kind::Comment:
            if (below) check.childOf(*below, false);
            checkFixedValue(node, check);
            checkNodes(node.children, check, leafOf(node.kind));
            break;
        }
    }
}

}  // namespace

void checkPlan(const Plan& plan, xml::ContentCheck& check) {
    check.elementName(plan.rootName);
    check.elementName(plan.recordName);
    if (!plan.xmlNamespace.empty()) {
        xsd::checkNamespace(plan.xmlNamespace);
        check.attributeValue("xmlns", plan.xmlNamespace);
    }
    checkNodes(plan.nodes, check, std::nullopt);
}

xml::ContentCheck::Leaf leafOf(Kind kind) {
    switch (kind) {
    case Kind::CData:
        return xml::ContentCheck::Leaf::CData;
    case Kind::Comment:
        return xml::ContentCheck::Leaf::Comment;
    default:
        return xml::ContentCheck::Leaf::Text;
    }
}

// One pass with the errors of GetFieldCount (which scans the whole record
// before GetFieldItems stores anything, so GetFieldItems itself never fails).
void RecordFields::split() {
    fields_.clear();
    const bool closed = csv_scan::scanFields(record_, [this](std::string_view field) {
        fields_.push_back(csv_detail::StripFieldQuotesView(field, cp932_));
    });
    if (!closed) throw invalidArgumentError();
    split_ = true;
}

}  // namespace trelmo::convert
