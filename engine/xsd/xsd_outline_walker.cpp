#include "engine/xsd/xsd_outline_walker.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace trelmo::xsd::detail {
namespace {

using xml::detail::text;
using xml::detail::XmlString;

struct Occurs {
    std::uint32_t min = 1;
    std::uint32_t max = 1;
};

std::uint32_t product(std::uint32_t a, std::uint32_t b) {
    if (a == kUnbounded || b == kUnbounded) return a == 0 || b == 0 ? 0 : kUnbounded;
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(std::uint64_t{a} * b, kUnbounded - 1));
}

std::uint32_t count(const xmlNode* node, const char* name) {
    const std::string value = prop(node, name);
    if (value == "unbounded") return kUnbounded;
    if (value.empty() || value.find_first_not_of("0123456789") != std::string::npos) return 1;
    std::uint64_t n = 0;
    for (const char c : value) n = std::min<std::uint64_t>(n * 10 + static_cast<std::uint64_t>(c - '0'), kUnbounded - 1);
    return static_cast<std::uint32_t>(n);
}

// How often a particle occurs, given how often what holds it occurs.
Occurs within(const Occurs& outer, const xmlNode* particle) {
    const std::uint32_t min = count(particle, "minOccurs");
    return {std::min(product(outer.min, min), kUnbounded - 1), product(outer.max, count(particle, "maxOccurs"))};
}

std::string collapsed(const std::string& value) {
    std::string result;
    bool blank = false;
    for (const char c : value) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            blank = !result.empty();
            continue;
        }
        if (blank) result += ' ';
        blank = false;
        result += c;
    }
    return result;
}

// The text of the declaration's xs:documentation (a Japanese one first), else of its xs:appinfo.
std::string labelOf(const xmlNode* declaration) {
    std::string documentation;
    std::string appinfo;
    for (const xmlNode* annotation : xsChildren(declaration)) {
        if (!isXs(annotation, "annotation")) continue;
        for (const xmlNode* part : xsChildren(annotation)) {
            const bool isDocumentation = isXs(part, "documentation");
            if (!isDocumentation && !isXs(part, "appinfo")) continue;
            const XmlString content(xmlNodeGetContent(part));
            const std::string value = collapsed(text(content.get()));
            if (value.empty()) continue;
            if (!isDocumentation) {
                if (appinfo.empty()) appinfo = value;
                continue;
            }
            const XmlString lang(xmlNodeGetLang(part));
            if (std::string_view(text(lang.get())).substr(0, 2) == "ja") return value;
            if (documentation.empty()) documentation = value;
        }
    }
    return documentation.empty() ? appinfo : documentation;
}

bool isParticle(const xmlNode* node) {
    return isXs(node, "element") || isXs(node, "sequence") || isXs(node, "choice") || isXs(node, "all") ||
           isXs(node, "group") || isXs(node, "any");
}

bool isGlobal(const xmlNode* node) { return isXs(node->parent, "schema"); }

// What a choice's branch is called in a note.
std::string branchName(const xmlNode* branch) {
    if (isXs(branch, "element")) return hasProp(branch, "ref") ? prop(branch, "ref") : prop(branch, "name");
    if (isXs(branch, "group")) return "グループ " + prop(branch, "ref");
    for (const xmlNode* child : xsChildren(branch)) {
        if (isParticle(child)) return branchName(child);  // a sequence's first particle
    }
    return "xs:" + std::string(text(branch->name));
}

std::string namespaceText(const std::string& ns) { return ns.empty() ? "（名前空間なし）" : ns; }

// Expands declarations into outline nodes, keeping to the bounds.
class Walker {
public:
    Walker(const XsdFiles& files, std::vector<std::string>& notes, std::string rootNamespace)
        : files_(files), notes_(notes), rootNamespace_(std::move(rootNamespace)) {}

