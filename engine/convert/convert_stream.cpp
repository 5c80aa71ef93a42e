#include "engine/convert/convert_stream.h"

#include <climits>
#include <string>

#include "engine/error.h"

namespace trelmo::convert {

using xml::detail::Context;

namespace {

bool isAscii(std::string_view text) {
    unsigned char any = 0;
    for (const char c : text) any |= static_cast<unsigned char>(c);
    return any < 0x80;
}

}  // namespace

RecordWriter::RecordWriter(const Plan& plan, const Cp932Decoder* cp932) : cp932_(cp932) {
    std::vector<Element> elements{Element{&plan.recordName, {}, {}}};
    if (plan.topHasChildren) collect(plan.nodes, elements, 0);
    std::string markup;
    compile(elements, 0, markup);
    const bool ascii = isAscii(markup);
    pieces_.push_back(Piece{std::move(markup), ascii, kNoLeaf, Context::Text, {}, {}});
    values_.resize(leaves_.size());
    fromRecord_.resize(leaves_.size());
    for (const PlanNode* leaf : leaves_) {
        const bool fromField = leaf->source == PlanNode::Source::Field;
        sources_.push_back(Source{fromField, leaf->field, leaf->fixed, leaf->noField});
    }
}

// An attribute node and its children act on the element it stands in; leaves
// have no children here (the plan's check refuses them).
void RecordWriter::collect(const std::vector<PlanNode>& nodes, std::vector<Element>& elements, std::size_t into) {
    for (const PlanNode& node : nodes) {
        if (node.kind == Kind::Element) {
            const std::size_t child = elements.size();
            elements.push_back(Element{&node.name, {}, {}});
            elements[into].content.emplace_back(Kind::Element, child);
            collect(node.children, elements, child);
            continue;
        }
        const std::size_t leaf = leaves_.size();
        leaves_.push_back(&node);
        if (node.kind != Kind::Attribute) {
            elements[into].content.emplace_back(node.kind, leaf);
            continue;
        }
        bool replaced = false;
        for (std::size_t& existing : elements[into].attributes) {
            if (leaves_[existing]->name == node.name) {
                existing = leaf;
                replaced = true;
                break;
            }
        }
        if (!replaced) elements[into].attributes.push_back(leaf);
        collect(node.children, elements, into);
    }
}

// The markup that a save writes for the element: a start tag closed as "/>"
// when the element gets no content.
void RecordWriter::compile(const std::vector<Element>& elements, std::size_t element, std::string& markup) {
    const Element& e = elements[element];
    markup += '<';
    markup += *e.name;
    for (const std::size_t attribute : e.attributes) {
        markup += ' ';
        markup += leaves_[attribute]->name;
        markup += "=\"";
        value(markup, attribute, Context::Attribute);
        markup += '"';
    }
    if (e.content.empty()) {
        markup += "/>";
        return;
    }
    markup += '>';
    for (const auto& [kind, index] : e.content) {
        switch (kind) {
        case Kind::Element:
            compile(elements, index, markup);
            break;
        case Kind::Text:
            value(markup, index, Context::Text);
            break;
        case Kind::CData:
            markup += "<![CDATA[";
            value(markup, index, Context::CData);
            markup += "]]>";
            break;
        case Kind::Comment:
            markup += "<!--";
            value(markup, index, Context::Comment);
            markup += "-->";
            break;
        case Kind::Attribute:
            break;
        }
    }
    markup += "</";
    markup += *e.name;
    markup += '>';
}

void RecordWriter::value(std::string& markup, std::size_t leaf, Context context) {
    const bool ascii = isAscii(markup);
    const std::string_view owner = context == Context::Attribute ? std::string_view(leaves_[leaf]->name) : "";
    pieces_.push_back(Piece{std::move(markup), ascii, leaf, context, owner, {}});
    markup.clear();
}

// Any leaf splits the record (and meets its errors), whatever its data source.
void RecordWriter::checkValues(RecordFields& fields, xml::ContentCheck& check, std::size_t record) const {
    if (leaves_.empty()) return;
    const std::vector<std::string_view>& split = fields.fields();
    for (const Piece& piece : pieces_) {
        if (piece.leaf == kNoLeaf) continue;
        const std::string_view value = valueOf(piece.leaf, split);
        try {
            if (piece.context == Context::Attribute) {
                check.attributeValue(piece.owner, value);
            } else {
                check.value(leafOf(leaves_[piece.leaf]->kind), value);
            }
        } catch (const RuntimeError& e) {
            // Only a record's field holds what cannot be written: the
            // schema's own values are checked before the first record.
            const std::size_t column = sources_[piece.leaf].field + 1;
            throw RuntimeError(e.number(), std::to_string(record + 1) + " 件目のレコードの " + std::to_string(column) +
                                               " 列目: " + e.description());
        }
    }
}

void RecordWriter::write(xml::detail::XmlWriter& out, RecordFields& fields, xml::ContentCheck& check,
                         std::size_t record) {
    checkValues(fields, check, record);
    if (!leaves_.empty()) {
        const std::vector<std::string_view>& split = fields.fields();
        for (std::size_t k = 0; k < leaves_.size(); ++k) values_[k] = valueOf(k, split);
    }
    writePieces<false>(out);  // records of UTF-8 here
}

bool RecordWriter::writeUnchecked(xml::detail::XmlWriter& out, RecordFields& fields) {
    if (leaves_.empty()) {
        writePieces<false>(out);
        return true;
    }
    const std::vector<std::string_view>& split = fields.fields();
    // The limit is on the UTF-8 text: a byte of code page 932 makes at most 3 (a half-width kana).
    const std::size_t longest = static_cast<std::size_t>(INT_MAX) / (cp932_ ? 3 : 1);
    for (std::size_t k = 0; k < leaves_.size(); ++k) {
        const std::string_view value = valueOf(k, split);
        if (value.size() > longest) return false;
        values_[k] = value;
    }
    if (!cp932_) {
        writePieces<false>(out);
        return true;
    }
    for (std::size_t k = 0; k < leaves_.size(); ++k) {
        fromRecord_[k] = sources_[k].fromField && sources_[k].field < split.size();
    }
    writePieces<true>(out);
    return true;
}

template <bool Cp932>
void RecordWriter::writePieces(xml::detail::XmlWriter& out) const {
    for (const Piece& piece : pieces_) {
        if (piece.asciiMarkup) {
            out.markup(piece.markup);
        } else {
            out.checkedName(piece.markup, piece.encoded);  // names in it checked; the rest ASCII
        }
        if (piece.leaf == kNoLeaf) continue;
        if (Cp932 && fromRecord_[piece.leaf]) {
            out.contentCp932(piece.context, values_[piece.leaf], *cp932_, piece.owner);
        } else {
            out.content(piece.context, values_[piece.leaf], piece.owner);
        }
    }
}

}  // namespace trelmo::convert
