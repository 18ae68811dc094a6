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

unsigned Win32CodePage::Number() { return GetACP(); }

}  // namespace platform::win32
