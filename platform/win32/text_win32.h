// Text conversions between code pages and UTF-16, the form the wide Win32
// calls take. Code pages are numbers as the API names them (CP_ACP, CP_UTF8...).
#pragma once

#include <string>
#include <string_view>

namespace platform::win32 {

// `text`, in `codePage`, as UTF-16. With `exact`, bytes that are not valid
// in the code page fail the conversion instead of becoming replacement
// characters.
bool ToUtf16(unsigned codePage, std::string_view text, std::wstring* wide, bool exact = false);

// `wide` in `codePage`. With `exact`, a character the code page lacks fails
// the conversion instead of becoming a look-alike or the default character.
bool FromUtf16(unsigned codePage, std::wstring_view wide, std::string* text, bool exact = false);

// UTF-8 <-> UTF-16, for the window, the console and COM.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

}  // namespace platform::win32
