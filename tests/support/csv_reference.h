#pragma once
// The CSV reading done the plain way, for checking the reader: the 1-based
// field scan as written, lines split one by one and joined while a line has
// fewer than two closed fields, the whole pending text scanned again each time.
// Header-only, so the fuzz targets use it too.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace trelmo::reference {

using Records = std::vector<std::string>;

// 1-based position of c at or after 1-based start, 0 when none.
inline std::size_t inStr(std::string_view text, std::size_t start, char c) {
    if (start == 0 || start > text.size()) return 0;
    const std::size_t at = text.find(c, start - 1);
    return at == std::string_view::npos ? 0 : at + 1;
}

// The fields of a record, quotes kept; false on an open quote.
inline bool plainFields(std::string_view text, Records& fields) {
    std::size_t consumed = 0;
    for (;;) {
        std::size_t search = consumed + 1;
        if (consumed < text.size() && text[consumed] == '"') {
            search = inStr(text, consumed + 2, '"');
            if (search == 0) return false;
        }
        const std::size_t m = inStr(text, search, ',');
        if (m == 0) {
            fields.emplace_back(text.substr(consumed));
            return true;
        }
        fields.emplace_back(text.substr(consumed, m - consumed - 1));
        consumed = m;
    }
}

inline int closedCount(std::string_view line) {
    Records fields;
    return plainFields(line, fields) ? static_cast<int>(fields.size()) - 1 : -1;
}

// The records of decoded text; what is pending at the end is dropped.
inline Records plainRecords(const std::string& text) {
    const bool lf = text.find('\r') == std::string::npos;
    Records lines;
    std::string current;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == (lf ? '\n' : '\r')) {
            lines.push_back(current);
            current.clear();
            if (!lf && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            current += text[i];
            if (i + 1 == text.size()) lines.push_back(current);
        }
    }
    Records records;
    std::string pending;
    for (std::string line : lines) {
        if (!pending.empty()) {
            line = pending + (lf ? "\n" : "\r\n") + line;
            pending.clear();
        }
        if (closedCount(line) > 0) {
            records.push_back(line);
        } else {
            pending = line;
        }
    }
    return records;
}

}  // namespace trelmo::reference
