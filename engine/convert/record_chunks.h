#pragma once
// The records of a streamed conversion written on every core (four at most):
// chunks of records are made into memory by several threads and joined into
// the file in record order. There the writer's own checks stand in for the
// full ones; a record that fails them, or that they cannot vouch for, is
// written again by the calling thread in its turn through the full checks,
// so the file, the errors and their order are those of writing one record
// after another.

#include <cstddef>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

#include "engine/convert/convert_plan.h"
#include "engine/text/cp932.h"
#include "engine/xml/content_check.h"
#include "engine/xml/stream_save.h"

namespace trelmo::convert {

struct RecordSteps {
    std::function<void(std::size_t)> before;  // on the calling thread, before record i is in the file
    std::function<void(std::size_t)> after;   // and after it
};

// With `cp932`, the records are code page 932 bytes, and `out` encodes by
// table: chunks take them as they are; a record written on its own is
// decoded first. `records` follow `skipped` records of the file (its header
// records), which the messages count in the record numbers; the steps get
// the index into `records`.
void writeRecords(xml::StreamedSave& out, const Plan& plan, std::span<const std::string_view> records,
                  std::size_t skipped, const Cp932Decoder* cp932, xml::ContentCheck& check,
                  const RecordSteps& steps);

// How many chunks, in this process so far, stopped short of their last record
// so that the calling thread wrote the rest again through the full checks.
// Clean records never do: a count that grows on them shows a fault of the
// fast way, which the fallback would otherwise hide as a mere slowdown.
unsigned long chunksWrittenAgain();

}  // namespace trelmo::convert
