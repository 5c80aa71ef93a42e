#pragma once
// The output of a conversion of the first records, for the schema editor's
// XML preview: the generator and the DOM's serialiser on a copy of the schema,
// the same bytes as a conversion of those records writes. When nothing can be
// converted it tells why, and which schema element is at fault.

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
};

// Converts records [0, count) with a copy of the schema on which the root name
// and the encoding are set as the editor's save does (an empty encoding leaves
// the declaration alone). The copy goes through a save and a load, as the
// schema file does on its way to a conversion. The schema is not changed.
XmlPreview PreviewXML(const xml::Document& schema, std::string_view rootName, std::string_view encoding,
                      const std::vector<std::string>& records, std::size_t count);

// The output decoded from its encoding to UTF-8 for display.
std::string DecodedText(const XmlPreview& preview);

// The problem texts.
inline constexpr const char* kPreviewNoElement = "スキーマに要素がありません。";
inline constexpr const char* kPreviewFewRecords =
    "CSVのレコードが足りません。変換には2件以上のレコードが必要です。";

}  // namespace trelmo
