#pragma once
// The walk that expands an element declaration of an XSD into an outline
// node: types, derivations, groups and references resolved, within the
// bounds that XsdOutline names, with a note for everything left out.

#include <libxml/tree.h>

#include <optional>
#include <string>
#include <vector>

#include "engine/xsd/xsd_outline.h"
#include "engine/xsd/xsd_outline_files.h"

namespace trelmo::xsd::detail {

// The element a global declaration declares; nullopt when it is left out
// (an abstract element). Notes are added to `notes`, each once; elements of
// another namespace than `rootNamespace` get one.
std::optional<OutlineNode> expandElement(const XsdFiles& files, const xmlNode* declaration, std::string rootNamespace,
                                         std::vector<std::string>& notes);

}  // namespace trelmo::xsd::detail
