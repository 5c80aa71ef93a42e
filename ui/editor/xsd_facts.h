#pragma once
// What the XSD that the schema names says of its nodes: the label and
// whether it is required. Read again when the schema, its file, its XSD or
// its top element changes; a schema that names no XSD has none.

#include <QObject>
#include <optional>
#include <string>

#include "engine/xml/dom.h"
#include "engine/xsd/bind_by_name.h"

namespace trelmo::ui {

class SchemaDocument;

class XsdFacts : public QObject {
    Q_OBJECT
public:
    explicit XsdFacts(SchemaDocument& document, QObject* parent = nullptr);

    const xsd::OutlineFacts& facts() const { return facts_; }
    // The facts of a schema node: an element's or attribute's own, a text's
    // or CDATA's element's; nullopt for a node the XSD does not describe.
    std::optional<xsd::NodeFacts> of(const xml::Node& node) const;
    // Why the XSD named could not be read; empty when it was, or none is named.
    const std::string& readError() const { return readError_; }

signals:
    void changed();

private:
    void reload();

    SchemaDocument& document_;
    xsd::OutlineFacts facts_;
    std::string readError_;
};

}  // namespace trelmo::ui
