// How the steps show a name: between single quotes. Some come from outside
// (a certificate's names, a hosts-file line, an alias): every control
// character (C0, DEL, and C1 as UTF-8) is shown as '?', so that no name can
// move a terminal's cursor or forge a line of the test's output.
#pragma once

#include <string>
#include <string_view>

namespace connection {

inline std::string Quoted(std::string_view text) {
    std::string quoted = "'";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const bool c1 = c == 0xC2 && i + 1 < text.size() &&
                        (static_cast<unsigned char>(text[i + 1]) & 0xE0) == 0x80;
        if (c < 0x20 || c == 0x7F || c1) {
            quoted += '?';
            i += c1;
        } else {
            quoted += text[i];
        }
    }
    return quoted + "'";
}

}  // namespace connection
