#include "engine/messages.h"

#include <cstdio>

namespace trelmo {

std::string visibleText(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t k = 0; k < text.size(); ++k) {
        const auto byte = static_cast<unsigned char>(text[k]);
        char escape[8];
        if (byte == '\r' && k + 1 < text.size() && text[k + 1] == '\n') {
            shown += "\r\n";
            ++k;
        } else if ((byte < 0x20 && byte != '\t') || byte == 0x7F) {
            std::snprintf(escape, sizeof escape, "\\x%02X", byte);
            shown += escape;
        } else if (byte == 0xC2 && k + 1 < text.size() && static_cast<unsigned char>(text[k + 1]) < 0xA0 &&
                   static_cast<unsigned char>(text[k + 1]) >= 0x80) {
            // C1 controls, U+0080 to U+009F, in UTF-8.
            std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned char>(text[k + 1]));
            shown += escape;
            ++k;
        } else {
            shown += text[k];
        }
    }
    return shown;
}

}  // namespace trelmo
