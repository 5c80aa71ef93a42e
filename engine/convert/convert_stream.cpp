#include "engine/convert/convert_stream.h"

namespace trelmo::convert {

RecordWriter::RecordWriter(const Plan& plan) {
    elements_.push_back(Element{&plan.recordName, {}, {}});
    if (plan.topHasChildren) collect(plan.nodes, 0);
    values_.resize(leaves_.size());
}

// An attribute node and its children act on the element it stands in; leaves
// have no children here (the plan's check refuses them).
void RecordWriter::collect(const std::vector<PlanNode>& nodes, std::size_t into) {
    for (const PlanNode& node : nodes) {
        if (node.kind == Kind::Element) {
            const std::size_t child = elements_.size();
            elements_.push_back(Element{&node.name, {}, {}});
            elements_[into].content.push_back(Item{Kind::Element, child});
            collect(node.children, child);
            continue;
        }
        const std::size_t leaf = leaves_.size();
        leaves_.push_back(&node);
        if (node.kind != Kind::Attribute) {
            elements_[into].content.push_back(Item{node.kind, leaf});
            continue;
        }
        bool replaced = false;
        for (std::size_t& existing : elements_[into].attributes) {
            if (leaves_[existing]->name == node.name) {
                existing = leaf;
                replaced = true;
                break;
            }
        }
        if (!replaced) elements_[into].attributes.push_back(leaf);
        collect(node.children, into);
    }
}

void RecordWriter::write(xml::ElementWriter& out, RecordFields& fields, xml::ContentCheck& check) {
    for (std::size_t k = 0; k < leaves_.size(); ++k) {
        const PlanNode& leaf = *leaves_[k];
        const std::string_view value = dataSourceValue(leaf, fields);
        if (leaf.kind == Kind::Attribute) {
            check.attributeValue(leaf.name, value);
        } else {
            check.value(leafOf(leaf.kind), value);
        }
        values_[k] = value;
    }
    writeElement(out, elements_.front());
}

bool RecordWriter::writePlain(xml::ElementWriter& out, RecordFields& fields) {
    for (std::size_t k = 0; k < leaves_.size(); ++k) {
        const std::string_view value = dataSourceValue(*leaves_[k], fields);
        if (!xml::ContentCheck::isPlain(value)) return false;
        values_[k] = value;
    }
    writeElement(out, elements_.front());
    return true;
}

void RecordWriter::writeElement(xml::ElementWriter& out, const Element& element) const {
    out.startElement(*element.name);
    for (const std::size_t attribute : element.attributes) out.attribute(leaves_[attribute]->name, values_[attribute]);
    for (const Item& item : element.content) {
        switch (item.kind) {
        case Kind::Element:
            writeElement(out, elements_[item.index]);
            break;
        case Kind::Text:
            out.text(values_[item.index]);
            break;
        case Kind::CData:
            out.cdata(values_[item.index]);
            break;
        case Kind::Comment:
            out.comment(values_[item.index]);
            break;
        case Kind::Attribute:
            break;
        }
    }
    out.endElement();
}

}  // namespace trelmo::convert
