#pragma once
// The schema editor's XML preview checked against the XSD its schema names:
// the faults of the records shown, each with its record, column, node path
// and reason. The XSD is read once and read again only when one of its files
// changes, so that every refresh costs only the check of the shown records.

#include <cstddef>
#include <ctime>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/convert/xml_preview.h"
#include "engine/xml/dom.h"
#include "engine/xsd/xsd_schema.h"

namespace trelmo::xsd {

struct PreviewFault {
    std::size_t record = 0;  // the CSV record, from 1; 0: none (a fault of the root)
    std::size_t column = 0;  // the CSV column whose value broke it, from 1; 0: none
    std::string path;        // the output node, "/root/record[2]/leaf"
    std::string attribute;   // the attribute at fault on that node, if one is
    std::string reason;      // the Japanese sentence, then libxml2's text
    std::string line;        // the whole fault as the conversion lists it
};

struct PreviewXsdResult {
    bool checked = false;  // the schema names an XSD and it was loaded
    std::string problem;   // why the XSD could not be loaded (the conversion's message); empty when it was
    std::vector<PreviewFault> faults;  // the first StreamValidator::kListed
    std::size_t total = 0;             // every fault
};

class PreviewXsdChecker {
public:
    // `schema`: the document the preview was made from; `schemaPath`: where
    // it is saved, whose folder resolves a relative `xsd` (empty: the working
    // folder); `records`: those the preview was made from, UTF-8, the file's
    // first ones (its header records, then those converted). Nothing is
    // checked without an `xsd` attribute or when the preview has no output.
    PreviewXsdResult check(const xml::Document& schema, const std::string& schemaPath, const XmlPreview& preview,
                           const std::vector<std::string>& records);

private:
    // The cached XSD, read again when its path or one of its files changed; its load problem else.
    const Schema* schemaFor(const std::string& xsdPath, std::string& problem);

    std::string path_;
    std::unique_ptr<Schema> schema_;
    std::string problem_;
    std::vector<std::pair<std::string, std::timespec>> stamps_;  // each file read and when it changed
};

}  // namespace trelmo::xsd
