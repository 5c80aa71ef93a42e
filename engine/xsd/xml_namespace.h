#pragma once
// The namespace that a schema file's top element puts the output in: declared
// on the root as the default namespace, so every output element is in it and
// attributes stay unqualified.

#include <string>

namespace trelmo::xsd {

// Throws RuntimeError when `uri` is not a URI reference or is one of the
// names XML reserves; empty is no namespace.
void checkNamespace(const std::string& uri);

}  // namespace trelmo::xsd
