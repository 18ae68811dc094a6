// The modal message box: OK only, captioned with the program's title.
#include <windows.h>

#include "platform/win32/win32_platform.h"

namespace platform::win32 {

void Win32MessageDialog::Show(const std::string& utf8Text, Icon icon) {
    UINT style = MB_OK;
    switch (icon) {
    case Icon::None: break;
    case Icon::Warning: style |= MB_ICONWARNING; break;
    case Icon::Information: style |= MB_ICONINFORMATION; break;
    }
    ::MessageBoxW(GetActiveWindow(), Widen(utf8Text).c_str(), title_.c_str(), style);
}

}  // namespace platform::win32
