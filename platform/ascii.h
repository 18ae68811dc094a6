// Texts compared as ASCII without case: ODBC keywords and driver names,
// server prefixes, the items of "Segurança". Other bytes compare as they are.
#pragma once

#include <algorithm>
#include <cctype>
#include <string_view>

namespace platform {

inline bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

}  // namespace platform
