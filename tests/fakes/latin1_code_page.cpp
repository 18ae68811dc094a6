#include "fakes/fake_services.h"

namespace fakes {
namespace {

// Both directions fill a plain string or a secret with the same steps.
void Add(std::string& text, char c) { text += c; }
void Add(platform::Secret& text, char c) { text.Append(c); }

template <class Out>
void Latin1ToUtf8(std::string_view ansi, const std::string& lost, Out& utf8) {
    for (unsigned char c : ansi) {
        if (lost.find(static_cast<char>(c)) != std::string::npos) {
            for (char b : std::string_view("\xEF\xBF\xBD"))
                Add(utf8, b);  // U+FFFD, as a code page does for a byte it lacks
        } else if (c < 0x80) {
            Add(utf8, static_cast<char>(c));
        } else {
            Add(utf8, static_cast<char>(0xC0 | (c >> 6)));
            Add(utf8, static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
}

template <class Out>
bool Utf8ToLatin1(std::string_view utf8, Out& ansi) {
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            Add(ansi, static_cast<char>(c));
        } else if ((c == 0xC2 || c == 0xC3) && i + 1 < utf8.size()) {
            Add(ansi, static_cast<char>(((c & 0x03) << 6) | (utf8[++i] & 0x3F)));
        } else {
            return false;  // beyond U+00FF, or not UTF-8
        }
    }
    return true;
}

}  // namespace

std::string Latin1CodePage::ToUtf8(const std::string& ansi) {
    std::string utf8;
    Latin1ToUtf8(ansi, lost, utf8);
    return utf8;
}

bool Latin1CodePage::FromUtf8(const std::string& utf8, std::string* ansi) {
    ansi->clear();
    return Utf8ToLatin1(utf8, *ansi);
}

void Latin1CodePage::ToUtf8(std::string_view ansi, platform::Secret* utf8) {
    utf8->Clear();
    Latin1ToUtf8(ansi, lost, *utf8);
}

bool Latin1CodePage::FromUtf8(std::string_view utf8, platform::Secret* ansi) {
    ansi->Clear();
    return Utf8ToLatin1(utf8, *ansi);
}

}  // namespace fakes
