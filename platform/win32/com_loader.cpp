#include "platform/win32/com_loader.h"

#include <windows.h>
#include <objbase.h>

namespace platform::win32 {

bool LoadCom() {
    static bool loaded = false;
    if (loaded) return true;
    // Loaded here, a missing DLL is a result; loaded by the delay-load
    // helper on the first call, it would be an exception nothing catches.
    const HMODULE ole32 = LoadLibraryW(L"ole32.dll");
    const HMODULE oleaut32 = ole32 ? LoadLibraryW(L"oleaut32.dll") : nullptr;
    if (!oleaut32) {
        if (ole32) FreeLibrary(ole32);
        return false;
    }
    // As before at start: a thread where COM cannot be initialised fails
    // later, when the object is created.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    loaded = true;
    return true;
}

}  // namespace platform::win32