    std::optional<OutlineNode> element(const xmlNode* particle, Occurs occurs);

private:
    void note(std::string text) {
        if (std::find(notes_.begin(), notes_.end(), text) == notes_.end()) notes_.push_back(std::move(text));
    }
    bool recurs(const xmlNode* definition) const {
        return std::count(open_.begin(), open_.end(), definition) >= XsdOutline::kRecursionBound;
    }
    // Counts one node more, or one step of the walk; false, with a note, past
    // the bound (groups that hold each other twice over would never end).
    bool counted(bool node) {
        if (nodes_ < XsdOutline::kNodeBound && ++steps_ <= kStepBound) return nodes_ += node ? 1 : 0, true;
        note("ノードが多すぎるため、" + std::to_string(XsdOutline::kNodeBound) + " 個より後は省きました。");
        return false;
    }
    const xmlNode* resolved(Component kind, const xmlNode* where, const char* attribute, const char* what);
    void content(const xmlNode* type, OutlineNode& into, std::vector<OutlineNode>& attributes,
                 std::vector<OutlineNode>* elements);
    void derivation(const xmlNode* content, OutlineNode& into, std::vector<OutlineNode>& attributes,
                    std::vector<OutlineNode>* elements);
    void particle(const xmlNode* node, const Occurs& outer, std::vector<OutlineNode>& into);
    void attributeItem(const xmlNode* node, std::vector<OutlineNode>& into);
    void attribute(const xmlNode* node, std::vector<OutlineNode>& into);

    const XsdFiles& files_;
    std::vector<std::string>& notes_;
    std::string rootNamespace_;
    std::vector<const xmlNode*> open_;  // the types and groups being expanded, outermost first
    std::string current_;               // the element being expanded
    int depth_ = 0;
    std::size_t nodes_ = 0;
    std::size_t steps_ = 0;
    static constexpr std::size_t kStepBound = XsdOutline::kNodeBound * 100;
};

// The global component a reference names; a note and null when the XSD has none.
const xmlNode* Walker::resolved(Component kind, const xmlNode* where, const char* attribute, const char* what) {
    const std::string value = prop(where, attribute);
    const xmlNode* found = files_.find(kind, files_.resolve(where, value));
    if (!found) note(std::string(what) + " " + value + " が XSD にないため省きました。");
    return found;
}

std::optional<OutlineNode> Walker::element(const xmlNode* particle, Occurs occurs) {
    const xmlNode* declaration = particle;
    OutlineNode node;
    node.label = labelOf(particle);
    if (hasProp(particle, "ref")) {
        declaration = resolved(Component::Element, particle, "ref", "要素");
        if (!declaration) return std::nullopt;
        if (node.label.empty()) node.label = labelOf(declaration);
    }
    node.name = prop(declaration, "name");
    node.minOccurs = occurs.min;
    node.maxOccurs = occurs.max;
    const bool global = isGlobal(declaration);
    const bool qualified = global || (hasProp(declaration, "form") ? prop(declaration, "form") == "qualified"
                                                                   : files_.qualifiedByDefault(declaration, true));
    if (qualified) node.namespaceUri = files_.namespaceOf(declaration);
    if (global) {
        if (const auto* substitutes = files_.substitutesFor({node.namespaceUri, node.name})) {
            std::string names;
            for (const std::string& name : *substitutes) names += (names.empty() ? "" : "、") + name;
            note("要素 " + node.name + " の代わりに置ける要素（" + names + "）は省きました。");
        }
    }
    if (prop(declaration, "abstract") == "true") {
        note("要素 " + node.name + " は抽象要素 (abstract) のため省きました。");
        return std::nullopt;
    }
    if (depth_ >= XsdOutline::kDepthBound) {
        note("要素 " + node.name + " は入れ子が深すぎるため省きました。");
        return std::nullopt;
    }
    if (!counted(true)) return std::nullopt;
    if (!qualified && !rootNamespace_.empty()) {
        note("この XSD は内側の要素を名前空間なしとしています (elementFormDefault)。出力のすべての要素は名前空間 " +
             rootNamespace_ + " に入るため、一致しないことがあります。");
    } else if (node.namespaceUri != rootNamespace_) {
        note("要素 " + node.name + " の名前空間 " + namespaceText(node.namespaceUri) + " は最上位の要素の名前空間 " +
             namespaceText(rootNamespace_) + " と異なります。出力は一致しないことがあります。");
    }
    if (hasProp(declaration, "fixed")) node.fixed = prop(declaration, "fixed");

    const xmlNode* type = nullptr;
    if (hasProp(declaration, "type")) {
        const QName name = files_.resolve(declaration, prop(declaration, "type"));
        if (name.ns != kXsdNamespace && !(type = files_.find(Component::ComplexType, name)) &&
            !files_.find(Component::SimpleType, name)) {
            note("型 " + prop(declaration, "type") + " が XSD にないため、要素 " + node.name + " は文字だけの要素としました。");
        }
    } else {
        for (const xmlNode* child : xsChildren(declaration)) {
            if (isXs(child, "complexType")) type = child;
        }
    }
    if (!type) {
        node.simpleContent = true;
        return node;
    }
    if (recurs(type)) {
        note("要素 " + node.name + " は自身を含むため、" + std::to_string(XsdOutline::kRecursionBound) +
             " 段より深くは省きました。");
        return std::nullopt;
    }
    open_.push_back(type);
    ++depth_;
    std::string outer = std::exchange(current_, node.name);
    std::vector<OutlineNode> attributes;
    std::vector<OutlineNode> elements;
    content(type, node, attributes, &elements);
    current_ = std::move(outer);
    --depth_;
    open_.pop_back();
    node.children = std::move(attributes);
    std::move(elements.begin(), elements.end(), std::back_inserter(node.children));
    if (!node.simpleContent) node.fixed.reset();
    return node;
}

