#include "ui/editor/xsd_facts.h"

#include "engine/convert/convert_plan.h"
#include "engine/error.h"
#include "engine/xsd/schema_from_xsd.h"
#include "ui/editor/schema_document.h"

namespace trelmo::ui {

namespace {

std::string lower(std::string text) {
    for (char& c : text) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    return text;
}

// The node's path below the top element, as the facts key it ("a/b",
// "a/@c"); nullopt for a node that is no element, attribute, text or CDATA.
std::optional<std::string> pathOf(const xml::Node& node, const xml::Node& top) {
    if (node == top) return std::string();
    const xml::Node parent = node.parent();
    if (!parent || parent.type() != xml::NodeType::Element) return std::nullopt;
    const std::string kind = lower(node.baseName());
    if (kind == "text" || kind == "cdatasection") return pathOf(parent, top);
    if (kind != "element" && kind != "attribute") return std::nullopt;
    const std::optional<std::string> above = pathOf(parent, top);
    if (!above) return std::nullopt;
    const std::string name = (kind == "attribute" ? "@" : "") + convert::attributeValue(node, "name");
    return above->empty() ? name : *above + "/" + name;
}

}  // namespace

XsdFacts::XsdFacts(SchemaDocument& document, QObject* parent) : QObject(parent), document_(document) {
    connect(&document_, &SchemaDocument::reset, this, &XsdFacts::reload);
    connect(&document_, &SchemaDocument::filePathChanged, this, &XsdFacts::reload);
    connect(&document_, &SchemaDocument::settingsChanged, this, [this](Setting which) {
        if (which == Setting::Xsd) reload();
    });
    // The top element's name is the record element.
    connect(&document_, &SchemaDocument::nodeChanged, this, [this](const xml::Node& element) {
        if (document_.doc() && element == document_.doc()->documentElement()) reload();
    });
}

std::optional<xsd::NodeFacts> XsdFacts::of(const xml::Node& node) const {
    if (facts_.empty() || !document_.doc()) return std::nullopt;
    const std::optional<std::string> path = pathOf(node, document_.doc()->documentElement());
    if (!path) return std::nullopt;
    const auto found = facts_.find(*path);
    if (found == facts_.end()) return std::nullopt;
    return found->second;
}

void XsdFacts::reload() {
    facts_.clear();
    readError_.clear();
    const auto& doc = document_.doc();
    if (doc && doc->documentElement()) {
        const std::string folder = xsd::schemaFolder(document_.filePath());
        try {
            facts_ = xsd::schemaXsdFacts(doc->documentElement(), folder).value_or(xsd::OutlineFacts{});
        } catch (const RuntimeError& error) {
            readError_ = error.description();  // told by the command that needs the facts
        }
    }
    emit changed();
}

}  // namespace trelmo::ui
