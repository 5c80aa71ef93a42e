#pragma once
// Which CSV columns the schema uses, as the converter reads it: for each
// column, the nodes that take their value from it.

#include <string>
#include <vector>

#include "engine/xml/dom.h"

namespace trelmo::ui {

// For columns 1 to `columns` (index 0 to columns - 1), the nodes bound to the
// column, each described by its kind and its place below the record element:
// "text /member/氏名", "attribute /member/@id". Empty for a schema without
// elements.
std::vector<std::vector<std::string>> columnUses(const xml::Document& schema, int columns);

}  // namespace trelmo::ui