// The content of a complex type; `elements` null keeps only its attributes.
void Walker::content(const xmlNode* type, OutlineNode& into, std::vector<OutlineNode>& attributes,
                     std::vector<OutlineNode>* elements) {
    if (prop(type, "mixed") == "true") into.simpleContent = true;
    for (const xmlNode* child : xsChildren(type)) {
        if (isXs(child, "simpleContent")) {
            into.simpleContent = true;
            derivation(child, into, attributes, elements);
        } else if (isXs(child, "complexContent")) {
            if (prop(child, "mixed") == "true") into.simpleContent = true;
            derivation(child, into, attributes, elements);
        } else if (isParticle(child)) {
            if (elements) particle(child, {}, *elements);
        } else {
            attributeItem(child, attributes);
        }
    }
}

// An extension's base content comes first; a restriction restates the
// base's particles but keeps its attributes.
void Walker::derivation(const xmlNode* content, OutlineNode& into, std::vector<OutlineNode>& attributes,
                        std::vector<OutlineNode>* elements) {
    for (const xmlNode* step : xsChildren(content)) {
        const bool extension = isXs(step, "extension");
        if (!extension && !isXs(step, "restriction")) continue;
        const QName base = files_.resolve(step, prop(step, "base"));
        if (base.ns != kXsdNamespace) {
            if (const xmlNode* baseType = files_.find(Component::ComplexType, base)) {
                if (!recurs(baseType)) {
                    open_.push_back(baseType);
                    this->content(baseType, into, attributes, extension ? elements : nullptr);
                    open_.pop_back();
                }
            } else if (!files_.find(Component::SimpleType, base)) {
                note("型 " + prop(step, "base") + " が XSD にないため省きました。");
            }
        }
        for (const xmlNode* child : xsChildren(step)) {
            if (isParticle(child)) {
                if (elements) particle(child, {}, *elements);
            } else {
                attributeItem(child, attributes);
            }
        }
    }
}

