#include "engine/xsd/record_shape.h"

namespace trelmo::xsd {

using convert::Kind;
using convert::PlanNode;

RecordShape::RecordShape(const convert::Plan& plan) {
    elements_.emplace_back();
    if (plan.topHasChildren) collect(plan.nodes, 0);
}

// As the writer does: an attribute node and its children act on the element
// it stands in; a replaced attribute writes no value of its own.
void RecordShape::collect(const std::vector<PlanNode>& nodes, std::size_t into) {
    for (const PlanNode& node : nodes) {
        const bool fromField = node.source == PlanNode::Source::Field;
        switch (node.kind) {
        case Kind::Element: {
            const std::size_t element = elements_.size();
            elements_.emplace_back();
            elements_[into].children.push_back(element);
            collect(node.children, element);
            continue;
        }
        case Kind::Attribute:
            if (!node.replaced) elements_[into].attributes.emplace_back(node.name, fromField ? node.field : kNone);
            collect(node.children, into);
            continue;
        case Kind::Text:
        case Kind::CData:
            if (elements_[into].textLeaves++ == 0 && fromField) elements_[into].textField = node.field;
            break;
        case Kind::Comment:
            break;
        }
    }
}

std::size_t RecordShape::child(std::size_t element, std::size_t ordinal) const {
    if (element >= elements_.size()) return kNone;
    const auto& children = elements_[element].children;
    return ordinal < children.size() ? children[ordinal] : kNone;
}

std::size_t RecordShape::attributeField(std::size_t element, std::string_view name) const {
    if (element >= elements_.size()) return kNone;
    for (const auto& [attribute, field] : elements_[element].attributes) {
        if (attribute == name) return field;
    }
    return kNone;
}

std::size_t RecordShape::textField(std::size_t element) const {
    if (element >= elements_.size() || elements_[element].textLeaves != 1) return kNone;
    return elements_[element].textField;
}

}  // namespace trelmo::xsd
