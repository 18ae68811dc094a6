// The system's ANSI code page (CP_ACP).
#include <windows.h>

#include "platform/win32/win32_platform.h"

namespace platform::win32 {

namespace {

std::wstring AnsiToWide(const std::string& ansi) {
    if (ansi.empty()) return {};
    const int size = static_cast<int>(ansi.size());
    const int count = MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, nullptr, 0);
    std::wstring wide(count, L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, wide.data(), count);
    return wide;
}

}  // namespace

std::string Win32CodePage::ToUtf8(const std::string& ansi) { return Narrow(AnsiToWide(ansi)); }

bool Win32CodePage::FromUtf8(const std::string& utf8, std::string* ansi) {
    ansi->clear();
    if (utf8.empty()) return true;
    const int utf8Size = static_cast<int>(utf8.size());
    // Invalid UTF-8 is refused rather than turned into replacement characters.
    const int wideCount =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), utf8Size, nullptr, 0);
    if (wideCount <= 0) return false;
    std::wstring wide(wideCount, L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), utf8Size, wide.data(),
                        wideCount);

    BOOL usedDefault = FALSE;
    const int count = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), wideCount,
                                          nullptr, 0, nullptr, &usedDefault);
    if (count <= 0 || usedDefault) return false;
    ansi->assign(count, '\0');
    usedDefault = FALSE;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), wideCount, ansi->data(),
                        count, nullptr, &usedDefault);
    // A character the code page lacks may still come out as a look-alike on
    // some systems; only a conversion that converts back unchanged is exact.
    return !usedDefault && AnsiToWide(*ansi) == wide;
}

}  // namespace platform::win32
