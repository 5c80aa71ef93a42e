// Node changes: moving nodes in and between documents, and attributes.
#include <climits>
#include <new>

#include "engine/error.h"
#include "engine/xml/doc_state.h"
#include "engine/xml/names.h"

namespace trelmo::xml {

using detail::DocState;

namespace {

[[noreturn]] void fail(std::string description) { throw RuntimeError(err::XmlDom, std::move(description)); }

void requireNode(const Node& node) {
    if (!node) fail("ノードがありません。");
}

bool isCharacterData(const xmlNode* n) {
    return n->type == XML_TEXT_NODE || n->type == XML_CDATA_SECTION_NODE || n->type == XML_ENTITY_REF_NODE;
}

// What may be placed as a child at all.
bool isMovable(const xmlNode* n) {
    return n->type == XML_ELEMENT_NODE || isCharacterData(n) || n->type == XML_PI_NODE || n->type == XML_COMMENT_NODE;
}

// The document level holds at most one declaration (first), one element, and
// no character data.
void checkTopLevel(xmlNode* top, xmlNode* child, xmlNode* before, xmlNode* replaced) {
    if (isCharacterData(child)) fail("文書の最上位には文字データを置けません。");
    xmlNode* first = top->children == child ? child->next : top->children;
    for (xmlNode* n = top->children; n; n = n->next) {
        if (n == child || n == replaced) continue;
        if (child->type == XML_ELEMENT_NODE && n->type == XML_ELEMENT_NODE) {
            fail("文書の最上位に置ける要素は一つだけです。");
        }
        if (detail::isDeclaration(child) && detail::isDeclaration(n)) fail("文書にはすでに XML 宣言があります。");
    }
    if (detail::isDeclaration(child)) {
        const bool atFront = replaced ? replaced == first : before ? before == first : first == nullptr;
        if (!atFront) fail("XML 宣言は文書の先頭にしか置けません。");
    } else if (before && detail::isDeclaration(before)) {
        fail("XML 宣言の前にはノードを置けません。");
    }
}

std::string kindName(const xmlNode* n) {
    switch (n->type) {
    case XML_TEXT_NODE:
        return "テキスト";
    case XML_CDATA_SECTION_NODE:
        return "CDATA セクション";
    case XML_COMMENT_NODE:
        return "コメント";
    case XML_PI_NODE:
        return "処理命令";
    case XML_ENTITY_REF_NODE:
        return "エンティティ参照";
    case XML_DTD_NODE:
        return "文書型宣言";
    default:
        return "このノード";
    }
}

void checkPlacement(xmlNode* parent, xmlNode* child, xmlNode* before, xmlNode* replaced) {
    if (!detail::holdsChildren(parent)) fail(kindName(parent) + "の下には子ノードを置けません。");
    if (!isMovable(child)) fail("このノードは子ノードとして置けません。");
    // Only a node with children can be an ancestor of another; checked so, the
    // usual append of a new leaf costs no walk up a deep tree.
    if (child == parent || (child->children && child->doc == parent->doc)) {
        for (xmlNode* a = parent; a; a = a->parent) {
            if (a == child) fail("ノードを自分自身やその子孫の下には置けません。");
        }
    }
    if (replaced && replaced->parent != parent) fail("置き換えるノードはこのノードの子ではありません。");
    if (before && before->parent != parent) fail("挿入位置のノードはこのノードの子ではありません。");
    if (parent->type == XML_DOCUMENT_NODE) {
        checkTopLevel(parent, child, before, replaced);
    } else if (detail::isDeclaration(child)) {
        fail("XML 宣言は文書の先頭にしか置けません。");
    }
}

// Gives a subtree to another document; like xmlSetTreeDoc, without recursion.
void setTreeDoc(xmlNode* top, xmlDoc* doc) {
    xmlNode* n = top;
    while (n) {
        if (n->type == XML_ELEMENT_NODE) {
            for (xmlAttr* a = n->properties; a; a = a->next) {
                if (a->atype == XML_ATTRIBUTE_ID && a->doc) xmlRemoveID(a->doc, a);
                a->doc = doc;
                for (xmlNode* t = a->children; t; t = t->next) {
                    if (t->type == XML_ENTITY_REF_NODE) t->children = t->last = nullptr;
                    t->doc = doc;
                }
            }
        }
        if (n->type == XML_ENTITY_REF_NODE) n->children = n->last = nullptr;  // the old document's entity
        n->doc = doc;
        if (n->type == XML_ELEMENT_NODE && n->children) {
            n = n->children;
            continue;
        }
        while (n != top && !n->next) n = n->parent;
        n = n == top ? nullptr : n->next;
    }
}

void link(xmlNode* parent, xmlNode* child, xmlNode* before) {
    child->parent = parent;
    child->next = before;
    child->prev = before ? before->prev : parent->last;
    if (child->prev) {
        child->prev->next = child;
    } else {
        parent->children = child;
    }
    if (before) {
        before->prev = child;
    } else {
        parent->last = child;
    }
}

xmlNode* requireElement(const Node& node) {
    requireNode(node);
    xmlNode* n = DocState::raw(node);
    if (n->type != XML_ELEMENT_NODE) fail("属性は要素にしか付けられません。");
    return n;
}

}  // namespace

Node DocState::place(const Node& parentNode, const Node& childNode, xmlNode* before, xmlNode* replaced) {
    requireNode(parentNode);
    requireNode(childNode);
    xmlNode* parent = raw(parentNode);
    xmlNode* child = raw(childNode);
    checkPlacement(parent, child, before, replaced);
    const std::shared_ptr<DocState>& owner = state(parentNode);
    if (replaced == child || before == child) return handle(owner, replaced ? replaced : child);

    if (child->doc != parent->doc) {
        // The child's document lives on with this one (handles may point into either).
        std::shared_ptr<Arena> from = state(childNode)->arena;
        Arena::merge(owner->arena, from);
        state(childNode)->arena = from;
        if (child->parent) xmlUnlinkNode(child);
        setTreeDoc(child, parent->doc);
    } else if (child->parent) {
        xmlUnlinkNode(child);
    }
    Arena& arena = owner->owner();
    if (replaced) arena.addOrphan(replaced);  // first: the only step that can fail
    arena.removeOrphan(child);
    link(parent, child, replaced ? replaced : before);
    if (replaced) xmlUnlinkNode(replaced);
    bumpTreeGeneration();
    return handle(owner, replaced ? replaced : child);
}

Node Node::appendChild(Node child) { return DocState::place(*this, child, nullptr, nullptr); }

Node Node::insertBefore(Node child, Node reference) {
    requireNode(*this);
    return DocState::place(*this, child, DocState::raw(reference), nullptr);
}

Node Node::replaceChild(Node replacement, Node old) {
    requireNode(old);
    return DocState::place(*this, replacement, nullptr, DocState::raw(old));
}

Node Node::removeChild(Node child) {
    requireNode(*this);
    requireNode(child);
    xmlNode* c = DocState::raw(child);
    if (c->parent != static_cast<xmlNode*>(node_)) fail("削除するノードはこのノードの子ではありません。");
    doc_->owner().addOrphan(c);
    xmlUnlinkNode(c);
    detail::bumpTreeGeneration();
    return Node(doc_, c);
}

void Node::setAttribute(std::string_view name, std::string_view value) {
    xmlNode* element = requireElement(*this);
    if (!detail::isQualifiedName(name)) fail("属性名 " + std::string(name) + " は XML の名前として使えません。");
    if (value.find('\0') != std::string_view::npos) fail("属性 " + std::string(name) + " の値に NUL 文字があります。");
    if (value.size() > static_cast<std::size_t>(INT_MAX)) fail("属性 " + std::string(name) + " の値が長すぎます。");
    const std::string text(value);
    if (auto* ns = const_cast<xmlNs*>(detail::findDeclaration(element, name))) {
        xmlFree(const_cast<xmlChar*>(ns->href));
        ns->href = xmlStrdup(BAD_CAST text.c_str());
        return;
    }
    xmlNode* content = xmlNewDocTextLen(element->doc, BAD_CAST text.data(), static_cast<int>(text.size()));
    if (!content) throw std::bad_alloc();
    if (auto* existing = const_cast<xmlAttr*>(detail::findAttribute(element, name))) {
        xmlFreeNodeList(existing->children);
        existing->children = existing->last = content;
        content->parent = reinterpret_cast<xmlNode*>(existing);
        return;
    }
    const std::string qname(name);
    xmlAttr* attribute = xmlNewDocProp(element->doc, BAD_CAST qname.c_str(), nullptr);
    if (!attribute) {
        xmlFreeNode(content);
        throw std::bad_alloc();
    }
    attribute->children = attribute->last = content;
    content->parent = reinterpret_cast<xmlNode*>(attribute);
    attribute->parent = element;
    if (!element->properties) {
        element->properties = attribute;
    } else {
        xmlAttr* last = element->properties;
        while (last->next) last = last->next;
        last->next = attribute;
        attribute->prev = last;
    }
}

void Node::removeAttribute(std::string_view name) {
    xmlNode* element = requireElement(*this);
    if (auto* attribute = const_cast<xmlAttr*>(detail::findAttribute(element, name))) xmlRemoveProp(attribute);
}

}  // namespace trelmo::xml
