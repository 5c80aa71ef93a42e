#include "engine/convert2xml.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <limits>
#include <optional>

#include "engine/convert_plan.h"
#include "engine/convert_stream.h"
#include "engine/error.h"
#include "engine/xml/stream_save.h"

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

constexpr std::size_t kMaxIndex = static_cast<std::size_t>(std::numeric_limits<std::int16_t>::max());

// The steps before the first record: the schema read into a plan, the
// declaration appended, the root made, the progress range set.
struct Start {
    convert::Plan plan;
    xml::Node root;
    std::size_t highest;
};

Start begin(xml::Document& schemaXML, xml::Document& out, const std::vector<std::string>& MyCSV,
            ProgressSink& progress) {
    const xml::Node top = schemaXML.documentElement();
    if (!top) throw RuntimeError(err::XmlDom, "スキーマに最上位の要素がありません。");
    convert::Plan plan = convert::compilePlan(top);

    out.appendChild(declarationFor(schemaXML, out, plan.encoding));
    xml::Node root = out.createElement(plan.rootName);

    const std::size_t highest = MyCSV.empty() ? 0 : MyCSV.size() - 1;
    progress.setMinimum(0);
    progress.setMaximum(static_cast<float>(highest));
    if (highest > kMaxIndex) throw overflowError();
    return {std::move(plan), root, highest};
}

// Records with values that the DOM refuses as nodes are made (NUL characters,
// values too long for libxml2): only building the nodes fails exactly as
// CreateXML does.
bool needsNodes(const std::vector<std::string>& records) {
    return std::any_of(records.begin(), records.end(), [](const std::string& record) {
        return record.size() > static_cast<std::size_t>(INT_MAX) || record.find('\0') != std::string::npos;
    });
}

}  // namespace

void Convert2XML::CreateXML(xml::Document& schemaXML, xml::Document& CSV2XMLDoc,
                            const std::vector<std::string>& MyCSV) {
    Start start = begin(schemaXML, CSV2XMLDoc, MyCSV, progress_);
    const convert::Plan& plan = start.plan;
    xml::Node& root = start.root;
    const std::size_t highest = start.highest;

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
        if (i == kMaxIndex) throw overflowError();
    }
    CSV2XMLDoc.appendChild(root);
}

// The errors come in CreateXML's order, then save()'s: errors of the schema
// show in record 0, built as nodes; the record split, the only other step
// that can fail while building, is checked for the remaining records before
// an error of saving is passed on.
void Convert2XML::WriteXML(xml::Document& schemaXML, const std::vector<std::string>& MyCSV,
                           const std::string& path) {
    if (needsNodes(MyCSV)) {
        xml::Document output;
        CreateXML(schemaXML, output, MyCSV);
        output.save(path);
        return;
    }
    xml::Document head;  // the output's top level, its records written as they are made
    Start start = begin(schemaXML, head, MyCSV, progress_);
    const convert::Plan& plan = start.plan;
    xml::Node& root = start.root;
    const std::size_t highest = start.highest;

    RecordFields fields;
    if (!MyCSV.empty()) {
        progress_.setValue(0);
        xml::Node record = root.appendChild(head.createElement(plan.recordName));
        if (plan.topHasChildren) {
            fields.reset(MyCSV[0]);
            addChildNodes(head, record, plan.nodes, fields);
        }
        root.removeChild(record);
    }
    const convert::RecordWriter writer(plan);
    // What building records `from` onwards would raise; progress as CreateXML reports it.
    const auto buildErrors = [&](std::size_t from) {
        for (std::size_t i = from; i <= highest && !MyCSV.empty(); ++i) {
            progress_.setValue(static_cast<float>(i));
            if (writer.splitsRecords()) {
                fields.reset(MyCSV[i]);
                fields.fields();
            }
            progress_.yield();
        }
    };
    if (highest == kMaxIndex) {
        buildErrors(1);
        throw overflowError();
    }

    head.appendChild(root);
    std::optional<xml::StreamedSave> out;
    try {
        out.emplace(head, path);
    } catch (const RuntimeError&) {
        buildErrors(1);
        throw;
    }
    for (std::size_t i = 0; i <= highest && !MyCSV.empty(); ++i) {
        progress_.setValue(static_cast<float>(i));
        try {
            fields.reset(MyCSV[i]);
            writer.write(*out, fields);
        } catch (const RuntimeError&) {
            buildErrors(i);
            throw;
        }
        progress_.yield();
    }
    out->commit();
}

}  // namespace trelmo
