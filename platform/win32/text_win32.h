// Text between a code page (CP_ACP, CP_UTF8, ...) and UTF-16, the text of
// the wide Win32 calls. Given `exact`, the conversion must be exact and
// *exact says whether it was: no byte invalid in the code page, no
// character the code page lacks (no look-alike, no default character).
#pragma once

#include <string>
#include <string_view>

#include "platform/secret.h"

namespace platform::win32 {

std::wstring ToUtf16(unsigned codePage, std::string_view text, bool* exact = nullptr);
std::string FromUtf16(unsigned codePage, std::wstring_view wide, bool* exact = nullptr);
// The same for secrets: the result is written into `out`, and every buffer
// the conversion uses on the way is wiped.
void ToUtf16(unsigned codePage, std::string_view text, WideSecret* out, bool* exact = nullptr);
void FromUtf16(unsigned codePage, std::wstring_view wide, Secret* out, bool* exact = nullptr);

// UTF-8 <-> UTF-16, for the window, the console and COM.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);
void Widen(std::string_view utf8, WideSecret* out);
void Narrow(std::wstring_view wide, Secret* out);

}  // namespace platform::win32
