// Names compared as Windows and SQL Server compare them: ASCII letters
// without regard to case, other bytes as they are. The one such comparison:
// driver and instance names, hosts, keywords, server prefixes, and the
// items of "Segurança".
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

}  // namespace connection
