// Placeholder until the DOM layer lands.
#include "engine/xml/dom.h"

#include "engine/error.h"

namespace trelmo::xml {
namespace {
[[noreturn]] void todo() { throw RuntimeError(err::XmlDom, "not implemented"); }
}  // namespace
namespace detail {
struct DocState {};
}  // namespace detail

NodeType Node::type() const { todo(); }
std::string Node::typeString() const { todo(); }
std::string Node::name() const { todo(); }
std::string Node::baseName() const { todo(); }
std::string Node::value() const { todo(); }
std::size_t Node::childCount() const { todo(); }
Node Node::child(std::size_t) const { todo(); }
std::vector<Node> Node::children() const { todo(); }
Node Node::parent() const { todo(); }
std::vector<Attribute> Node::attributes() const { todo(); }
std::size_t Node::attributeCount() const { todo(); }
std::optional<std::string> Node::attribute(std::string_view) const { todo(); }
void Node::setAttribute(std::string_view, std::string_view) { todo(); }
Node Node::appendChild(Node) { todo(); }
Node Node::insertBefore(Node, Node) { todo(); }
Node Node::replaceChild(Node, Node) { todo(); }
Node Node::removeChild(Node) { todo(); }
std::vector<Node> Node::selectAllElements() const { todo(); }

Document::Document() = default;
Document::~Document() = default;
Document::Document(Document&&) noexcept = default;
Document& Document::operator=(Document&&) noexcept = default;
bool Document::load(const std::string&) { todo(); }
bool Document::loadXml(std::string_view) { todo(); }
const ParseError& Document::parseError() const { todo(); }
Node Document::documentElement() const { todo(); }
Node Document::asNode() const { todo(); }
Node Document::createElement(std::string_view) const { todo(); }
Node Document::createTextNode(std::string_view) const { todo(); }
Node Document::createCDATASection(std::string_view) const { todo(); }
Node Document::createComment(std::string_view) const { todo(); }
Node Document::createProcessingInstruction(std::string_view, std::string_view) const { todo(); }
void Document::save(const std::string&) const { todo(); }
std::string Document::xml() const { todo(); }

}  // namespace trelmo::xml
