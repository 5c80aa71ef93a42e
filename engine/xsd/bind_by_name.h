#pragma once
// Binding a schema's leaves to CSV columns by name: a leaf without a data
// source takes the column whose title equals its element's name (a text
// node's element, an attribute's own name), or else its label in the XSD.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "engine/xml/dom.h"
#include "engine/xsd/xsd_outline.h"

namespace trelmo::xsd {

inline constexpr const char* kBindNeedsHeader =
    "列を名前で割り当てるには、CSV の見出し行（列名の行）が必要です。";

// What the XSD says of a node below the record element.
struct NodeFacts {
    std::string label;
    bool required = false;  // the XSD requires it, and every element between it and the record element
    bool operator==(const NodeFacts&) const = default;
};
// Keyed by the node's path below the record element: element names joined
// by "/", an attribute as "@name" after its element's path; "" is the record
// element itself.
using OutlineFacts = std::map<std::string, NodeFacts>;

OutlineFacts outlineFacts(const OutlineNode& record);
// The facts of the XSD that a schema's top element names in its `xsd`
// attribute (relative to the schema's folder), the root and record element
// taken from `root` and `name` (each in any letter case, as the converter
// reads them); nullopt when it names none. Raises the XSD's
// reading error.
std::optional<OutlineFacts> schemaXsdFacts(const xml::Node& top, const std::string& schemaFolder);

struct NameBinding {
    xml::Node leaf;           // an attribute, text or cdatasection node
    std::size_t column = 0;   // counted from 1
};

struct NameBindingPlan {
    std::vector<NameBinding> bindings;
    // Required leaves without a data source that no title names, as
    // "path「label」" (the label when there is one).
    std::vector<std::string> requiredWithoutColumn;
};

// The bindings for the leaves below `top` that have neither a data source
// (`DataSource` of any letter case, not blank) nor a fixed value (`Value`,
// any letter case). `titles` are the header line's fields; blanks around a
// title do not count, and the first of equal titles wins.
NameBindingPlan planBindingByName(const xml::Node& top, const std::vector<std::string>& titles,
                                  const OutlineFacts& facts);
// Writes the plan's data sources.
void applyBindings(const NameBindingPlan& plan);
// The message after binding: how many were bound, the required leaves left.
std::string bindingReport(const NameBindingPlan& plan);

}  // namespace trelmo::xsd
