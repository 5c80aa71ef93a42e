#include "engine/convert/column_names.h"

#include <unordered_map>

#include "engine/error.h"
#include "engine/xml/names.h"

namespace trelmo::convert {

NameRule::NameRule(std::string_view encoding) {
    try {
        names_.emplace(encoding);
    } catch (const RuntimeError&) {
        names_.reset();  // an unknown encoding: encodingKnown() tells
    }
}

bool NameRule::usable(std::string_view name) {
    if (names_) return names_->check(name).usable();
    // Under an unknown encoding only the XML rules apply.
    return xml::detail::isQualifiedName(name) && name.find(':') == std::string_view::npos;
}

std::string defaultColumnName(std::size_t column) { return "列" + std::to_string(column); }

std::vector<std::string> proposeColumnNames(const std::vector<std::string>& firstRecord,
                                            NameRule* fromFirstRecord) {
    const std::size_t count = firstRecord.size();
    std::vector<std::string> names(count);
    std::vector<std::size_t> fallbacks;  // columns that take their default name
    std::unordered_map<std::string_view, std::size_t> taken;  // first-record name -> column
    for (std::size_t i = 0; i < count; ++i) {
        const std::string& value = firstRecord[i];
        if (fromFirstRecord && fromFirstRecord->usable(value) && taken.emplace(value, i).second)
            names[i] = value;
        else
            fallbacks.push_back(i);
    }
    // A default name that a first-record value has taken sends that column
    // back to its own default name, which may in turn be taken.
    while (!fallbacks.empty()) {
        const std::size_t i = fallbacks.back();
        fallbacks.pop_back();
        names[i] = defaultColumnName(i + 1);
        const auto clash = taken.find(names[i]);
        if (clash == taken.end()) continue;
        fallbacks.push_back(clash->second);
        taken.erase(clash);
    }
    return names;
}

}  // namespace trelmo::convert
