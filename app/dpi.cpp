#include "app/dpi.h"

#include "platform/win32/dll_function.h"
#include "platform/win32/owned.h"

namespace app {
namespace {

// A user32 export that older systems lack, or null.
template <typename Function>
Function User32(const char* name) {
    Function function = nullptr;
    platform::win32::FindFunction(GetModuleHandleW(L"user32.dll"), name, &function);
    return function;
}

void ReleaseScreenDc(HDC screen) { ReleaseDC(nullptr, screen); }

UINT SystemDpi() {
    const platform::win32::Owned<HDC, ReleaseScreenDc> screen(GetDC(nullptr));
    return static_cast<UINT>(GetDeviceCaps(screen.get(), LOGPIXELSY));
}

}  // namespace

UINT DpiOf(HWND hwnd) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = User32<GetDpiForWindowFn>("GetDpiForWindow");
    if (hwnd && getDpiForWindow) {
        if (UINT dpi = getDpiForWindow(hwnd)) return dpi;
    }
    return SystemDpi();
}

void AdjustWindowRectForDpi(RECT* rect, DWORD style, DWORD exStyle, UINT dpi) {
    using AdjustFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = User32<AdjustFn>("AdjustWindowRectExForDpi");
    if (adjustForDpi) {
        adjustForDpi(rect, style, FALSE, exStyle, dpi);
    } else {
        AdjustWindowRectEx(rect, style, FALSE, exStyle);
    }
}

}  // namespace app
