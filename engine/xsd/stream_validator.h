#pragma once
// Checks an output against an XSD as its bytes are written, without holding
// the document: a push parser whose events go to libxml2's schema validator.
// Each fault is placed in the output (the record element, the node's path)
// and, through the record's shape, at the CSV field whose value broke it.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "engine/xml/byte_sink.h"
#include "engine/xsd/record_shape.h"
#include "engine/xsd/xsd_schema.h"

namespace trelmo::xsd {

struct Fault {
    std::size_t record = 0;  // the record element's place among the root's elements, from 1; 0: none
    std::size_t field = RecordShape::kNone;  // the field whose value broke it, from 0
    std::string path;                        // the node's path, "/root/record[3]/leaf"
    std::string attribute;                   // the attribute at fault, if one is
    std::string value;                       // the field's value, filled in by the caller
    int code = 0;                            // libxml2's error code
    std::string reason;                      // libxml2's text
};

class StreamValidator final : public xml::detail::ByteSink {
public:
    static constexpr std::size_t kListed = 100;

    // `schema` and `shape` must outlive the validator.
    StreamValidator(const Schema& schema, const RecordShape& shape, std::size_t listed = kListed);
    ~StreamValidator() override;
    StreamValidator(const StreamValidator&) = delete;
    StreamValidator& operator=(const StreamValidator&) = delete;

    // The next bytes of the document.
    void write(const char* data, std::size_t size) override;
    // Ends the document; faults() and total() are final then.
    void finish();

    bool valid() const { return total_ == 0; }
    // The first `listed` faults, in document order.
    const std::vector<Fault>& faults() const { return faults_; }
    // Every fault, listed or not.
    std::size_t total() const { return total_; }

    struct Impl;

private:
    friend struct Impl;
    void report(int code, const char* message, bool parseError);

    std::unique_ptr<Impl> impl_;
    const RecordShape& shape_;
    std::size_t listed_;
    std::vector<Fault> faults_;
    std::size_t total_ = 0;
    Fault last_;  // the fault reported last, listed or not
};

}  // namespace trelmo::xsd
