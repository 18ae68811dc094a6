// The modal message box: OK only, captioned with the program's title.
#include <windows.h>

#include "platform/win32/win32_platform.h"

namespace platform::win32 {
namespace {

BOOL CALLBACK FirstVisible(HWND window, LPARAM found) {
    if (!IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// The window the box belongs to, and disables while it shows: the active
// one or, while the user works in another program, this thread's visible
// window. A box can come up then: the outcome of a connection test.
HWND Owner() {
    HWND owner = GetActiveWindow();
    if (!owner)
        EnumThreadWindows(GetCurrentThreadId(), FirstVisible, reinterpret_cast<LPARAM>(&owner));
    return owner;
}

}  // namespace

void Win32MessageDialog::Show(const std::string& utf8Text, Icon icon) {
    UINT style = MB_OK;
    switch (icon) {
    case Icon::None: break;
    case Icon::Warning: style |= MB_ICONWARNING; break;
    case Icon::Information: style |= MB_ICONINFORMATION; break;
    }
    ::MessageBoxW(Owner(), Widen(utf8Text).c_str(), title_.c_str(), style);
}

}  // namespace platform::win32
