// Listing a CSV file as a table.
#include <algorithm>
#include <string>

#include "engine/csv/csv.h"
#include "engine/error.h"

namespace trelmo {

// One column per field of the widest record, so that every record shows in
// full: the reader refuses a record of more fields than a 16-bit counter
// holds, so the count always fits. Narrower records leave their last cells
// empty.
void CSV::LoadCSVToListView(const std::string& PathToCSV, CsvListTarget& MyListView) const {
    std::vector<std::string> records;
    GetCSVasArray(PathToCSV, records);
    if (records.empty()) throw subscriptOutOfRangeError();
    std::int16_t n = 0;
    for (const std::string& record : records) n = std::max(n, GetFieldCount(record));

    MyListView.clearHeaders();
    MyListView.clearItems();
    for (std::int32_t k = 1; k <= n + 1; ++k) MyListView.addHeader(std::to_string(k));
    for (const std::string& record : records) {
        std::int16_t count = n;
        MyListView.addItem(GetFieldItems(record, count));
    }
}

}  // namespace trelmo
