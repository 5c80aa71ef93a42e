#include "engine/convert/convert2xml.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>

#include "engine/convert/convert_plan.h"
#include "engine/convert/convert_stream.h"
#include "engine/convert/header_records.h"
#include "engine/convert/record_chunks.h"
#include "engine/error.h"
#include "engine/xml/content_check.h"
#include "engine/xml/stream_save.h"

namespace trelmo {
namespace {

using convert::Kind;
using convert::PlanNode;
using convert::RecordFields;

// The record's values are checked before (RecordWriter::checkValues); a
// replaced attribute gets no value of its own, only its place.
void addChildNodes(xml::Document& doc, xml::Node& parent, const std::vector<PlanNode>& plan, RecordFields& record) {
    for (const PlanNode& node : plan) {
        xml::Node created;
        if (node.kind == Kind::Element) {
            created = parent.appendChild(doc.createElement(node.name));
        } else {
            const std::string_view value = convert::dataSourceValue(node, record);
            switch (node.kind) {
            case Kind::Attribute:
                parent.setAttribute(node.name, node.replaced ? std::string_view() : value);
                created = parent;
                break;
            case Kind::Text:
                created = parent.appendChild(doc.createTextNode(value));
                break;
            case Kind::CData:
                created = parent.appendChild(doc.createCDATASection(value));
                break;
            case Kind::Comment:
                created = parent.appendChild(doc.createComment(value));
                break;
            case Kind::Element:
                break;
            }
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
// declaration appended, everything that does not depend on a record checked
// (so that the records meet only their own errors, in record order), the root
// made, the progress range set. The header records are skipped: the limit
// and the progress count only the records converted.
struct Start {
    convert::Plan plan;
    std::unique_ptr<xml::ContentCheck> check;
    xml::Node root;
    std::size_t header;   // records of the file skipped before the first converted
    std::size_t highest;  // of the records converted
};

Start begin(xml::Document& schemaXML, xml::Document& out, std::size_t records, ProgressSink& progress) {
    const xml::Node top = schemaXML.documentElement();
    if (!top) throw RuntimeError(err::XmlDom, "スキーマに最上位の要素がありません。");
    const std::size_t header = std::min(HeaderRecordsOf(top), records);
    convert::Plan plan = convert::compilePlan(top);

    out.appendChild(declarationFor(schemaXML, out, plan.encoding));
    auto check = std::make_unique<xml::ContentCheck>(out);
    convert::checkPlan(plan, *check);
    xml::Node root = out.createElement(plan.rootName);

    const std::size_t converted = records - header;
    const std::size_t highest = converted == 0 ? 0 : converted - 1;
    progress.setMinimum(0);
    progress.setMaximum(static_cast<float>(highest));
    if (highest > kMaxIndex) throw overflowError();
    return {std::move(plan), std::move(check), root, header, highest};
}

// Builds each record converted in turn with the progress reports and the
// yield; the record counter is 16-bit, so stepping past the last index
// overflows. build gets the record and its index in the file.
template <typename Build>
void eachRecord(const std::vector<std::string>& csvRecords, const Start& start, ProgressSink& progress, Build build) {
    for (std::size_t i = 0; i <= start.highest && start.header + i < csvRecords.size(); ++i) {
        progress.setValue(static_cast<float>(i));
        build(csvRecords[start.header + i], start.header + i);
        progress.yield();
        if (i == kMaxIndex) throw overflowError();
    }
}

// The records converted written into the streamed save, which then replaces
// the destination.
bool writeAndCommit(xml::StreamedSave& out, const Start& start, std::span<const std::string_view> records,
                    const Cp932Decoder* cp932, ProgressSink& progress, const std::function<void()>& committing,
                    OutputCheck* check) {
    convert::RecordSteps steps;
    steps.before = [&progress](std::size_t i) { progress.setValue(static_cast<float>(i)); };
    steps.after = [&progress](std::size_t i) {
        progress.yield();
        if (i == kMaxIndex) throw overflowError();
    };
    convert::writeRecords(out, start.plan, records.subspan(start.header), start.header, cp932, *start.check, steps);
    if (committing) committing();
    if (!check) return out.commit();
    return out.commit([check] { return check->accept(); });
}

xml::StreamedSave::Options saveOptions(const Start& start, OutputCheck* check) {
    return {start.plan.xmlNamespace, check};
}

}  // namespace

void Convert2XML::CreateXML(xml::Document& schemaXML, xml::Document& output,
                            const std::vector<std::string>& csvRecords) {
    Start start = begin(schemaXML, output, csvRecords.size(), progress_);
    const convert::Plan& plan = start.plan;
    const convert::RecordWriter order(plan);  // the order in which the records' values are checked
    RecordFields fields;
    eachRecord(csvRecords, start, progress_, [&](const std::string& text, std::size_t index) {
        xml::Node record = start.root.appendChild(output.createElement(plan.recordName));
        if (plan.topHasChildren) {
            fields.reset(text);
            order.checkValues(fields, *start.check, index);
            addChildNodes(output, record, plan.nodes, fields);
        }
    });
    if (!plan.xmlNamespace.empty()) start.root.setAttribute("xmlns", plan.xmlNamespace);
    output.appendChild(start.root);
}

bool Convert2XML::WriteXML(xml::Document& schemaXML, const std::vector<std::string>& csvRecords,
                           const std::string& path, const std::function<void()>& committing, OutputCheck* check) {
    const std::vector<std::string_view> records(csvRecords.begin(), csvRecords.end());
    xml::Document head;  // the output's top level, its records written as they are made
    const Start start = begin(schemaXML, head, records.size(), progress_);
    head.appendChild(start.root);
    xml::StreamedSave out(head, path, saveOptions(start, check));
    return writeAndCommit(out, start, records, nullptr, progress_, committing, check);
}

bool Convert2XML::WriteRecords(xml::Document& schemaXML, CsvRecords& csv, const std::string& path,
                               const std::function<void()>& committing, OutputCheck* check) {
    xml::Document head;
    const Start start = begin(schemaXML, head, csv.records().size(), progress_);
    head.appendChild(start.root);
    xml::StreamedSave out(head, path, saveOptions(start, check));
    const Cp932Decoder* cp932 = nullptr;
    if (csv.cp932()) {
        if (out.encodesByTable()) {
            cp932 = Cp932Decoder::instance();
        } else {
            csv.decode();
        }
    }
    return writeAndCommit(out, start, csv.records(), cp932, progress_, committing, check);
}

}  // namespace trelmo
