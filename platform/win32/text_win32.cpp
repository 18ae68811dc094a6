#include "platform/win32/text_win32.h"

#include <windows.h>

namespace platform::win32 {

namespace {

// WideCharToMultiByte's documented contract: UTF-8, UTF-7, GB18030, HZ,
// the ISO-2022 and ISCII code pages and Symbol take no flags and no
// "used default character" out-parameter; Windows refuses the call with
// either, so WC_NO_BEST_FIT_CHARS would make every conversion fail there.
// Wine accepts both, so only Windows shows the difference. Without them,
// the conversion back below still finds any character that did not survive.
// MultiByteToWideChar's is the same, but UTF-8 and GB18030 take
// MB_ERR_INVALID_CHARS.
bool TakesNoFlags(UINT codePage, bool toUtf16 = false) {
    if (codePage == CP_ACP) codePage = GetACP();
    if (toUtf16 && (codePage == CP_UTF8 || codePage == 54936)) return false;
    return codePage == CP_UTF8 || codePage == CP_UTF7 || codePage == 54936 || codePage == 52936 ||
           codePage == 42 || (codePage >= 50220 && codePage <= 50229) ||
           (codePage >= 57002 && codePage <= 57011);
}

// Both conversions fill any string-like `Out` (a string or a secret) with
// the same calls, so that plain texts and secrets convert alike.
template <class Out>
void ToUtf16Into(unsigned codePage, std::string_view text, Out* wide, bool* exact) {
    const DWORD flags = exact && !TakesNoFlags(codePage, true) ? MB_ERR_INVALID_CHARS : 0;
    const int size = static_cast<int>(text.size());
    const int count =
        size ? MultiByteToWideChar(codePage, flags, text.data(), size, nullptr, 0) : 0;
    if (exact) *exact = count > 0 || !size;
    wide->resize(0);
    wide->resize(count);  // 0 when the conversion failed
    if (count) MultiByteToWideChar(codePage, flags, text.data(), size, wide->data(), count);
}

template <class Out, class Back>
void FromUtf16Into(unsigned codePage, std::wstring_view wide, Out* text, bool* exact) {
    const bool plain = !exact || TakesNoFlags(codePage);
    const DWORD flags = plain ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* usedDefaultOut = plain ? nullptr : &usedDefault;
    const int size = static_cast<int>(wide.size());
    const int count = size ? WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0,
                                                 nullptr, usedDefaultOut)
                           : 0;
    if (exact) *exact = !size;
    text->resize(0);
    if (count <= 0 || usedDefault) return;
    text->resize(count);
    WideCharToMultiByte(codePage, flags, wide.data(), size, text->data(), count, nullptr,
                        usedDefaultOut);
    // A character the code page lacks may still come out as a look-alike on
    // some systems; only a conversion that converts back unchanged is exact.
    if (exact) {
        Back back;
        ToUtf16Into(codePage, {text->data(), text->size()}, &back, nullptr);
        *exact = !usedDefault && std::wstring_view(back.data(), back.size()) == wide;
    }
}

// Adapts a secret to the two calls the conversions make of a string.
template <class S>
struct Sized {
    S* secret;
    void resize(std::size_t n) { secret->Resize(n); }
    auto* data() { return secret->data(); }
    std::size_t size() const { return secret->size(); }
};

// The UTF-16 copy made to check a secret's conversion is a secret too.
struct WideBack : WideSecret {
    void resize(std::size_t n) { Resize(n); }
};

}  // namespace

std::wstring ToUtf16(unsigned codePage, std::string_view text, bool* exact) {
    std::wstring wide;
    ToUtf16Into(codePage, text, &wide, exact);
    return wide;
}

std::string FromUtf16(unsigned codePage, std::wstring_view wide, bool* exact) {
    std::string text;
    FromUtf16Into<std::string, std::wstring>(codePage, wide, &text, exact);
    return text;
}

void ToUtf16(unsigned codePage, std::string_view text, WideSecret* out, bool* exact) {
    Sized<WideSecret> sized{out};
    ToUtf16Into(codePage, text, &sized, exact);
}

void FromUtf16(unsigned codePage, std::wstring_view wide, Secret* out, bool* exact) {
    Sized<Secret> sized{out};
    FromUtf16Into<Sized<Secret>, WideBack>(codePage, wide, &sized, exact);
}

std::wstring Widen(std::string_view utf8) { return ToUtf16(CP_UTF8, utf8); }
std::string Narrow(std::wstring_view wide) { return FromUtf16(CP_UTF8, wide); }
void Widen(std::string_view utf8, WideSecret* out) { ToUtf16(CP_UTF8, utf8, out); }
void Narrow(std::wstring_view wide, Secret* out) { FromUtf16(CP_UTF8, wide, out); }

}  // namespace platform::win32
