#pragma once
// Builds the output document of a conversion from a schema document and the
// record array.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/csv/csv.h"
#include "engine/progress.h"
#include "engine/xml/dom.h"

namespace trelmo {

class Convert2XML {
public:
    explicit Convert2XML(ProgressSink& progress) : progress_(progress) {}

    // Fills `output` (new and empty) with the declaration and one root
    // element holding one record element per record, the schema's header
    // records (header_records.h) left out. May move the schema's own XML
    // declaration into the output.
    void CreateXML(xml::Document& schemaXML, xml::Document& output,
                   const std::vector<std::string>& csvRecords);

    // CreateXML on a new document followed by its save to path, without
    // holding the output in memory: the same file and the same errors, with
    // memory that does not grow with the output. committing runs once every
    // record is written, before the file replaces the destination.
    void WriteXML(xml::Document& schemaXML, const std::vector<std::string>& csvRecords, const std::string& path,
                  const std::function<void()>& committing = {});
    // WriteXML on a file's records. Those of a code page 932 file go as they
    // are into an output in that code page, else they are decoded first.
    void WriteRecords(xml::Document& schemaXML, CsvRecords& csv, const std::string& path,
                      const std::function<void()>& committing = {});

private:
    ProgressSink& progress_;
};

}  // namespace trelmo
