#pragma once
// Names for nodes made from CSV columns: "列N" by default, or the column's
// value in the first record where that value can name a node of the output.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/convert/schema_check.h"

namespace trelmo::convert {

// Whether a text can name an element or attribute of the output, by the save
// check's rule (OutputNames): an XML name without a prefix, every character
// of which the output encoding holds.
class NameRule {
public:
    // `encoding` as the schema gives it; empty means UTF-8. Under a name the
    // program does not know, only the XML rules apply (saving refuses such an
    // encoding anyway).
    explicit NameRule(std::string_view encoding);
    bool encodingKnown() const { return names_.has_value(); }
    bool usable(std::string_view name);

private:
    std::optional<OutputNames> names_;
};

// "列" and the column's number, counted from 1.
std::string defaultColumnName(std::size_t column);

// One name per column: with a rule, the first record's value where the rule
// takes it and no other column has it already, otherwise "列N". The names
// are unique: a first-record value that equals the default name of another
// column gives way to that column.
std::vector<std::string> proposeColumnNames(const std::vector<std::string>& firstRecord,
                                            NameRule* fromFirstRecord);

}  // namespace trelmo::convert
