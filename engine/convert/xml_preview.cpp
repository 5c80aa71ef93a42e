#include "engine/convert/xml_preview.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <optional>

#include "engine/convert/convert2xml.h"
#include "engine/error.h"
#include "engine/xml/encoding.h"
#include "engine/xml/names.h"
#include "engine/xml/utf8.h"

namespace trelmo {
namespace {

std::string lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

// The generator's attribute lookup: the first attribute whose lower-cased name is key.
std::string valueOf(const xml::Node& node, std::string_view key) {
    for (const xml::Attribute& a : node.attributes())
        if (lower(a.name) == key) return a.value;
    return {};
}

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

// The value of a pseudo-attribute in a declaration's data, e.g. encoding="…".
std::string declared(std::string_view data, std::string_view key) {
    const std::size_t at = data.find(std::string(key) + "=");
    if (at == std::string_view::npos || at + key.size() + 1 >= data.size()) return {};
    const char quote = data[at + key.size() + 1];
    const std::size_t from = at + key.size() + 2;
    const std::size_t to = data.find(quote, from);
    return to == std::string_view::npos ? std::string() : std::string(data.substr(from, to - from));
}

// The encoding the output's declaration will name, as the generator picks it.
std::string outputEncoding(const xml::Document& schema) {
    const std::string enc = valueOf(schema.documentElement(), "encoding");
    if (!enc.empty()) return enc;
    for (const xml::Node& n : schema.asNode().children())
        if (n.type() == xml::NodeType::ProcessingInstruction && n.name() == "xml")
            return declared(n.value(), "encoding");
    return {};
}

std::string codePoint(char32_t cp) {
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(cp));
    return text;
}

struct Fault {
    std::string text;
    std::size_t node = 0;
};

// Finds the schema element whose output the generator or the serialiser
// refuses: a name XML does not allow or the encoding cannot hold, or nodes
// below character data. Walks as the generator does, numbering every element.
class Diagnosis {
public:
    explicit Diagnosis(std::string encodingName) : encodingName_(std::move(encodingName)) {}

    std::optional<Fault> check(const xml::Node& top) {
        try {
            encoding_.emplace(encodingName_);
        } catch (const RuntimeError& e) {
            return Fault{e.description(), 0};
        }
        position_ = 1;
        if (auto f = checkName(valueOf(top, "root"), "Root", 1)) return f;
        if (auto f = checkName(valueOf(top, "name"), "Element", 1)) return f;
        return walk(top);
    }

private:
    std::optional<Fault> walk(const xml::Node& parent) {
        for (const xml::Node& child : parent.children()) {
            if (child.type() != xml::NodeType::Element) continue;
            const std::size_t here = ++position_;
            const std::string kind = lower(child.name());
            std::optional<Fault> f;
            if (kind == "element") {
                f = checkName(valueOf(child, "name"), "Element", here);
            } else if (kind == "attribute") {
                f = checkName(valueOf(child, "name"), "Attribute", here);
            } else if (kind == "text" || kind == "cdatasection" || kind == "comment") {
                if (hasBuiltChild(child))
                    f = Fault{child.name() + " の下にはノードを置けません。", here};
            } else {
                skip(child);  // the generator leaves it out with everything below
                continue;
            }
            if (f) return f;
            if (auto below = walk(child)) return below;
        }
        return std::nullopt;
    }

    // A child the generator would build below character data, which fails.
    static bool hasBuiltChild(const xml::Node& node) {
        static const char* const kinds[] = {"element", "attribute", "text", "cdatasection", "comment"};
        for (const xml::Node& c : node.children()) {
            if (c.type() != xml::NodeType::Element) continue;
            const std::string kind = lower(c.name());
            for (const char* k : kinds)
                if (kind == k) return true;
        }
        return false;
    }

    void skip(const xml::Node& node) {
        for (const xml::Node& c : node.children())
            if (c.type() == xml::NodeType::Element) {
                ++position_;
                skip(c);
            }
    }

