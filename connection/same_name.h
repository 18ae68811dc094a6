// Names compared as Windows and SQL Server compare them: ASCII letters
// without regard to case, other bytes as they are. The one such comparison:
// driver and instance names, hosts, keywords, server prefixes, and the
// items of "Segurança". And the one trim of a server text or an alias.
#pragma once

#include <algorithm>
#include <cctype>
#include <string_view>

namespace connection {

inline bool SameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

// `text` without the white space at either end.
inline std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

}  // namespace connection
