#include "engine/xsd/bind_by_name.h"

#include <algorithm>
#include <filesystem>

#include "engine/convert/convert_plan.h"
#include "engine/xsd/schema_from_xsd.h"

namespace trelmo::xsd {
namespace {

// The highest data source the editor writes (a 16-bit signed number).
constexpr std::size_t kLastColumn = 32767;

std::string lower(std::string text) {
    for (char& c : text) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    return text;
}

std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::string below(const std::string& path, const std::string& name) { return path.empty() ? name : path + "/" + name; }

void addFacts(const OutlineNode& node, const std::string& path, bool required, OutlineFacts& facts) {
    facts[path] = {node.label, required};
    for (const OutlineNode& child : node.children) {
        const std::string childPath = child.isElement() ? below(path, child.name) : below(path, "@" + child.name);
        addFacts(child, childPath, required && child.required(), facts);
    }
}

struct Titles {
    std::vector<std::string> values;
    // The column a name or label stands for, 0 when none.
    std::size_t columnOf(const std::string& name) const {
        if (name.empty()) return 0;
        const auto found = std::find(values.begin(), values.end(), name);
        return found == values.end() ? 0 : static_cast<std::size_t>(found - values.begin()) + 1;
    }
};

class Planner {
public:
    Planner(const Titles& titles, const OutlineFacts& facts, NameBindingPlan& plan)
        : titles_(titles), facts_(facts), plan_(plan) {}

    // The leaves of an element whose name and path are given.
    void walk(const xml::Node& element, const std::string& name, const std::string& path) {
        for (const xml::Node& child : element.children()) {
            if (child.type() != xml::NodeType::Element) continue;
            const std::string kind = lower(child.baseName());
            const std::string childName = convert::attributeValue(child, "name");
            if (kind == "element") {
                walk(child, childName, below(path, childName));
            } else if (kind == "attribute") {
                leaf(child, childName, below(path, "@" + childName));
            } else if (kind == "text" || kind == "cdatasection") {
                leaf(child, name, path);
            }
        }
    }

private:
    void leaf(const xml::Node& node, const std::string& name, const std::string& path) {
        // The converter reads both names in any letter case; a blank data source is none.
        for (const xml::Attribute& a : node.attributes()) {
            const std::string name = lower(a.name);
            if ((name == "datasource" && !trimmed(a.value).empty()) || name == "value") return;
        }
        const auto facts = facts_.find(path);
        const NodeFacts known = facts == facts_.end() ? NodeFacts{} : facts->second;
        std::size_t column = titles_.columnOf(name);
        if (column == 0) column = titles_.columnOf(known.label);
        if (column != 0 && column <= kLastColumn) {
            plan_.bindings.push_back({node, column});
        } else if (known.required) {
            const std::string shown = path.empty() ? name : path;
            plan_.requiredWithoutColumn.push_back(known.label.empty() ? shown : shown + "「" + known.label + "」");
        }
    }

    const Titles& titles_;
    const OutlineFacts& facts_;
    NameBindingPlan& plan_;
};

const OutlineNode* findElement(const OutlineNode& node, const std::string& name) {
    for (const OutlineNode& child : node.children) {
        if (!child.isElement()) continue;
        if (child.name == name) return &child;
        if (const OutlineNode* found = findElement(child, name)) return found;
    }
    return nullptr;
}

}  // namespace

OutlineFacts outlineFacts(const OutlineNode& record) {
    OutlineFacts facts;
    addFacts(record, "", true, facts);
    return facts;
}

std::optional<OutlineFacts> schemaXsdFacts(const xml::Node& top, const std::string& schemaFolder) {
    const std::string named = convert::attributeValue(top, kXsdAttribute);
    if (named.empty()) return std::nullopt;
    std::filesystem::path path(named);
    if (path.is_relative() && !schemaFolder.empty()) path = std::filesystem::path(schemaFolder) / path;
    const XsdOutline outline(path.string());
    const OutlineTree tree = outline.tree(convert::attributeValue(top, "root"));
    const OutlineNode* record = findElement(tree.root, convert::attributeValue(top, "name"));
    return record ? outlineFacts(*record) : OutlineFacts{};
}

NameBindingPlan planBindingByName(const xml::Node& top, const std::vector<std::string>& titles,
                                  const OutlineFacts& facts) {
    Titles trimmedTitles;
    for (const std::string& title : titles) trimmedTitles.values.push_back(trimmed(title));
    NameBindingPlan plan;
    Planner(trimmedTitles, facts, plan).walk(top, convert::attributeValue(top, "name"), "");
    return plan;
}

void applyBindings(const NameBindingPlan& plan) {
    for (const NameBinding& binding : plan.bindings) {
        xml::Node leaf = binding.leaf;
        leaf.setAttribute("DataSource", std::to_string(binding.column));
    }
}

std::string bindingReport(const NameBindingPlan& plan) {
    std::string report = plan.bindings.empty()
                             ? std::string("名前の一致する列はありませんでした。")
                             : std::to_string(plan.bindings.size()) + " 個のノードに列を割り当てました。";
    if (!plan.requiredWithoutColumn.empty()) {
        report += "\r\n\r\n列が見つからない必須のノード:";
        for (const std::string& node : plan.requiredWithoutColumn) report += "\r\n  " + node;
    }
    return report;
}

}  // namespace trelmo::xsd