void Walker::particle(const xmlNode* node, const Occurs& outer, std::vector<OutlineNode>& into) {
    const Occurs occurs = within(outer, node);
    if (occurs.max == 0) return;
    if (!counted(false)) return;
    if (isXs(node, "element")) {
        if (auto element = this->element(node, occurs)) into.push_back(std::move(*element));
    } else if (isXs(node, "sequence") || isXs(node, "all")) {
        for (const xmlNode* child : xsChildren(node)) {
            if (isParticle(child)) particle(child, occurs, into);
        }
    } else if (isXs(node, "choice")) {
        std::vector<const xmlNode*> branches = xsChildren(node);
        std::erase_if(branches, [](const xmlNode* n) { return !isParticle(n); });
        if (branches.empty()) return;
        if (branches.size() > 1) {
            note("要素 " + current_ + " の選択 (xs:choice) は最初の選択肢 " + branchName(branches.front()) + " にしました。");
        }
        particle(branches.front(), occurs, into);
    } else if (isXs(node, "group")) {
        const xmlNode* group = resolved(Component::Group, node, "ref", "グループ");
        if (!group || recurs(group)) return;
        open_.push_back(group);
        for (const xmlNode* child : xsChildren(group)) {
            if (isParticle(child)) particle(child, occurs, into);
        }
        open_.pop_back();
    } else {
        note("要素 " + current_ + " の xs:any（任意の要素）は省きました。");
    }
}

void Walker::attributeItem(const xmlNode* node, std::vector<OutlineNode>& into) {
    if (!counted(false)) return;
    if (isXs(node, "attribute")) {
        attribute(node, into);
    } else if (isXs(node, "attributeGroup")) {
        const xmlNode* group = resolved(Component::AttributeGroup, node, "ref", "属性グループ");
        if (!group || recurs(group)) return;
        open_.push_back(group);
        for (const xmlNode* child : xsChildren(group)) attributeItem(child, into);
        open_.pop_back();
    } else if (isXs(node, "anyAttribute")) {
        note("要素 " + current_ + " の xs:anyAttribute（任意の属性）は省きました。");
    }
}

void Walker::attribute(const xmlNode* node, std::vector<OutlineNode>& into) {
    const xmlNode* declaration = node;
    OutlineNode attribute;
    attribute.kind = OutlineNode::Kind::Attribute;
    attribute.label = labelOf(node);
    if (hasProp(node, "ref")) {
        declaration = resolved(Component::Attribute, node, "ref", "属性");
        if (!declaration) return;
        if (attribute.label.empty()) attribute.label = labelOf(declaration);
    }
    attribute.name = prop(declaration, "name");
    const bool qualified = isGlobal(declaration) || (hasProp(declaration, "form") ? prop(declaration, "form") == "qualified"
                                                                                   : files_.qualifiedByDefault(declaration, false));
    if (qualified) attribute.namespaceUri = files_.namespaceOf(declaration);
    const std::string use = prop(node, "use");
    attribute.minOccurs = use == "required" ? 1 : 0;
    if (hasProp(node, "fixed")) {
        attribute.fixed = prop(node, "fixed");
    } else if (hasProp(declaration, "fixed")) {
        attribute.fixed = prop(declaration, "fixed");
    }
    // A later declaration of the same attribute (a restriction's) replaces the earlier.
    const auto same = std::find_if(into.begin(), into.end(), [&](const OutlineNode& a) {
        return a.name == attribute.name && a.namespaceUri == attribute.namespaceUri;
    });
    if (use == "prohibited") {
        if (same != into.end()) into.erase(same);
        return;
    }
    if (!counted(true)) return;
    if (!attribute.namespaceUri.empty()) {
        note("属性 " + attribute.name + " は名前空間 " + attribute.namespaceUri +
             " に属しますが、出力の属性は名前空間を持ちません。出力は一致しないことがあります。");
    }
    if (same != into.end()) {
        *same = std::move(attribute);
    } else {
        into.push_back(std::move(attribute));
    }
}

}  // namespace

std::optional<OutlineNode> expandElement(const XsdFiles& files, const xmlNode* declaration, std::string rootNamespace,
                                         std::vector<std::string>& notes) {
    return Walker(files, notes, std::move(rootNamespace)).element(declaration, {});
}

}  // namespace trelmo::xsd::detail
