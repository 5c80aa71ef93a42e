#include "engine/convert2xml.h"

#include <cstdint>
#include <limits>

#include "engine/convert_plan.h"
#include "engine/error.h"

namespace trelmo {
namespace {

using convert::Kind;
using convert::PlanNode;
using convert::RecordFields;

void addChildNodes(xml::Document& doc, xml::Node& parent, const std::vector<PlanNode>& plan,
                   RecordFields& record) {
    for (const PlanNode& node : plan) {
        xml::Node created;
        switch (node.kind) {
        case Kind::Element:
            created = parent.appendChild(doc.createElement(node.name));
            break;
        case Kind::Attribute:
            parent.setAttribute(node.name, convert::dataSourceValue(node, record));
            created = parent;
            break;
        case Kind::Text:
            created = parent.appendChild(doc.createTextNode(convert::dataSourceValue(node, record)));
            break;
        case Kind::CData:
            created = parent.appendChild(doc.createCDATASection(convert::dataSourceValue(node, record)));
            break;
        case Kind::Comment:
            created = parent.appendChild(doc.createComment(convert::dataSourceValue(node, record)));
            break;
        }
        if (!node.children.empty()) addChildNodes(doc, created, node.children, record);
    }
}

xml::Node declarationFor(xml::Document& schemaXML, xml::Document& out, const std::string& encoding) {
    if (!encoding.empty()) {
        return out.createProcessingInstruction("xml", "version=\"1.0\" encoding=\"" + encoding + "\"");
    }
    for (const xml::Node& node : schemaXML.asNode().children()) {
        if (node.typeString() == "processinginstruction" && node.name() == "xml") return node;
    }
    return out.createProcessingInstruction("xml", "version=\"1.0\"");
}

}  // namespace

void Convert2XML::CreateXML(xml::Document& schemaXML, xml::Document& CSV2XMLDoc,
                            const std::vector<std::string>& MyCSV) {
    const xml::Node top = schemaXML.documentElement();
    if (!top) throw RuntimeError(err::XmlDom, "スキーマに最上位の要素がありません。");
    const convert::Plan plan = convert::compilePlan(top);

    CSV2XMLDoc.appendChild(declarationFor(schemaXML, CSV2XMLDoc, plan.encoding));
    xml::Node root = CSV2XMLDoc.createElement(plan.rootName);

    const std::size_t highest = MyCSV.empty() ? 0 : MyCSV.size() - 1;
    progress_.setMinimum(0);
    progress_.setMaximum(static_cast<float>(highest));
    if (highest > static_cast<std::size_t>(std::numeric_limits<std::int16_t>::max())) throw overflowError();

    RecordFields fields;
    for (std::size_t i = 0; i <= highest && !MyCSV.empty(); ++i) {
        progress_.setValue(static_cast<float>(i));
        xml::Node record = root.appendChild(CSV2XMLDoc.createElement(plan.recordName));
        if (plan.topHasChildren) {
            fields.reset(MyCSV[i]);
            addChildNodes(CSV2XMLDoc, record, plan.nodes, fields);
        }
        progress_.yield();
        // The record counter is 16-bit: stepping past the last index overflows.
        if (i == static_cast<std::size_t>(std::numeric_limits<std::int16_t>::max())) throw overflowError();
    }
    CSV2XMLDoc.appendChild(root);
}

}  // namespace trelmo
