// The document: creating nodes, its top level, and writing it out.
#include <climits>
#include <new>

#include "engine/error.h"
#include "engine/xml/file_sink.h"
#include "engine/xml/doc_state.h"
#include "engine/xml/names.h"
#include "engine/xml/serializer.h"

namespace trelmo::xml {

using detail::DocState;

namespace {

[[noreturn]] void fail(std::string description) { throw RuntimeError(err::XmlDom, std::move(description)); }

std::string nulFree(std::string_view data, const char* what) {
    if (data.find('\0') != std::string_view::npos) fail(std::string(what) + "に NUL 文字 (U+0000) があります。");
    return std::string(data);
}

int length(const std::string& data) {
    if (data.size() > static_cast<std::size_t>(INT_MAX)) fail("値が長すぎます。");
    return static_cast<int>(data.size());
}

// A new node is owned by the document until it is attached somewhere.
Node adopt(const std::shared_ptr<DocState>& state, xmlNode* created) {
    if (!created) throw std::bad_alloc();
    std::unique_ptr<xmlNode, decltype(&xmlFreeNode)> node(created, xmlFreeNode);
    state->owner().addOrphan(node.get());
    return DocState::handle(state, node.release());
}

void require(const std::shared_ptr<DocState>& state) {
    if (!state) fail("文書がありません。");
}

}  // namespace

Document::Document() : state_(std::make_shared<DocState>(detail::newEmptyDoc())) {}
Document::~Document() = default;
Document::Document(Document&&) noexcept = default;
Document& Document::operator=(Document&&) noexcept = default;

std::vector<std::string> Document::filesRead() const { return state_ ? state_->filesRead : std::vector<std::string>{}; }

const ParseError& Document::parseError() const {
    static const ParseError none;
    return state_ ? state_->parseError : none;
}

Node Document::documentElement() const {
    if (!state_) return {};
    xmlNode* root = xmlDocGetRootElement(state_->doc);
    return root ? DocState::handle(state_, root) : Node();
}

Node Document::asNode() const { return state_ ? DocState::handle(state_, detail::docNode(state_->doc)) : Node(); }

Node Document::createElement(std::string_view name) const {
    require(state_);
    if (!detail::isQualifiedName(name)) fail("要素名 " + std::string(name) + " は XML の名前として使えません。");
    const std::string tag(name);
    return adopt(state_, xmlNewDocNode(state_->doc, nullptr, BAD_CAST tag.c_str(), nullptr));
}

Node Document::createTextNode(std::string_view data) const {
    require(state_);
    const std::string text = nulFree(data, "テキスト");
    return adopt(state_, xmlNewDocTextLen(state_->doc, BAD_CAST text.data(), length(text)));
}

Node Document::createCDATASection(std::string_view data) const {
    require(state_);
    const std::string text = nulFree(data, "CDATA セクション");
    return adopt(state_, xmlNewCDataBlock(state_->doc, BAD_CAST text.data(), length(text)));
}

Node Document::createComment(std::string_view data) const {
    require(state_);
    const std::string text = nulFree(data, "コメント");
    return adopt(state_, xmlNewDocComment(state_->doc, BAD_CAST text.c_str()));
}

Node Document::createProcessingInstruction(std::string_view target, std::string_view data) const {
    require(state_);
    if (!detail::isPiTarget(target)) {
        fail("処理命令のターゲット " + std::string(target) + " は XML の名前として使えません。");
    }
    const std::string name(target);
    const std::string text = nulFree(data, "処理命令のデータ");
    return adopt(state_, xmlNewDocPI(state_->doc, BAD_CAST name.c_str(), BAD_CAST text.c_str()));
}

void Document::save(const std::string& path) const {
    require(state_);
    detail::Serializer serializer(state_->doc, state_->lineEnds);
    detail::FileSink file(path);
    serializer.write(file);
    file.commit();
}

std::string Document::xml() const {
    if (!state_) return {};
    detail::Serializer serializer(state_->doc, state_->lineEnds);
    detail::StringSink sink;
    serializer.write(sink);
    return std::move(sink.bytes);
}

}  // namespace trelmo::xml
