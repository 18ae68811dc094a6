// Looking up a function of a DLL loaded at run time (LoadLibrary), for the
// DLLs the programs must not import: they would then load at every start.
#pragma once

#include <windows.h>

namespace platform::win32 {

// Sets `*function` to `name` in `dll`; false when the DLL lacks it.
template <typename Function>
bool FindFunction(HMODULE dll, const char* name, Function* function) {
    *function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
    return *function != nullptr;
}

}  // namespace platform::win32
