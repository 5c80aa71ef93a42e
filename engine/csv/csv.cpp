// Splitting one record into its fields.
#include "engine/csv/csv.h"

#include "engine/csv/csv_scan.h"
#include "engine/error.h"
#include "engine/text/utf8.h"

namespace trelmo {

namespace {

// Calls onField(index, field) for every field of a text without an open quote;
// returns the number of fields.
template <typename OnField>
std::int32_t eachField(std::string_view sTmp, OnField onField) {
    std::int32_t count = 0;
    if (!csv_scan::scanFields(sTmp, [&](std::string_view field) { onField(count++, field); })) {
        throw invalidArgumentError();
    }
    return count;
}

}  // namespace

std::int16_t CSV::GetFieldCount(std::string_view sTmp) const {
    return static_cast<std::int16_t>(eachField(sTmp, [](std::int32_t, std::string_view) {}) - 1);
}

std::vector<std::string> CSV::GetFieldItems(std::string_view sTmp, std::int16_t& intFieldCount) const {
    if (intFieldCount < 0) throw subscriptOutOfRangeError();
    std::vector<std::string> fields(static_cast<std::size_t>(intFieldCount) + 1);
    eachField(sTmp, [&](std::int32_t index, std::string_view field) {
        if (index > intFieldCount) throw subscriptOutOfRangeError();
        fields[static_cast<std::size_t>(index)] = csv_detail::StripFieldQuotes(field);
    });
    return fields;
}

namespace csv_detail {

std::int16_t GetClosedFieldCount(std::string_view sTmp) { return csv_scan::closedFieldCount(sTmp); }

std::string StripFieldQuotes(std::string_view field) { return std::string(StripFieldQuotesView(field)); }

}  // namespace csv_detail
}  // namespace trelmo
