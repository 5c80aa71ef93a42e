#pragma once
// One record element written straight to a streamed save, byte for byte as the
// nodes CreateXML builds for it would be saved: an element's attributes (each
// name once, where it was first set, with the value set last) come before its
// content, whatever their order in the schema.

#include <cstddef>
#include <string>
#include <vector>

#include "engine/convert_plan.h"
#include "engine/xml/stream_save.h"

namespace trelmo::convert {

class RecordWriter {
public:
    // `plan` must outlive the writer and build without errors (see CreateXML).
    explicit RecordWriter(const Plan& plan);

    void write(xml::StreamedSave& out, RecordFields& fields) const;
    // Whether building a record looks at its fields (and so splits it).
    bool splitsRecords() const { return splits_; }

private:
    struct Item {
        Kind kind;
        const PlanNode* node;
        std::size_t element;  // for Kind::Element: its index in elements_
    };
    struct Element {
        const std::string* name;
        std::vector<const PlanNode*> attributes;
        std::vector<Item> content;
    };

    void collect(const std::vector<PlanNode>& nodes, std::size_t into);
    void writeElement(xml::StreamedSave& out, const Element& element, RecordFields& fields) const;

    std::vector<Element> elements_;  // the record element first
    bool splits_ = false;
};

}  // namespace trelmo::convert
