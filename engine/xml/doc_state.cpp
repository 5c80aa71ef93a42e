#include "engine/xml/doc_state.h"

#include <cstdint>
#include <new>

#include "engine/xml/library.h"

namespace trelmo::xml::detail {
namespace {

std::atomic<std::uint64_t> generation{1};

std::size_t slotOf(const xmlNode* node) { return reinterpret_cast<std::uintptr_t>(node->_private); }

void setSlot(xmlNode* node, std::size_t slot) { node->_private = reinterpret_cast<void*>(slot); }

}  // namespace

std::uint64_t treeGeneration() { return generation.load(std::memory_order_relaxed); }

void bumpTreeGeneration() { generation.fetch_add(1, std::memory_order_relaxed); }

XmlDocPtr newEmptyDoc() {
    initLibrary();
    XmlDocPtr doc(xmlNewDoc(BAD_CAST "1.0"));
    if (!doc) throw std::bad_alloc();
    return doc;
}

Arena::~Arena() {
    // Orphans first: freeing a node looks at its document.
    for (xmlNode* node : orphans_) {
        node->_private = nullptr;
        xmlFreeNode(node);
    }
    orphans_.clear();
    docs_.clear();
}

void Arena::addOrphan(xmlNode* node) {
    orphans_.push_back(node);
    setSlot(node, orphans_.size());
}

void Arena::removeOrphan(xmlNode* node) {
    const std::size_t slot = slotOf(node);
    if (slot == 0 || slot > orphans_.size() || orphans_[slot - 1] != node) return;
    xmlNode* last = orphans_.back();
    orphans_[slot - 1] = last;
    setSlot(last, slot);
    orphans_.pop_back();
    node->_private = nullptr;
}

Arena& Arena::resolve(std::shared_ptr<Arena>& arena) {
    while (arena->forward_) arena = arena->forward_;
    return *arena;
}

void Arena::merge(std::shared_ptr<Arena>& into, std::shared_ptr<Arena>& from) {
    Arena& target = resolve(into);
    Arena& source = resolve(from);
    if (&target == &source) return;
    target.docs_.reserve(target.docs_.size() + source.docs_.size());
    for (auto& doc : source.docs_) target.docs_.push_back(std::move(doc));
    source.docs_.clear();
    target.orphans_.reserve(target.orphans_.size() + source.orphans_.size());
    for (xmlNode* node : source.orphans_) target.addOrphan(node);
    source.orphans_.clear();
    source.forward_ = into;
    from = into;
}

DocState::DocState(XmlDocPtr document) : doc(document.get()), arena(std::make_shared<Arena>()) {
    arena->addDocument(std::move(document));
}

DocState::~DocState() = default;

LineEnds lineEndsOf(std::string_view bytes) {
    if (bytes.find("\r\n") != std::string_view::npos) return LineEnds::Crlf;
    const std::size_t at = bytes.find('\n');
    if (at == std::string_view::npos) return LineEnds::Unknown;
    // A wide text puts a zero byte beside each ASCII one; its ends stay unknown.
    if (at > 0 && bytes[at - 1] == '\0') return LineEnds::Unknown;
    if (at + 1 < bytes.size() && bytes[at + 1] == '\0') return LineEnds::Unknown;
    return LineEnds::Lf;
}

}  // namespace trelmo::xml::detail
