#pragma once
// Internal state behind Document and Node: the libxml2 documents, the nodes
// they own while unattached, and RAII owners for libxml2 resources.

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "engine/xml/dom.h"

namespace trelmo::xml::detail {

struct XmlDocDeleter {
    void operator()(xmlDoc* doc) const noexcept { xmlFreeDoc(doc); }
};
using XmlDocPtr = std::unique_ptr<xmlDoc, XmlDocDeleter>;

struct XmlFreeDeleter {
    void operator()(void* memory) const noexcept { xmlFree(memory); }
};
using XmlString = std::unique_ptr<xmlChar, XmlFreeDeleter>;

struct ParserCtxtDeleter {
    void operator()(xmlParserCtxt* ctxt) const noexcept { xmlFreeParserCtxt(ctxt); }
};
using ParserCtxtPtr = std::unique_ptr<xmlParserCtxt, ParserCtxtDeleter>;

struct XmlBufferDeleter {
    void operator()(xmlBuffer* buffer) const noexcept { xmlBufferFree(buffer); }
};
using XmlBufferPtr = std::unique_ptr<xmlBuffer, XmlBufferDeleter>;

// A new document without nodes; never null.
XmlDocPtr newEmptyDoc();

// The memory of documents that have exchanged nodes: freed together once the
// last handle into any of them is gone, so that a handle to a node that moved
// to another document stays valid. An arena merged into another forwards to it.
class Arena {
public:
    Arena() = default;
    ~Arena();
    Arena(const Arena&) = delete;
    Arena& operator=(const Arena&) = delete;

    void addDocument(XmlDocPtr doc) { docs_.push_back(std::move(doc)); }
    // An unattached node (the root of a detached subtree) of one of the documents.
    void addOrphan(xmlNode* node);
    // The node is being attached somewhere; no-op when it is not an orphan.
    void removeOrphan(xmlNode* node);

    // The live arena behind `arena`, shortening the forwarding chain.
    static Arena& resolve(std::shared_ptr<Arena>& arena);
    // Moves everything of `from` into `into`; `from` forwards to `into` afterwards.
    static void merge(std::shared_ptr<Arena>& into, std::shared_ptr<Arena>& from);

private:
    std::vector<XmlDocPtr> docs_;
    std::vector<xmlNode*> orphans_;  // each orphan's _private holds its index + 1
    std::shared_ptr<Arena> forward_;
};

// Remembers the last child looked up by index, so that walking the children of
// one parent by index costs O(1) a step instead of O(index).
struct ChildCursor {
    const xmlNode* parent = nullptr;
    xmlNode* node = nullptr;
    std::size_t index = 0;
    std::size_t count = 0;  // valid when counted
    bool counted = false;
    std::uint64_t generation = 0;
};

// Bumped by every change of tree structure; invalidates every ChildCursor.
std::uint64_t treeGeneration();
void bumpTreeGeneration();

// The line ends of a loaded text: CR LF or LF alone; Unknown for a document
// that was not loaded, or whose text had no line break.
enum class LineEnds : unsigned char { Unknown, Crlf, Lf };

// CR LF when the bytes hold one anywhere, else LF when they hold a line break.
LineEnds lineEndsOf(std::string_view bytes);

struct DocState {
    explicit DocState(XmlDocPtr document);
    ~DocState();
    DocState(const DocState&) = delete;
    DocState& operator=(const DocState&) = delete;

    Arena& owner() { return Arena::resolve(arena); }

    static Node handle(std::shared_ptr<DocState> state, xmlNode* node) { return Node(std::move(state), node); }
    static xmlNode* raw(const Node& node) { return static_cast<xmlNode*>(node.node_); }
    static const std::shared_ptr<DocState>& state(const Node& node) { return node.doc_; }

    // Tree changes below `parent`: `child` goes before `before` (nullptr: at
    // the end), or in the place of `replaced`. Everything is checked first, so
    // a failing call changes nothing.
    static Node place(const Node& parent, const Node& child, xmlNode* before, xmlNode* replaced);

    xmlDoc* doc;  // owned by the arena
    std::shared_ptr<Arena> arena;
    ParseError parseError;
    ChildCursor cursor;
    // How the text it was loaded from ended its lines; saving keeps them.
    LineEnds lineEnds = LineEnds::Unknown;
    // The files read besides the document itself (its external subset).
    std::vector<std::string> filesRead;
};

inline xmlNode* docNode(xmlDoc* doc) { return reinterpret_cast<xmlNode*>(doc); }

inline bool isDeclaration(const xmlNode* node) {
    return node->type == XML_PI_NODE && node->name != nullptr && xmlStrEqual(node->name, BAD_CAST "xml");
}

// Nodes whose children the DOM shows.
inline bool holdsChildren(const xmlNode* node) {
    return node->type == XML_ELEMENT_NODE || node->type == XML_DOCUMENT_NODE ||
           node->type == XML_DOCUMENT_FRAG_NODE || node->type == XML_HTML_DOCUMENT_NODE;
}

inline const char* text(const xmlChar* s) { return s ? reinterpret_cast<const char*>(s) : ""; }

}  // namespace trelmo::xml::detail
