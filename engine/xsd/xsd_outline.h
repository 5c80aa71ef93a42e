#pragma once
// The outline of an XSD: its global elements, and for one of them the tree
// of elements and attributes an instance holds, as a schema built from the
// XSD gives it. Types, extensions, groups, attribute groups and references
// are resolved; includes and imports are read from local files only. Where
// the XSD offers a choice the first branch is taken; wildcards, substitution
// groups and recursion past a bound are left out, each with a note.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trelmo::xsd {

inline constexpr std::uint32_t kUnbounded = UINT32_MAX;

struct OutlineNode {
    enum class Kind { Element, Attribute };
    Kind kind = Kind::Element;
    std::string name;          // the local name
    std::string namespaceUri;  // empty for an unqualified name
    std::string label;         // from xs:documentation, else xs:appinfo; blanks collapsed
    std::optional<std::string> fixed;
    // How often it occurs within its parent element, groups taken into
    // account; an attribute occurs 0..1, or 1..1 when required.
    std::uint32_t minOccurs = 1;
    std::uint32_t maxOccurs = 1;  // kUnbounded for "unbounded"
    bool simpleContent = false;   // an element that holds text: simple or mixed content
    std::vector<OutlineNode> children;  // attributes first, then elements, in the XSD's order

    bool isElement() const { return kind == Kind::Element; }
    bool required() const { return minOccurs > 0; }
    bool repeats() const { return maxOccurs > 1; }
};

struct OutlineTree {
    OutlineNode root;
    std::vector<std::string> notes;  // what was left out or chosen, in Japanese, each once
};

namespace detail {
class XsdFiles;
}

class XsdOutline {
public:
    // Reads the XSD and the files it includes and imports. Raises the
    // file-access error, naming the file, for one that cannot be read or is
    // no XSD.
    explicit XsdOutline(const std::string& path);
    ~XsdOutline();
    XsdOutline(XsdOutline&&) noexcept;
    XsdOutline& operator=(XsdOutline&&) noexcept;

    const std::string& path() const { return path_; }
    const std::string& targetNamespace() const;
    // The global elements of the target namespace that may be a document's
    // root, in the XSD's order; the first is the default root.
    std::vector<std::string> globalElements() const;
    // The tree below a global element; an empty tree (no name) when the XSD
    // has no such element.
    OutlineTree tree(std::string_view rootElement) const;

    // Bounds of the tree: how often a type may recur on one path, how deep
    // elements nest and how many nodes one tree holds.
    static constexpr int kRecursionBound = 2;
    static constexpr int kDepthBound = 40;
    static constexpr std::size_t kNodeBound = 5000;

private:
    std::string path_;
    std::unique_ptr<detail::XsdFiles> files_;
};

// The element that repeats once per record by default: the first element
// below the root, in document order, that may occur more than once; else the
// root's first child element; else none.
const OutlineNode* defaultRecordElement(const OutlineNode& root);

}  // namespace trelmo::xsd
