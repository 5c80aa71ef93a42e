#include "engine/convert2xml.h"

#include <cstdint>
#include <limits>

#include "engine/csv.h"
#include "engine/error.h"
#include "engine/text/number.h"

namespace trelmo {
namespace {

enum class Kind { Element, Attribute, Text, CData, Comment, Other };

std::string lowerAscii(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return result;
}

Kind kindOf(const xml::Node& node) {
    const std::string name = lowerAscii(node.name());
    if (name == "element") return Kind::Element;
    if (name == "attribute") return Kind::Attribute;
    if (name == "text") return Kind::Text;
    if (name == "cdatasection") return Kind::CData;
    if (name == "comment") return Kind::Comment;
    return Kind::Other;
}

// Value of the first attribute whose lower-cased name equals key.
const xml::Attribute* findAttribute(const std::vector<xml::Attribute>& attributes, std::string_view key) {
    for (const auto& attribute : attributes) {
        if (lowerAscii(attribute.name) == key) return &attribute;
    }
    return nullptr;
}

std::string attributeValue(const xml::Node& node, std::string_view key) {
    const auto attributes = node.attributes();
    const xml::Attribute* found = findAttribute(attributes, key);
    return found ? found->value : std::string();
}

// One schema node, read once: what to build for every record.
struct PlanNode {
    Kind kind = Kind::Other;
    std::string name;
    bool hasSource = false;
    std::string sourceText;  // the data source as written
    Int16Result column;      // the data source as a number
    std::vector<PlanNode> children;
};

std::vector<PlanNode> compileChildren(const xml::Node& schemaNode) {
    std::vector<PlanNode> plan;
    const std::size_t count = schemaNode.childCount();
    for (std::size_t j = 0; j < count; ++j) {
        const xml::Node child = schemaNode.child(j);
        PlanNode node;
        node.kind = kindOf(child);
        if (node.kind == Kind::Other) continue;
        const auto attributes = child.attributes();
        if (node.kind == Kind::Element || node.kind == Kind::Attribute) {
            const xml::Attribute* name = findAttribute(attributes, "name");
            node.name = name ? name->value : std::string();
            if (node.name.empty()) node.name = node.kind == Kind::Element ? "Element" : "Attribute";
        }
        if (node.kind != Kind::Element) {
            if (const xml::Attribute* source = findAttribute(attributes, "datasource")) {
                node.hasSource = true;
                node.sourceText = source->value;
                node.column = parseInt16(source->value);
            }
        }
        if (child.hasChildNodes()) node.children = compileChildren(child);
        plan.push_back(std::move(node));
    }
    return plan;
}

// The fields of one record, split once on first use.
class RecordFields {
public:
    RecordFields(const CSV& csv, const std::string& record) : csv_(csv), record_(record) {}

    const std::vector<std::string>& fields() {
        if (!split_) {
            std::int16_t count = csv_.GetFieldCount(record_);
            fields_ = csv_.GetFieldItems(record_, count);
            split_ = true;
        }
        return fields_;
    }

private:
    const CSV& csv_;
    const std::string& record_;
    std::vector<std::string> fields_;
    bool split_ = false;
};

std::string dataSourceValue(const PlanNode& node, RecordFields& record) {
    const std::vector<std::string>& fields = record.fields();
    if (!node.hasSource) return {};
    if (node.column.status != NumberStatus::Ok) return "Error: (" + node.sourceText + ") is not a number.";
    const int index = node.column.value - 1;
    if (node.column.value == std::numeric_limits<std::int16_t>::min() || index < 0 ||
        static_cast<std::size_t>(index) >= fields.size()) {
        return "Error: No field (" + node.sourceText + ") .";
    }
    return fields[static_cast<std::size_t>(index)];
}

void addChildNodes(xml::Document& doc, xml::Node& parent, const std::vector<PlanNode>& plan,
                   RecordFields& record) {
    for (const PlanNode& node : plan) {
        xml::Node created;
        switch (node.kind) {
        case Kind::Element:
            created = parent.appendChild(doc.createElement(node.name));
            break;
        case Kind::Attribute:
            parent.setAttribute(node.name, dataSourceValue(node, record));
            created = parent;
            break;
        case Kind::Text:
            created = parent.appendChild(doc.createTextNode(dataSourceValue(node, record)));
            break;
        case Kind::CData:
            created = parent.appendChild(doc.createCDATASection(dataSourceValue(node, record)));
            break;
        case Kind::Comment:
            created = parent.appendChild(doc.createComment(dataSourceValue(node, record)));
            break;
        case Kind::Other:
            continue;
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
    const CSV csv;

    CSV2XMLDoc.appendChild(declarationFor(schemaXML, CSV2XMLDoc, attributeValue(top, "encoding")));

    std::string rootName = attributeValue(top, "root");
    if (rootName.empty()) rootName = "Root";
    xml::Node root = CSV2XMLDoc.createElement(rootName);

    const std::size_t highest = MyCSV.empty() ? 0 : MyCSV.size() - 1;
    progress_.setMinimum(0);
    progress_.setMaximum(static_cast<float>(highest));
    if (highest > static_cast<std::size_t>(std::numeric_limits<std::int16_t>::max())) throw overflowError();

    std::string recordName = attributeValue(top, "name");
    if (recordName.empty()) recordName = "Element";
    const std::vector<PlanNode> plan = compileChildren(top);
    const bool topHasChildren = top.hasChildNodes();

    for (std::size_t i = 0; i <= highest && !MyCSV.empty(); ++i) {
        progress_.setValue(static_cast<float>(i));
        xml::Node record = root.appendChild(CSV2XMLDoc.createElement(recordName));
        if (topHasChildren) {
            RecordFields fields(csv, MyCSV[i]);
            addChildNodes(CSV2XMLDoc, record, plan, fields);
        }
        progress_.yield();
        // The record counter is 16-bit: stepping past the last index overflows.
        if (i == static_cast<std::size_t>(std::numeric_limits<std::int16_t>::max())) throw overflowError();
    }
    CSV2XMLDoc.appendChild(root);
}

}  // namespace trelmo
