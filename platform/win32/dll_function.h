// Looking up a function of a DLL loaded at run time, from the system
// folder only, for the DLLs the programs must not import: they would then
// load at every start.
#pragma once

#include <windows.h>

#include "platform/win32/system_dll.h"

namespace platform::win32 {

// Sets `*function` to `name` in `dll`; false when the DLL lacks it.
template <typename Function>
bool FindFunction(HMODULE dll, const char* name, Function* function) {
    *function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
    return *function != nullptr;
}

// Loads the system DLL `name` (LoadSystemDll) and gives it to `found`,
// which looks up what it needs: true keeps the DLL loaded for the life of the program, false
// unloads it. False when the DLL cannot be loaded or `found` says false.
template <typename Found>
bool LoadDll(const wchar_t* name, Found found) {
    const HMODULE dll = LoadSystemDll(name);
    if (!dll) return false;
    if (found(dll)) return true;
    FreeLibrary(dll);
    return false;
}

}  // namespace platform::win32
