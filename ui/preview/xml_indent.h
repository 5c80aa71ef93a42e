#pragma once
// Lays XML out for reading: one element, comment or section a line, indented
// by depth; an element holding only text stays on one line with it.

#include <string>
#include <string_view>

namespace trelmo::ui {

std::string IndentXml(std::string_view xml, std::string_view indent = "  ");

}  // namespace trelmo::ui
