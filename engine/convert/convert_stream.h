#pragma once
// One record element written straight to a streamed save, byte for byte as the
// nodes CreateXML builds for it would be saved: an element's attributes (each
// name once, where it was first set, with the value set last) come before its
// content, whatever their order in the schema.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "engine/convert/convert_plan.h"
#include "engine/xml/content_check.h"
#include "engine/xml/element_writer.h"

namespace trelmo::convert {

class RecordWriter {
public:
    // `plan` must outlive the writer, its names already checked.
    explicit RecordWriter(const Plan& plan);

    // The record's values are made and checked in schema order, as CreateXML
    // makes its nodes, before the element is written.
    void write(xml::ElementWriter& out, RecordFields& fields, xml::ContentCheck& check);
    // The same for a record whose values need no check beyond the quick one
    // (ContentCheck::isPlain); false, and nothing written, for any other.
    // Throws what splitting the record throws.
    bool writePlain(xml::ElementWriter& out, RecordFields& fields);

private:
    struct Item {
        Kind kind;
        std::size_t index;  // Kind::Element: into elements_; else into leaves_
    };
    struct Element {
        const std::string* name;
        std::vector<std::size_t> attributes;  // into leaves_
        std::vector<Item> content;
    };

    void collect(const std::vector<PlanNode>& nodes, std::size_t into);
    void writeElement(xml::ElementWriter& out, const Element& element) const;

    std::vector<Element> elements_;        // the record element first
    std::vector<const PlanNode*> leaves_;  // every node with a value, in schema order
    std::vector<std::string_view> values_;  // the current record's, by leaf
};

}  // namespace trelmo::convert
