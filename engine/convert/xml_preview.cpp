#include "engine/convert/xml_preview.h"

#include <algorithm>
#include <optional>

#include "engine/convert/conversion.h"
#include "engine/convert/convert_plan.h"
#include "engine/convert/convert2xml.h"
#include "engine/convert/header_records.h"
#include "engine/convert/schema_check.h"
#include "engine/csv/csv.h"
#include "engine/error.h"
#include "engine/xml/encoding.h"

namespace trelmo {
namespace {

void copyChildren(const xml::Node& from, xml::Node to, const xml::Document& doc) {
    for (const xml::Node& n : from.children()) {
        switch (n.type()) {
        case xml::NodeType::Element: {
            xml::Node e = to.appendChild(doc.createElement(n.name()));
            for (const xml::Attribute& a : n.attributes()) e.setAttribute(a.name, a.value);
            copyChildren(n, e, doc);
            break;
        }
        case xml::NodeType::Text: to.appendChild(doc.createTextNode(n.value())); break;
        case xml::NodeType::CData: to.appendChild(doc.createCDATASection(n.value())); break;
        case xml::NodeType::Comment: to.appendChild(doc.createComment(n.value())); break;
        case xml::NodeType::ProcessingInstruction:
            to.appendChild(doc.createProcessingInstruction(n.name(), n.value()));
            break;
        default: break;  // document types and entity references do not reach a conversion
        }
    }
}

// The first node that the save check passes but the generator cannot build: a
// node below a text, CDATA or comment node (every kind is known once the
// check passed). 1-based in "//*", 0 for none.
std::size_t belowCharacterData(const std::vector<xml::Node>& elements) {
    for (std::size_t i = 0; i < elements.size(); ++i) {
        const std::string kind = elements[i].name();
        if (kind != "text" && kind != "cdatasection" && kind != "comment") continue;
        for (const xml::Node& c : elements[i].children())
            if (c.type() == xml::NodeType::Element) return i + 1;
    }
    return 0;
}

}  // namespace

XmlPreview PreviewXML(const xml::Document& schema, std::string_view rootName, std::string_view encoding,
                      const std::vector<std::string>& records, std::size_t count) {
    XmlPreview result;
    const auto problem = [&](std::string text, std::size_t node = 0, bool root = false) {
        result.bytes.clear();
        result.problem = std::move(text);
        result.node = node;
        result.rootName = root;
        return result;
    };
    if (!schema.documentElement()) return problem(kNoSchemaElement);
    if (!RootNameGiven(rootName)) return problem(kNoRootName, 0, true);
    try {
        // The save check on a copy, which then becomes the schema file.
        xml::Document settled;
        copyChildren(schema.asNode(), settled.asNode(), settled);
        ApplySaveSettings(settled, rootName, encoding);
        const std::vector<xml::Node> elements = settled.documentElement().selectAllElements();
        const SchemaCheck check = CheckSchemaNodes(elements, rootName, OutputEncodingOf(settled));
        if (check.fault) return problem(check.fault->message, check.fault->node, check.fault->node == 0);
        // A header count that is no count points at the top element.
        const std::string headerText = convert::attributeValue(settled.documentElement(), "header");
        const std::optional<std::size_t> header = HeaderRecordsValue(headerText);
        if (!header) return problem(HeaderRecordsRefusal(headerText), 1);
        if (records.size() < *header + 2) return problem(kNoValidData);
        if (const std::size_t below = belowCharacterData(elements))
            return problem(elements[below - 1].name() + " の下にはノードを置けません。", below);

        // The schema file as the conversion reads it.
        xml::Document loaded;
        if (!loaded.loadXml(settled.xml())) throw RuntimeError(err::XmlDom, loaded.parseError().reason);
        result.encoding = OutputEncodingOf(loaded);

        // The header records, then count records converted.
        const std::vector<std::string> first(
            records.begin(), records.begin() + static_cast<std::ptrdiff_t>(std::min(*header + count, records.size())));
        NullProgress progress;
        xml::Document output;
        Convert2XML(progress).CreateXML(loaded, output, first);
        result.bytes = output.xml();
    } catch (const convert::SchemaValueError& e) {
        return problem(e.description(), e.node());
    } catch (const std::exception& e) {
        return problem(describeError(e));
    }
    return result;
}

PreviewCsv ReadPreviewCsv(const std::string& path, std::size_t keep) {
    PreviewCsv result;
    try {
        // One record past what a conversion takes, with the most header
        // records a schema may name, tells that there are more.
        const CsvRecords csv(path, {PreviewCsv::kMaxConvertedRecords + kMaxHeaderRecords + 1, false});
        const std::vector<std::string_view>& all = csv.records();
        result.total = all.size();
        // The records of a code page 932 file are its checked bytes: only
        // those kept are decoded.
        const Cp932Decoder* cp932 = csv.cp932() ? Cp932Decoder::instance() : nullptr;
        LargeBuffer decoded;
        for (std::size_t i = 0; i < std::min(keep, all.size()); ++i) {
            std::size_t length = all[i].size();
            if (cp932) cp932->decode(all[i], decoded, length);
            result.records.emplace_back(cp932 ? std::string_view(decoded.data(), length) : all[i]);
        }
    } catch (const RuntimeError& e) {
        result.records.clear();
        result.problem = e.description();
        return result;
    } catch (const std::bad_alloc&) {
        result.records.clear();
        result.problem = kOutOfMemory;
        return result;
    }
    // One record alone is not enough either, as for a conversion.
    if (result.total <= 1) result.problem = kNoValidData;
    return result;
}

std::size_t PreviewRecordsNeeded(const xml::Document& schema, std::size_t count) {
    const xml::Node top = schema.documentElement();
    if (!top) return count;
    // A value without a count: PreviewXML tells why the schema does not convert.
    return HeaderRecordsValue(convert::attributeValue(top, "header")).value_or(0) + count;
}

std::string DecodedText(const XmlPreview& preview) {
    return xml::detail::decodeLossy(preview.bytes, preview.encoding);
}

}  // namespace trelmo
