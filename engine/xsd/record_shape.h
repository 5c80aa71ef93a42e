#pragma once
// Which CSV field each value of a record element comes from, read from the
// plan: the record element and the elements below it, in the order they are
// written, with the field of each attribute and of the character data.

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/convert/convert_plan.h"

namespace trelmo::xsd {

class RecordShape {
public:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    RecordShape() = default;  // no fields known
    explicit RecordShape(const convert::Plan& plan);

    // Elements are numbered from the record element, 0; kNone for an element
    // the plan does not make.
    std::size_t child(std::size_t element, std::size_t ordinal) const;
    // The field of an attribute's value, or kNone.
    std::size_t attributeField(std::size_t element, std::string_view name) const;
    // The field of the element's character data when one field alone makes it, else kNone.
    std::size_t textField(std::size_t element) const;

private:
    struct Element {
        std::vector<std::size_t> children;
        std::vector<std::pair<std::string, std::size_t>> attributes;
        std::size_t textField = kNone;
        std::size_t textLeaves = 0;
    };
    void collect(const std::vector<convert::PlanNode>& nodes, std::size_t into);

    std::vector<Element> elements_;
};

}  // namespace trelmo::xsd
