#include "ui/editor/column_uses.h"

#include <algorithm>

#include "engine/convert/convert_plan.h"

namespace trelmo::ui {

namespace {

using convert::Kind;
using convert::PlanNode;

void collect(const std::vector<PlanNode>& nodes, const std::string& path,
             std::vector<std::vector<std::string>>& uses) {
    for (const PlanNode& node : nodes) {
        if (node.kind == Kind::Element) {
            collect(node.children, path + "/" + node.name, uses);
            continue;
        }
        if (node.source == PlanNode::Source::Field && node.field < uses.size()) {
            const std::string place = node.kind == Kind::Attribute ? path + "/@" + node.name : path;
            uses[node.field].push_back(convert::kindName(node.kind) + (" " + place));
        }
        collect(node.children, path, uses);
    }
}

}  // namespace

std::vector<std::vector<std::string>> columnUses(const xml::Document& schema, int columns) {
    std::vector<std::vector<std::string>> uses(static_cast<std::size_t>(std::max(columns, 0)));
    const xml::Node top = schema.documentElement();
    if (!top) return uses;
    const convert::Plan plan = convert::compilePlan(top);
    collect(plan.nodes, "/" + plan.recordName, uses);
    return uses;
}

}  // namespace trelmo::ui
