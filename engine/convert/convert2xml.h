#pragma once
// Builds the output document of a conversion from a schema document and the
// record array.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/csv/csv.h"
#include "engine/progress.h"
#include "engine/xml/byte_sink.h"
#include "engine/xml/dom.h"

namespace trelmo {

// Sees the output's bytes as they are written; the destination is replaced
// only when it accepts them.
class OutputCheck : public xml::detail::ByteSink {
public:
    // Called once, after the last byte.
    virtual bool accept() = 0;
};

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
    // With `check`, the destination is replaced only when the check accepts
    // the bytes: false otherwise.
    bool WriteXML(xml::Document& schemaXML, const std::vector<std::string>& csvRecords, const std::string& path,
                  const std::function<void()>& committing = {}, OutputCheck* check = nullptr);
    // WriteXML on a file's records. Those of a code page 932 file go as they
    // are into an output in that code page, else they are decoded first.
    bool WriteRecords(xml::Document& schemaXML, CsvRecords& csv, const std::string& path,
                      const std::function<void()>& committing = {}, OutputCheck* check = nullptr);

private:
    ProgressSink& progress_;
};

}  // namespace trelmo
