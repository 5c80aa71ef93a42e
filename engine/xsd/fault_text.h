#pragma once
// The words for an output that the XSD refuses: each fault in a line that
// names the CSV record and column (as the value errors do), the output node's
// path, the value and the reason, a Japanese sentence before libxml2's text.

#include <cstddef>
#include <string>
#include <vector>

#include "engine/messages.h"
#include "engine/xsd/stream_validator.h"

namespace trelmo::xsd {

// The Japanese sentence for a fault's reason.
std::string reasonOf(const Fault& fault);

// One fault in one line; `record` is the CSV record's number, from 1 (0: none).
std::string faultLine(const Fault& fault, std::size_t record);

// The line after a list cut short: "ほかに N 件あります。".
std::string moreFaultsLine(std::size_t more);

// The message of a refused output: what happened, and the faults listed in
// its details, then how many more there are.
Message refusalMessage(const std::string& xsdPath, const std::vector<std::string>& lines, std::size_t total);

}  // namespace trelmo::xsd
