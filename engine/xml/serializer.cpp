#include "engine/xml/serializer.h"

#include <string>
#include <utility>
#include <vector>

#include "engine/error.h"
#include "engine/xml/declaration.h"
#include "engine/xml/doc_state.h"
#include "engine/xml/names.h"
#include "engine/xml/xml_writer.h"

namespace trelmo::xml::detail {
namespace {

// Namespace bindings in scope while writing, so that a namespaced node that was
// moved away from its declaration still gets one.
class NamespaceScope {
public:
    void open() { marks_.push_back(bindings_.size()); }
    void close() {
        bindings_.resize(marks_.back());
        marks_.pop_back();
    }
    void declare(XmlWriter& w, const xmlNs* ns) {
        w.markup(ns->prefix ? " xmlns:" : " xmlns");
        if (ns->prefix) w.content(Context::Name, ns->prefix);
        w.markup("=\"");
        w.content(Context::Attribute, ns->href, declarationName(ns));
        w.markup("\"");
        bindings_.emplace_back(ns->prefix, ns->href);
    }
    void require(XmlWriter& w, const xmlNs* ns) {
        if (!ns || (ns->prefix && xmlStrEqual(ns->prefix, BAD_CAST "xml"))) return;
        for (auto it = bindings_.rbegin(); it != bindings_.rend(); ++it) {
            if (xmlStrEqual(it->first, ns->prefix)) {
                if (xmlStrEqual(it->second, ns->href)) return;
                break;
            }
        }
        declare(w, ns);
    }

private:
    std::vector<std::pair<const xmlChar*, const xmlChar*>> bindings_;
    std::vector<std::size_t> marks_;
};

void writeName(XmlWriter& w, const xmlNs* ns, const xmlChar* local) {
    if (ns && ns->prefix) {
        w.content(Context::Name, ns->prefix, text(ns->prefix));
        w.markup(":");
    }
    w.content(Context::Name, local, text(local));
}

void startTag(XmlWriter& w, const xmlNode* e, NamespaceScope& scope) {
    scope.open();
    w.markup("<");
    writeName(w, e->ns, e->name);
    for (const xmlNs* ns = e->nsDef; ns; ns = ns->next) scope.declare(w, ns);
    scope.require(w, e->ns);
    for (const xmlAttr* a = e->properties; a; a = a->next) {
        scope.require(w, a->ns);
        w.markup(" ");
        writeName(w, a->ns, a->name);
        w.markup("=\"");
        const xmlNode* first = a->children;
        if (!first || (first->type == XML_TEXT_NODE && !first->next)) {
            w.content(Context::Attribute, first ? first->content : nullptr, text(a->name));
        } else {
            w.content(Context::Attribute, attributeValue(a), text(a->name));
        }
        w.markup("\"");
    }
}

void endTag(XmlWriter& w, const xmlNode* e, NamespaceScope& scope) {
    w.markup("</");
    writeName(w, e->ns, e->name);
    w.markup(">");
    scope.close();
}

void writeDtd(XmlWriter& w, xmlDoc* doc, xmlNode* dtd) {
    // The declarations inside are libxml2's own business; it writes them as UTF-8.
    XmlBufferPtr buffer(xmlBufferCreate());
    if (!buffer) throw std::bad_alloc();
    xmlNodeDump(buffer.get(), doc, dtd, 0, 0);
    w.content(Context::Dtd, std::string_view(reinterpret_cast<const char*>(xmlBufferContent(buffer.get())),
                                             static_cast<std::size_t>(xmlBufferLength(buffer.get()))));
}

// One top-level node and everything below it, without recursion.
// Text whose line breaks are written as CR LF.
void writeCrlfText(XmlWriter& w, const xmlChar* content) {
    std::string_view rest = text(content);
    for (std::size_t at = rest.find('\n'); at != std::string_view::npos; at = rest.find('\n')) {
        w.content(Context::Text, rest.substr(0, at));
        w.markup("\r\n");
        rest.remove_prefix(at + 1);
    }
    w.content(Context::Text, rest);
}

void writeTree(XmlWriter& w, xmlDoc* doc, xmlNode* top, NamespaceScope& scope, bool crlfText) {
    xmlNode* n = top;
    while (true) {
        switch (n->type) {
        case XML_ELEMENT_NODE:
            startTag(w, n, scope);
            if (n->children) {
                w.markup(">");
                n = n->children;
                continue;
            }
            w.markup("/>");
            scope.close();
            break;
        case XML_TEXT_NODE:
            if (crlfText)
                writeCrlfText(w, n->content);
            else
                w.content(Context::Text, n->content);
            break;
        case XML_CDATA_SECTION_NODE:
            w.markup("<![CDATA[");
            w.content(Context::CData, n->content);
            w.markup("]]>");
            break;
        case XML_ENTITY_REF_NODE:
            w.markup("&");
            w.content(Context::Name, n->name, text(n->name));
            w.markup(";");
            break;
        case XML_COMMENT_NODE:
            w.markup("<!--");
            w.content(Context::Comment, n->content);
            w.markup("-->");
            break;
        case XML_PI_NODE:
            w.markup("<?");
            w.content(Context::Name, n->name, text(n->name));
            if (n->content && *n->content) {
                w.markup(" ");
                w.content(Context::PiData, n->content, text(n->name));
            }
            w.markup("?>");
            break;
        case XML_DTD_NODE:
            writeDtd(w, doc, n);
            break;
        default:
            break;
        }
        while (n != top && !n->next) {
            n = n->parent;
            endTag(w, n, scope);
        }
        if (n == top) return;
        n = n->next;
    }
}

}  // namespace

Serializer::Serializer(xmlDoc* doc, LineEnds lineEnds) : doc_(doc), lineEnds_(lineEnds) {
    std::string encoding;
    const xmlNode* first = doc->children;
    if (first && isDeclaration(first)) {
        const auto fields = parseDeclaration(text(first->content));
        if (!fields) {
            throw RuntimeError(err::XmlSave, "XML 宣言 <?xml " + std::string(text(first->content)) +
                                                 "?> が正しくないため保存できません。");
        }
        encoding = fields->encoding;
    }
    encoding_.emplace(encoding);
}

void Serializer::write(ByteSink& sink) {
    XmlWriter w(*encoding_, sink);
    writeTopLevel(w, doc_->children, nullptr);
    w.finish();
}

void Serializer::writeTopLevel(XmlWriter& w, xmlNode* from, const xmlNode* until) {
    NamespaceScope scope;
    for (xmlNode* top = from; top != until; top = top->next) {
        if (top == doc_->children && isDeclaration(top)) {
            w.markup("<?xml ");
            w.content(Context::PiData, top->content, "xml");
            w.markup("?>");
        } else {
            writeTree(w, doc_, top, scope, lineEnds_ == LineEnds::Crlf);
        }
        w.markup(lineEnds_ == LineEnds::Lf ? "\n" : "\r\n");
    }
}

}  // namespace trelmo::xml::detail
