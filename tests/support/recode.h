#pragma once
// Text converted by iconv, the reference that the tests hold the project's own
// decoders and encoders to.

#include <optional>
#include <string>
#include <string_view>

namespace trelmo::test {

// `text` from the encoding `from` into `to`; nothing when iconv refuses a
// byte or a character.
std::optional<std::string> recode(std::string_view text, const char* to, const char* from);

}  // namespace trelmo::test
