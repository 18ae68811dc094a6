// Display scaling: twips to pixels at a window's DPI, on every Windows
// version the program supports (the per-monitor calls exist only on
// Windows 10 and later, so they are looked up at run time).
#pragma once

#include <windows.h>

namespace app {

// Design units: 1440 twips to the inch.
inline int Twips(int twips, UINT dpi) { return MulDiv(twips, static_cast<int>(dpi), 1440); }

// The DPI of the monitor `hwnd` is on; the system DPI when the system
// cannot tell per window, or when `hwnd` is null.
UINT DpiOf(HWND hwnd);

// AdjustWindowRectEx at `dpi`: the outer rectangle of a window whose client
// area is `rect`.
void AdjustWindowRectForDpi(RECT* rect, DWORD style, DWORD exStyle, UINT dpi);

}  // namespace app
