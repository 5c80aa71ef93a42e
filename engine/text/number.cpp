// Placeholder until the number conversion lands.
#include "engine/text/number.h"

#include "engine/error.h"

namespace trelmo {

Int16Result parseInt16(std::string_view) { return {}; }
std::int16_t toInt16(std::string_view) { throw typeMismatchError(); }

}  // namespace trelmo
