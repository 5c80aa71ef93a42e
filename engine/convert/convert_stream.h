#pragma once
// One record element written straight into a streamed save, byte for byte as
// the nodes CreateXML builds for it would be saved: an element's attributes
// (each name once, where it was first set, with the value set last) come
// before its content, whatever their order in the schema.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "engine/convert/convert_plan.h"
#include "engine/xml/content_check.h"
#include "engine/xml/xml_writer.h"

namespace trelmo::convert {

class RecordWriter {
public:
    // `plan` must outlive the writer, its names already checked; the writers
    // it writes into all have one encoding. With `cp932`, writeUnchecked
    // takes records of code page 932 bytes, for writers whose encoding goes
    // by table.
    explicit RecordWriter(const Plan& plan, const Cp932Decoder* cp932 = nullptr);

    // Checks the values of the record (`record` counted from 0) that the
    // element holds, in the order it holds them (attributes before content,
    // a replaced attribute's value not at all): the first value that cannot
    // be written raises its error with the record and the column named.
    // CreateXML checks its records the same way.
    void checkValues(RecordFields& fields, xml::ContentCheck& check, std::size_t record) const;
    // Checks the record and writes its element.
    void write(xml::detail::XmlWriter& out, RecordFields& fields, xml::ContentCheck& check, std::size_t record);
    // The same without the full check, whose refusals are the writer's own
    // for any value short enough (the check adds NUL, which the writer
    // refuses too, and the length): false, and nothing written, for a value
    // too long; else throws what splitting the record throws, or what the
    // writer throws for a value the check refuses, with part of the record
    // written then.
    bool writeUnchecked(xml::detail::XmlWriter& out, RecordFields& fields);

private:
    // The markup is the same for every record: fixed pieces, each followed
    // by a value, in document order.
    struct Piece {
        std::string markup;  // UTF-8; names in it already checked
        bool asciiMarkup = true;
        std::size_t leaf = kNoLeaf;  // the value after the markup, into leaves_
        xml::detail::Context context = xml::detail::Context::Text;
        std::string_view owner;  // the attribute's name, for messages
        mutable std::string encoded;  // markup in the output's encoding, when it goes by table
    };
    static constexpr std::size_t kNoLeaf = static_cast<std::size_t>(-1);
    struct Element {
        const std::string* name;
        std::vector<std::size_t> attributes;  // into leaves_
        std::vector<std::pair<Kind, std::size_t>> content;  // Kind::Element: into elements; else into leaves_
    };

    void collect(const std::vector<PlanNode>& nodes, std::vector<Element>& elements, std::size_t into);
    void compile(const std::vector<Element>& elements, std::size_t element, std::string& markup);
    void value(std::string& markup, std::size_t leaf, xml::detail::Context context);
    // Cp932: the values of fromRecord_ are code page 932 bytes.
    template <bool Cp932>
    void writePieces(xml::detail::XmlWriter& out) const;

    // Where a leaf's value comes from, kept together for the loop over a record's leaves.
    struct Source {
        bool fromField;
        std::size_t field;
        std::string_view fixed;    // the value when not from a field
        std::string_view noField;  // the value when the record has no such field
    };
    std::string_view valueOf(std::size_t leaf, const std::vector<std::string_view>& fields) const {
        const Source& source = sources_[leaf];
        if (!source.fromField) return source.fixed;
        return source.field < fields.size() ? fields[source.field] : source.noField;
    }

    std::vector<const PlanNode*> leaves_;  // every node with a value, in schema order
    std::vector<Source> sources_;          // by leaf
    std::vector<Piece> pieces_;
    std::vector<std::string_view> values_;  // the current record's, by leaf
    std::vector<char> fromRecord_;          // by leaf: the value is the record's, not the schema's
    const Cp932Decoder* cp932_;             // the records' bytes are code page 932
};

}  // namespace trelmo::convert
