// Placeholder until the CSV reader lands.
#include "engine/csv.h"

#include "engine/error.h"

namespace trelmo {

std::int32_t CSV::GetCSVasArray(const std::string&, std::vector<std::string>&) const { throw invalidArgumentError(); }
std::int16_t CSV::GetFieldCount(std::string_view) const { throw invalidArgumentError(); }
std::vector<std::string> CSV::GetFieldItems(std::string_view, std::int16_t&) const { throw invalidArgumentError(); }
void CSV::LoadCSVToListView(const std::string&, CsvListTarget&) const { throw invalidArgumentError(); }
namespace csv_detail {
std::int16_t GetClosedFieldCount(std::string_view) { throw invalidArgumentError(); }
std::string StripFieldQuotes(std::string_view) { throw invalidArgumentError(); }
}  // namespace csv_detail

}  // namespace trelmo
