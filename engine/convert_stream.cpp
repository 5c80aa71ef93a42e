#include "engine/convert_stream.h"

namespace trelmo::convert {

RecordWriter::RecordWriter(const Plan& plan) {
    elements_.push_back(Element{&plan.recordName, {}, {}});
    if (plan.topHasChildren) collect(plan.nodes, 0);
}

// An attribute node and its children act on the element it stands in; the
// children of character data never get here (CreateXML refuses them).
void RecordWriter::collect(const std::vector<PlanNode>& nodes, std::size_t into) {
    for (const PlanNode& node : nodes) {
        switch (node.kind) {
        case Kind::Element: {
            const std::size_t child = elements_.size();
            elements_.push_back(Element{&node.name, {}, {}});
            elements_[into].content.push_back(Item{Kind::Element, &node, child});
            collect(node.children, child);
            break;
        }
        case Kind::Attribute: {
            splits_ = true;
            auto& attributes = elements_[into].attributes;
            bool replaced = false;
            for (const PlanNode*& existing : attributes) {
                if (existing->name == node.name) {
                    existing = &node;
                    replaced = true;
                    break;
                }
            }
            if (!replaced) attributes.push_back(&node);
            collect(node.children, into);
            break;
        }
        case Kind::Text:
        case Kind::CData:
        case Kind::Comment:
            splits_ = true;
            elements_[into].content.push_back(Item{node.kind, &node, 0});
            break;
        }
    }
}

void RecordWriter::write(xml::StreamedSave& out, RecordFields& fields) const {
    writeElement(out, elements_.front(), fields);
}

void RecordWriter::writeElement(xml::StreamedSave& out, const Element& element, RecordFields& fields) const {
    out.startElement(*element.name);
    for (const PlanNode* attribute : element.attributes) {
        out.attribute(attribute->name, dataSourceValue(*attribute, fields));
    }
    for (const Item& item : element.content) {
        switch (item.kind) {
        case Kind::Element:
            writeElement(out, elements_[item.element], fields);
            break;
        case Kind::Text:
            out.text(dataSourceValue(*item.node, fields));
            break;
        case Kind::CData:
            out.cdata(dataSourceValue(*item.node, fields));
            break;
        case Kind::Comment:
            out.comment(dataSourceValue(*item.node, fields));
            break;
        case Kind::Attribute:
            break;
        }
    }
    out.endElement();
}

}  // namespace trelmo::convert
