#include "fakes/fake_services.h"

namespace fakes {

std::string Latin1CodePage::ToUtf8(const std::string& ansi) {
    std::string utf8;
    for (unsigned char c : ansi) {
        if (lost.find(static_cast<char>(c)) != std::string::npos) {
            utf8 += "\xEF\xBF\xBD";  // U+FFFD, as a code page does for a byte it lacks
        } else if (c < 0x80) {
            utf8 += static_cast<char>(c);
        } else {
            utf8 += static_cast<char>(0xC0 | (c >> 6));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return utf8;
}

bool Latin1CodePage::FromUtf8(const std::string& utf8, std::string* ansi) {
    ansi->clear();
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            *ansi += static_cast<char>(c);
        } else if ((c == 0xC2 || c == 0xC3) && i + 1 < utf8.size()) {
            *ansi += static_cast<char>(((c & 0x03) << 6) | (utf8[++i] & 0x3F));
        } else {
            return false;  // beyond U+00FF, or not UTF-8
        }
    }
    return true;
}

}  // namespace fakes
