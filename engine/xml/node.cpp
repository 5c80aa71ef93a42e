// Node queries: type, names, value, children, attributes.
#include <cstring>

#include "engine/xml/doc_state.h"
#include "engine/xml/names.h"

namespace trelmo::xml {

using detail::text;

namespace {

xmlNode* nodeOf(void* p) { return static_cast<xmlNode*>(p); }

xmlNode* firstChild(const xmlNode* node) { return detail::holdsChildren(node) ? node->children : nullptr; }

std::size_t countChildren(const xmlNode* node) {
    std::size_t count = 0;
    for (xmlNode* c = firstChild(node); c; c = c->next) ++count;
    return count;
}

}  // namespace

NodeType Node::type() const {
    if (!node_) return NodeType::None;
    switch (nodeOf(node_)->type) {
    case XML_ELEMENT_NODE:
        return NodeType::Element;
    case XML_ATTRIBUTE_NODE:
    case XML_NAMESPACE_DECL:
        return NodeType::Attribute;
    case XML_TEXT_NODE:
        return NodeType::Text;
    case XML_CDATA_SECTION_NODE:
        return NodeType::CData;
    case XML_ENTITY_REF_NODE:
        return NodeType::EntityReference;
    case XML_ENTITY_NODE:
    case XML_ENTITY_DECL:
        return NodeType::Entity;
    case XML_PI_NODE:
        return NodeType::ProcessingInstruction;
    case XML_COMMENT_NODE:
        return NodeType::Comment;
    case XML_DOCUMENT_NODE:
    case XML_HTML_DOCUMENT_NODE:
        return NodeType::Document;
    case XML_DOCUMENT_TYPE_NODE:
    case XML_DTD_NODE:
        return NodeType::DocumentType;
    case XML_DOCUMENT_FRAG_NODE:
        return NodeType::DocumentFragment;
    case XML_NOTATION_NODE:
        return NodeType::Notation;
    default:
        return NodeType::None;
    }
}

std::string Node::typeString() const {
    switch (type()) {
    case NodeType::None:
        return {};
    case NodeType::Element:
        return "element";
    case NodeType::Attribute:
        return "attribute";
    case NodeType::Text:
        return "text";
    case NodeType::CData:
        return "cdatasection";
    case NodeType::EntityReference:
        return "entityreference";
    case NodeType::Entity:
        return "entity";
    case NodeType::ProcessingInstruction:
        return "processinginstruction";
    case NodeType::Comment:
        return "comment";
    case NodeType::Document:
        return "document";
    case NodeType::DocumentType:
        return "documenttype";
    case NodeType::DocumentFragment:
        return "documentfragment";
    case NodeType::Notation:
        return "notation";
    }
    return {};
}

std::string Node::name() const {
    if (!node_) return {};
    const xmlNode* n = nodeOf(node_);
    switch (type()) {
    case NodeType::Element:
        return detail::qualifiedName(n);
    case NodeType::Text:
        return "#text";
    case NodeType::CData:
        return "#cdata-section";
    case NodeType::Comment:
        return "#comment";
    case NodeType::Document:
        return "#document";
    case NodeType::DocumentFragment:
        return "#document-fragment";
    default:
        return text(n->name);
    }
}

std::string Node::baseName() const {
    switch (type()) {
    case NodeType::Element: {
        // A created element keeps a prefix in its name; a parsed one in its namespace.
        const char* local = text(nodeOf(node_)->name);
        const char* colon = std::strrchr(local, ':');
        return colon ? colon + 1 : local;
    }
    case NodeType::ProcessingInstruction:
    case NodeType::EntityReference:
    case NodeType::DocumentType:
        return text(nodeOf(node_)->name);
    default:
        return {};
    }
}

std::string Node::value() const {
    switch (type()) {
    case NodeType::Text:
    case NodeType::CData:
    case NodeType::Comment:
    case NodeType::ProcessingInstruction:
        return text(nodeOf(node_)->content);
    default:
        return {};
    }
}

std::size_t Node::childCount() const {
    if (!node_) return 0;
    const xmlNode* n = nodeOf(node_);
    if (!n->children || !detail::holdsChildren(n)) return 0;
    detail::ChildCursor& cursor = doc_->cursor;
    const std::uint64_t generation = detail::treeGeneration();
    if (cursor.parent == n && cursor.generation == generation && cursor.counted) return cursor.count;
    const std::size_t count = countChildren(n);
    if (cursor.parent != n || cursor.generation != generation) cursor = detail::ChildCursor{n, n->children, 0};
    cursor.count = count;
    cursor.counted = true;
    cursor.generation = generation;
    return count;
}

bool Node::hasChildNodes() const { return node_ && firstChild(nodeOf(node_)) != nullptr; }

Node Node::child(std::size_t index) const {
    if (!node_) return {};
    const xmlNode* n = nodeOf(node_);
    xmlNode* first = firstChild(n);
    if (!first) return {};
    detail::ChildCursor& cursor = doc_->cursor;
    const std::uint64_t generation = detail::treeGeneration();
    if (cursor.parent != n || cursor.generation != generation || !cursor.node) {
        cursor = detail::ChildCursor{n, first, 0};
        cursor.generation = generation;
    }
    if (cursor.counted && index >= cursor.count) return {};
    // Walk from the nearest known position: the first child, the cursor or the last child.
    xmlNode* c = cursor.node;
    std::size_t at = cursor.index;
    if (index < at && index < at - index) {
        c = first;
        at = 0;
    }
    if (cursor.counted && index > at && cursor.count - 1 - index < index - at) {
        c = n->last;
        at = cursor.count - 1;
    }
    while (c && at < index) c = c->next, ++at;
    while (c && at > index) c = c->prev, --at;
    if (!c) return {};
    cursor.node = c;
    cursor.index = at;
    return Node(doc_, c);
}

std::vector<Node> Node::children() const {
    std::vector<Node> result;
    if (!node_) return result;
    for (xmlNode* c = firstChild(nodeOf(node_)); c; c = c->next) result.push_back(Node(doc_, c));
    return result;
}

Node Node::parent() const {
    if (!node_) return {};
    xmlNode* p = nodeOf(node_)->parent;
    if (!p || p->type != XML_ELEMENT_NODE) return {};
    return Node(doc_, p);
}

std::vector<Attribute> Node::attributes() const {
    std::vector<Attribute> result;
    if (type() != NodeType::Element) return result;
    const xmlNode* n = nodeOf(node_);
    for (const xmlNs* ns = n->nsDef; ns; ns = ns->next) result.push_back({detail::declarationName(ns), text(ns->href)});
    for (const xmlAttr* a = n->properties; a; a = a->next) {
        result.push_back({detail::qualifiedName(a), detail::attributeValue(a)});
    }
    return result;
}

std::size_t Node::attributeCount() const {
    if (type() != NodeType::Element) return 0;
    const xmlNode* n = nodeOf(node_);
    std::size_t count = 0;
    for (const xmlNs* ns = n->nsDef; ns; ns = ns->next) ++count;
    for (const xmlAttr* a = n->properties; a; a = a->next) ++count;
    return count;
}

std::optional<std::string> Node::attribute(std::string_view name) const {
    if (type() != NodeType::Element) return std::nullopt;
    const xmlNode* n = nodeOf(node_);
    if (const xmlNs* ns = detail::findDeclaration(n, name)) return std::string(text(ns->href));
    if (const xmlAttr* a = detail::findAttribute(n, name)) return detail::attributeValue(a);
    return std::nullopt;
}

std::vector<Node> Node::selectAllElements() const {
    std::vector<Node> result;
    if (!node_ || !nodeOf(node_)->doc) return result;
    xmlNode* top = detail::docNode(nodeOf(node_)->doc);
    // Pre-order without recursion: documents can be deeper than the stack.
    xmlNode* n = top->children;
    while (n) {
        if (n->type == XML_ELEMENT_NODE) {
            result.push_back(Node(doc_, n));
            if (n->children) {
                n = n->children;
                continue;
            }
        }
        while (n && !n->next) {
            n = n->parent;
            if (n == top) n = nullptr;
        }
        if (n) n = n->next;
    }
    return result;
}

}  // namespace trelmo::xml
