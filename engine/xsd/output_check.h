#pragma once
// A conversion's output checked against the XSD that its schema file names,
// as the bytes are written (on a thread beside the writing), before the save
// replaces the destination.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "engine/convert/convert2xml.h"
#include "engine/convert/convert_plan.h"
#include "engine/messages.h"
#include "engine/xsd/background_feed.h"
#include "engine/xsd/record_shape.h"
#include "engine/xsd/stream_validator.h"
#include "engine/xsd/xsd_schema.h"

namespace trelmo::xsd {

class XsdOutputCheck final : public OutputCheck {
public:
    // `firstRecord`: the number of the CSV record that the first record element is made of.
    XsdOutputCheck(Schema schema, const convert::Plan& plan, std::size_t firstRecord = 1);

    void write(const char* data, std::size_t size) override { feed_.write(data, size); }
    bool accept() override;

    const Schema& schema() const { return schema_; }
    const StreamValidator& validator() const { return validator_; }
    // The CSV record a fault is in, from 1; 0 for none.
    std::size_t recordOf(const Fault& fault) const;

    // The refusal, each listed fault's value taken from its record: `records`
    // the file's records (code page 932 bytes with `cp932`, else UTF-8).
    Message refusal(const std::vector<std::string_view>& records, bool cp932) const;

private:
    Schema schema_;
    RecordShape shape_;
    StreamValidator validator_;
    BackgroundFeed feed_;  // into validator_, beside the writing
    std::size_t firstRecord_;
};

// The fields of a record as UTF-8, split as the conversion splits them.
std::vector<std::string> fieldsOf(std::string_view record, bool cp932);

}  // namespace trelmo::xsd
