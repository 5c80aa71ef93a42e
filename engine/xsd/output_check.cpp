#include "engine/xsd/output_check.h"

#include "engine/xsd/fault_text.h"

namespace trelmo::xsd {
namespace {

std::string utf8Of(std::string_view bytes, const Cp932Decoder& cp932) {
    std::string text;
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = cp932.isLead(in[i]) && i + 1 < bytes.size() ? 2 : 1;
        char utf8[4];
        text.append(utf8, cp932.character(in + i, length, utf8));
        i += length;
    }
    return text;
}

}  // namespace

XsdOutputCheck::XsdOutputCheck(Schema schema, const convert::Plan& plan, std::size_t firstRecord)
    : schema_(std::move(schema)),
      shape_(plan),
      validator_(schema_, shape_),
      feed_(validator_),
      firstRecord_(firstRecord) {}

bool XsdOutputCheck::accept() {
    feed_.finish();
    validator_.finish();
    return validator_.valid();
}

std::size_t XsdOutputCheck::recordOf(const Fault& fault) const {
    return fault.record == 0 ? 0 : fault.record + firstRecord_ - 1;
}

std::vector<std::string> fieldsOf(std::string_view record, bool cp932) {
    const Cp932Decoder* decoder = cp932 ? Cp932Decoder::instance() : nullptr;
    convert::RecordFields fields(decoder);
    fields.reset(record);
    std::vector<std::string> values;
    for (const std::string_view field : fields.fields()) {
        values.push_back(decoder ? utf8Of(field, *decoder) : std::string(field));
    }
    return values;
}

Message XsdOutputCheck::refusal(const std::vector<std::string_view>& records, bool cp932) const {
    std::vector<std::string> lines;
    for (Fault fault : validator_.faults()) {
        const std::size_t record = recordOf(fault);
        if (fault.field != RecordShape::kNone && record > 0 && record <= records.size()) {
            const std::vector<std::string> fields = fieldsOf(records[record - 1], cp932);
            if (fault.field < fields.size()) fault.value = fields[fault.field];
        }
        lines.push_back(faultLine(fault, record));
    }
    return refusalMessage(schema_.path(), lines, validator_.total());
}

}  // namespace trelmo::xsd
