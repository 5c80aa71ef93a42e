// Listing a CSV file as a table.
#include <string>

#include "engine/csv/csv.h"
#include "engine/error.h"

namespace trelmo {

// One column per field of the first record; a later record with more fields
// than the first raises the out-of-range error, after the rows before it.
void CSV::LoadCSVToListView(const std::string& PathToCSV, CsvListTarget& MyListView) const {
    std::vector<std::string> records;
    GetCSVasArray(PathToCSV, records);
    if (records.empty()) throw subscriptOutOfRangeError();
    const std::int16_t n = GetFieldCount(records.front());

    MyListView.clearHeaders();
    MyListView.clearItems();
    for (std::int32_t k = 1; k <= n + 1; ++k) MyListView.addHeader(std::to_string(k));
    for (const std::string& record : records) {
        std::int16_t count = n;
        MyListView.addItem(GetFieldItems(record, count));
    }
}

}  // namespace trelmo
