// The system's ANSI code page (CP_ACP).
#include <windows.h>

#include "platform/win32/win32_platform.h"

namespace platform::win32 {

std::string Win32CodePage::ToUtf8(const std::string& ansi) { return Narrow(ToUtf16(CP_ACP, ansi)); }

bool Win32CodePage::FromUtf8(const std::string& utf8, std::string* ansi) {
    // Invalid UTF-8 is refused rather than turned into replacement characters.
    bool exact = true;
    const std::wstring wide = ToUtf16(CP_UTF8, utf8, &exact);
    *ansi = exact ? FromUtf16(CP_ACP, wide, &exact) : std::string();
    return exact;
}

// The secrets' conversions keep their UTF-16 copy in a secret too.
void Win32CodePage::ToUtf8(std::string_view ansi, Secret* utf8) {
    WideSecret wide;
    ToUtf16(CP_ACP, ansi, &wide);
    Narrow(wide.view(), utf8);
}

bool Win32CodePage::FromUtf8(std::string_view utf8, Secret* ansi) {
    bool exact = true;
    WideSecret wide;
    ToUtf16(CP_UTF8, utf8, &wide, &exact);
    if (exact) FromUtf16(CP_ACP, wide.view(), ansi, &exact);
    if (!exact) ansi->Clear();
    return exact;
}

unsigned Win32CodePage::Number() { return GetACP(); }

}  // namespace platform::win32
