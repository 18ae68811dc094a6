#include "platform/win32/text_win32.h"

#include <windows.h>

namespace platform::win32 {

namespace {

UINT Resolved(UINT codePage) { return codePage == CP_ACP ? GetACP() : codePage; }

// WideCharToMultiByte's documented contract: UTF-8, UTF-7, GB18030, HZ,
// the ISO-2022 and ISCII code pages and Symbol take no flags and no
// "used default character" out-parameter; Windows refuses the call with
// either, so WC_NO_BEST_FIT_CHARS would make every conversion fail there.
// Wine accepts both, so only Windows shows the difference. Without them,
// the conversion back below still finds any character that did not survive.
bool TakesNoFlags(UINT codePage) {
    return codePage == CP_UTF8 || codePage == CP_UTF7 || codePage == 54936 ||
           codePage == 52936 || codePage == 42 || (codePage >= 50220 && codePage <= 50229) ||
           (codePage >= 57002 && codePage <= 57011);
}

// MultiByteToWideChar's: of those, only UTF-8 and GB18030 take
// MB_ERR_INVALID_CHARS.
DWORD ExactFlags(UINT codePage) {
    return codePage == CP_UTF8 || codePage == 54936 || !TakesNoFlags(codePage)
               ? MB_ERR_INVALID_CHARS
               : 0;
}

}  // namespace

bool ToUtf16(unsigned codePage, std::string_view text, std::wstring* wide, bool exact) {
    wide->clear();
    if (text.empty()) return true;
    const DWORD flags = exact ? ExactFlags(Resolved(codePage)) : 0;
    const int size = static_cast<int>(text.size());
    const int count = MultiByteToWideChar(codePage, flags, text.data(), size, nullptr, 0);
    if (count <= 0) return false;
    wide->assign(count, L'\0');
    MultiByteToWideChar(codePage, flags, text.data(), size, wide->data(), count);
    return true;
}

bool FromUtf16(unsigned codePage, std::wstring_view wide, std::string* text, bool exact) {
    text->clear();
    if (wide.empty()) return true;
    const bool plain = !exact || TakesNoFlags(Resolved(codePage));
    const DWORD flags = plain ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* usedDefaultOut = plain ? nullptr : &usedDefault;
    const int size = static_cast<int>(wide.size());
    const int count = WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr,
                                          usedDefaultOut);
    if (count <= 0 || usedDefault) return false;
    text->assign(count, '\0');
    WideCharToMultiByte(codePage, flags, wide.data(), size, text->data(), count, nullptr,
                        usedDefaultOut);
    if (!exact) return true;
    // A character the code page lacks may still come out as a look-alike on
    // some systems; only a conversion that converts back unchanged is exact.
    std::wstring back;
    return !usedDefault && ToUtf16(codePage, *text, &back) && back == wide;
}

std::wstring Widen(std::string_view utf8) {
    std::wstring wide;
    ToUtf16(CP_UTF8, utf8, &wide);
    return wide;
}

std::string Narrow(std::wstring_view wide) {
    std::string utf8;
    FromUtf16(CP_UTF8, wide, &utf8);
    return utf8;
}

}  // namespace platform::win32
