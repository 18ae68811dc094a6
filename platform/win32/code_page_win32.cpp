// The system's ANSI code page (CP_ACP).
#include <windows.h>

#include "platform/win32/win32_platform.h"

namespace platform::win32 {

std::string Win32CodePage::ToUtf8(const std::string& ansi) {
    std::wstring wide;
    ToUtf16(CP_ACP, ansi, &wide);
    return Narrow(wide);
}

bool Win32CodePage::FromUtf8(const std::string& utf8, std::string* ansi) {
    ansi->clear();
    std::wstring wide;
    // Invalid UTF-8 is refused rather than turned into replacement characters.
    return ToUtf16(CP_UTF8, utf8, &wide, true) && FromUtf16(CP_ACP, wide, ansi, true);
}

unsigned Win32CodePage::Number() { return GetACP(); }

}  // namespace platform::win32
