#include "tests/support/recode.h"

#include "engine/text/iconv_handle.h"

namespace trelmo::test {

std::optional<std::string> recode(std::string_view text, const char* to, const char* from) {
    const IconvHandle cd = openIconv(to, from);
    if (!cd) return std::nullopt;
    std::string in(text), out(text.size() * 4 + 16, '\0');
    char* inPos = in.data();
    char* outPos = out.data();
    std::size_t inLeft = in.size(), outLeft = out.size();
    if (iconv(cd.get(), &inPos, &inLeft, &outPos, &outLeft) == static_cast<std::size_t>(-1)) return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

}  // namespace trelmo::test
