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

// WideCharToMultiByte's documented contract: UTF-7, UTF-8, GB18030 and the
// ISO-2022 and ISCII code pages (and Symbol) take no flags at all, so
// WC_NO_BEST_FIT_CHARS would make every call fail there; UTF-7 and UTF-8
// also refuse a "used default character" flag. Wine accepts both, so only
// Windows shows the difference. Where the flag is not allowed, the
// conversion back below still finds any character that did not survive.
bool TakesNoFlags(UINT codePage) {
    return codePage == CP_UTF7 || codePage == CP_UTF8 || codePage == 54936 || codePage == 42 ||
           (codePage >= 50220 && codePage <= 50229) || (codePage >= 57002 && codePage <= 57011);
}
bool ReportsDefaultChar(UINT codePage) { return codePage != CP_UTF7 && codePage != CP_UTF8; }

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

    const UINT codePage = GetACP();
    const DWORD flags = TakesNoFlags(codePage) ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* usedDefaultOut = ReportsDefaultChar(codePage) ? &usedDefault : nullptr;
    const int count = WideCharToMultiByte(CP_ACP, flags, wide.data(), wideCount, nullptr, 0,
                                          nullptr, usedDefaultOut);
    if (count <= 0 || usedDefault) return false;
    ansi->assign(count, '\0');
    WideCharToMultiByte(CP_ACP, flags, wide.data(), wideCount, ansi->data(), count, nullptr,
                        usedDefaultOut);
    // A character the code page lacks may still come out as a look-alike on
    // some systems; only a conversion that converts back unchanged is exact.
    return !usedDefault && AnsiToWide(*ansi) == wide;
}

unsigned Win32CodePage::Number() { return GetACP(); }

}  // namespace platform::win32
