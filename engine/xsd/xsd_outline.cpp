#include "engine/xsd/xsd_outline.h"

#include <algorithm>

#include "engine/xsd/xsd_outline_files.h"
#include "engine/xsd/xsd_outline_walker.h"

namespace trelmo::xsd {

using namespace detail;

XsdOutline::XsdOutline(const std::string& path) : path_(path), files_(std::make_unique<XsdFiles>(path)) {}
XsdOutline::~XsdOutline() = default;
XsdOutline::XsdOutline(XsdOutline&&) noexcept = default;
XsdOutline& XsdOutline::operator=(XsdOutline&&) noexcept = default;

const std::string& XsdOutline::targetNamespace() const { return files_->targetNamespace(); }

std::vector<std::string> XsdOutline::globalElements() const {
    std::vector<std::string> names;
    for (const xmlNode* element : files_->globalElements()) names.push_back(prop(element, "name"));
    return names;
}

OutlineTree XsdOutline::tree(std::string_view rootElement) const {
    OutlineTree tree;
    const xmlNode* root = files_->find(Component::Element, {targetNamespace(), std::string(rootElement)});
    if (!root) return tree;
    tree.notes = files_->notes();
    if (auto node = expandElement(*files_, root, targetNamespace(), tree.notes)) tree.root = std::move(*node);
    return tree;
}

namespace {

const OutlineNode* firstRepeating(const OutlineNode& node) {
    for (const OutlineNode& child : node.children) {
        if (!child.isElement()) continue;
        if (child.repeats()) return &child;
        if (const OutlineNode* below = firstRepeating(child)) return below;
    }
    return nullptr;
}

}  // namespace

const OutlineNode* defaultRecordElement(const OutlineNode& root) {
    if (const OutlineNode* repeating = firstRepeating(root)) return repeating;
    const auto first = std::find_if(root.children.begin(), root.children.end(),
                                    [](const OutlineNode& n) { return n.isElement(); });
    return first == root.children.end() ? nullptr : &*first;
}

}  // namespace trelmo::xsd
