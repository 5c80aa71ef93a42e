#pragma once
// The output of a conversion of the first records, for the schema editor's
// XML preview: the generator and the DOM's serialiser on a copy of the schema,
// the same bytes as a conversion of those records writes. A schema that the
// save check refuses shows no output but the check's message, so that the
// preview never shows XML for a schema that cannot be saved; nor does one
// that does not convert. Either way it tells why, and what is at fault.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "engine/xml/dom.h"

namespace trelmo {

struct XmlPreview {
    std::string bytes;     // the output file's bytes; empty when problem is set
    std::string encoding;  // the encoding the declaration names, empty for UTF-8
    std::string problem;   // why there is no output, in the interface's language
    std::size_t node = 0;  // the element at fault, 1-based in document order ("//*"); 0 for none
    bool rootName = false;  // the root name is at fault
};

// Converts `count` records with a copy of the schema that has passed the
// save check (schema_check.h), the root name and the encoding set on it as the
// save sets them. The copy goes through a save and a load, as the schema file
// does on its way to a conversion. The schema is not changed. `records` are
// the file's first ones, from its first: the schema's header records, which a
// conversion skips, then those converted.
XmlPreview PreviewXML(const xml::Document& schema, std::string_view rootName, std::string_view encoding,
                      const std::vector<std::string>& records, std::size_t count);

// The first records of a CSV file, read as a conversion reads the file, and
// what a conversion of the whole file would say about it.
struct PreviewCsv {
    std::vector<std::string> records;  // the first ones, as UTF-8
    std::size_t total = 0;             // records in the file
    std::string problem;               // the reader's message, or the one for too few records
    // More records than a conversion takes, after `header` records that it
    // skips: it stops with its overflow error.
    bool tooMany(std::size_t header = 0) const { return total > kMaxConvertedRecords + header; }
    static constexpr std::size_t kMaxConvertedRecords = 32767;
};

// How many of the file's first records PreviewXML needs for `count` records
// converted with the schema: its header records too.
std::size_t PreviewRecordsNeeded(const xml::Document& schema, std::size_t count);

// Reads the whole file once, as a conversion does, and keeps `keep` records.
PreviewCsv ReadPreviewCsv(const std::string& path, std::size_t keep);

// The output decoded from its encoding to UTF-8 for display.
std::string DecodedText(const XmlPreview& preview);

}  // namespace trelmo
