#pragma once
// A small XML DOM over libxml2: a document that owns every node, and cheap node
// handles that keep their document alive. The XML declaration is an ordinary
// top-level processing instruction with the target "xml"; saving writes it as
// the declaration and picks the output encoding from it. A document holds at
// most one declaration, as its first node, and at most one top-level element.
//
// Failing operations (invalid names, children below character data, unwritable
// paths, unusable encodings) throw trelmo::RuntimeError. A file that does not
// load throws nothing: it shows in parseError().

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trelmo::xml {

namespace detail {
struct DocState;
}

enum class NodeType {
    None = 0,  // an empty handle
    Element = 1,
    Attribute = 2,
    Text = 3,
    CData = 4,
    EntityReference = 5,
    Entity = 6,
    ProcessingInstruction = 7,
    Comment = 8,
    Document = 9,
    DocumentType = 10,
    DocumentFragment = 11,
    Notation = 12,
};

struct Attribute {
    std::string name;
    std::string value;
};

// A handle to one node. An empty handle is false; queries on it return empty
// results and changes through it throw.
class Node {
public:
    Node() = default;

    explicit operator bool() const { return node_ != nullptr; }
    bool operator==(const Node& other) const { return node_ == other.node_; }

    NodeType type() const;
    // "element", "text", "cdatasection", "comment", "processinginstruction",
    // "entityreference", "documenttype", "document", ...
    std::string typeString() const;
    // Tag of an element (with any prefix), target of a processing instruction,
    // "#text", "#cdata-section", "#comment", "#document".
    std::string name() const;
    // Local name: the tag without its prefix.
    std::string baseName() const;
    // Text of character data and comments, data of a processing instruction;
    // empty for elements and documents.
    std::string value() const;

    // Children in document order, character data, comments and processing
    // instructions included. Entity references show no children. Indexed
    // access in order costs O(1) a step.
    std::size_t childCount() const;
    Node child(std::size_t index) const;  // empty handle when out of range
    std::vector<Node> children() const;
    bool hasChildNodes() const;
    Node parent() const;  // empty for a top-level node or an unattached one

    // Attributes of an element, in document order; namespace declarations of
    // a loaded element ("xmlns", "xmlns:p") come first.
    std::vector<Attribute> attributes() const;
    std::size_t attributeCount() const;
    // Exact-case lookup; nullopt when the element has no such attribute.
    std::optional<std::string> attribute(std::string_view name) const;
    // Adds the attribute or replaces the value of the one of the same name.
    void setAttribute(std::string_view name, std::string_view value);
    // Removes the attribute of that exact name, if there is one.
    void removeAttribute(std::string_view name);

    // The moved or inserted node comes back as the result. A node of another
    // document is moved over. Appending below character data, a comment or a
    // processing instruction throws.
    Node appendChild(Node child);
    Node insertBefore(Node child, Node reference);  // reference empty: append
    Node replaceChild(Node replacement, Node old);  // returns old
    Node removeChild(Node child);                    // returns child, detached

    // Every element of the node's document in document pre-order, the
    // document element first (the XPath "//*").
    std::vector<Node> selectAllElements() const;

private:
    friend class Document;
    friend struct detail::DocState;
    Node(std::shared_ptr<detail::DocState> doc, void* node) : doc_(std::move(doc)), node_(node) {}

    std::shared_ptr<detail::DocState> doc_;
    void* node_ = nullptr;  // xmlNodePtr
};

struct ParseError {
    long errorCode = 0;  // 0 when the file was read, well formed and valid
    std::string reason;
    long line = 0;
    long linePos = 0;
    std::string srcText;  // the offending source line
    std::string url;
};

// What a file to load may be: anything that reads (a pipe, /dev/stdin), or
// only a regular file, opened without waiting (a FIFO would wait for a writer).
enum class SourceFile { Any, RegularOnly };

class Document {
public:
    Document();  // no nodes
    ~Document();
    Document(Document&&) noexcept;
    Document& operator=(Document&&) noexcept;
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    // Loads synchronously, replacing the content; returns whether it loaded.
    // Never touches the network and never substitutes external entities; a
    // document that declares a document type is validated against it.
    bool load(const std::string& path, SourceFile source = SourceFile::Any);
    // As load(), from text in memory (for tests and fuzzing).
    bool loadXml(std::string_view text);
    // The deepest nesting of elements that a load reads, the document element
    // being level 1 (the parser's own limit, which stays in force).
    static constexpr int kMaxLoadDepth = 257;
    const ParseError& parseError() const;
    // The files that loading read besides the document's own (the external
    // document type definition), as local paths.
    std::vector<std::string> filesRead() const;
    int readyState() const { return 4; }

    Node documentElement() const;
    Node asNode() const;  // the document node: its children are the top level

    Node createElement(std::string_view name) const;
    Node createTextNode(std::string_view data) const;
    Node createCDATASection(std::string_view data) const;
    Node createComment(std::string_view data) const;
    Node createProcessingInstruction(std::string_view target, std::string_view data) const;

    // Top-level convenience, same as on asNode().
    Node appendChild(Node child) { return asNode().appendChild(std::move(child)); }

    // Writes the whole document, replacing the file only when every byte was
    // written, in the encoding the declaration names (UTF-8 when none).
    void save(const std::string& path) const;
    // The bytes save() would write.
    std::string xml() const;

private:
    std::shared_ptr<detail::DocState> state_;
};

}  // namespace trelmo::xml