    std::optional<Fault> checkName(const std::string& given, const char* fallback, std::size_t node) {
        const std::string name = given.empty() ? fallback : given;
        if (!xml::detail::isQualifiedName(name))
            return Fault{"名前「" + name + "」は XML の名前として使えません。", node};
        const auto* p = reinterpret_cast<const unsigned char*>(name.data());
        const auto* end = p + name.size();
        while (p < end) {
            const xml::detail::Decoded d = xml::detail::decodeUtf8(p, end);
            if (d.length == 0) break;
            if (!encoding_->canEncode(d.cp))
                return Fault{"名前「" + name + "」の文字 " + codePoint(d.cp) + " はエンコーディング " +
                                 encodingName_ + " で書けません。",
                             node};
            p += d.length;
        }
        return std::nullopt;
    }

    std::string encodingName_;
    std::optional<xml::detail::OutputEncoding> encoding_;
    std::size_t position_ = 0;
};

std::string describe(const std::exception& e) {
    const auto* runtime = dynamic_cast<const RuntimeError*>(&e);
    return runtime ? runtime->description() : std::string(e.what());
}

// The schema with the editor's save settings, as a new document.
xml::Document CopyWithSettings(const xml::Document& schema, std::string_view rootName,
                               std::string_view encoding) {
    xml::Document copy;
    copyChildren(schema.asNode(), copy.asNode(), copy);

    // As the editor's save check: the declaration names the encoding when one
    // is given, every top-level element takes the root name and the encoding.
    const std::string declaration = "version=\"1.0\" encoding=\"" + std::string(encoding) + "\"";
    xml::Node top = copy.asNode();
    bool replaced = false;
    for (const xml::Node& n : top.children()) {
        if (n.type() == xml::NodeType::ProcessingInstruction) {
            if (!encoding.empty() && n.name() == "xml") {
                top.replaceChild(copy.createProcessingInstruction("xml", declaration), n);
                replaced = true;
            }
        } else if (n.type() == xml::NodeType::Element) {
            xml::Node e = n;
            if (!encoding.empty()) e.setAttribute("encoding", encoding);
            e.setAttribute("root", rootName);
        }
    }
    if (!encoding.empty() && !replaced)
        top.insertBefore(copy.createProcessingInstruction("xml", declaration), top.child(0));
    return copy;
}

}  // namespace

XmlPreview PreviewXML(const xml::Document& schema, std::string_view rootName, std::string_view encoding,
                      const std::vector<std::string>& records, std::size_t count) {
    XmlPreview result;
    if (!schema.documentElement()) {
        result.problem = kPreviewNoElement;
        return result;
    }
    if (records.size() < 2) {
        result.problem = kPreviewFewRecords;
        return result;
    }
    std::optional<xml::Document> settled;
    try {
        settled = CopyWithSettings(schema, rootName, encoding);
        // The schema file as the conversion reads it.
        xml::Document loaded;
        if (!loaded.loadXml(settled->xml())) throw RuntimeError(err::XmlDom, loaded.parseError().reason);
        result.encoding = outputEncoding(loaded);

        const std::vector<std::string> first(records.begin(),
                                             records.begin() + static_cast<std::ptrdiff_t>(
                                                                   std::min(count, records.size())));
        NullProgress progress;
        xml::Document output;
        Convert2XML(progress).CreateXML(loaded, output, first);
        result.bytes = output.xml();
    } catch (const std::exception& e) {
        result.bytes.clear();
        result.problem = describe(e);
        if (settled && settled->documentElement()) {
            if (auto fault = Diagnosis(outputEncoding(*settled)).check(settled->documentElement())) {
                result.problem = fault->text;
                result.node = fault->node;
            }
        }
    }
    return result;
}

std::string DecodedText(const XmlPreview& preview) {
    return xml::detail::decodeLossy(preview.bytes, preview.encoding);
}

}  // namespace trelmo
