#include "platform/win32/com_loader.h"

#include <windows.h>
#include <objbase.h>

#include "platform/win32/owned.h"
#include "platform/win32/system_dll.h"

namespace platform::win32 {

bool LoadCom() {
    static bool loaded = false;
    if (loaded) return true;
    // Loaded here, a missing DLL is a result; loaded by the delay-load
    // helper on the first call, it would be an exception nothing catches.
    Owned<HMODULE, FreeLibrary> ole32(LoadSystemDll(L"ole32.dll"));
    if (!ole32.get() || !LoadSystemDll(L"oleaut32.dll")) return false;
    ole32.release();  // both stay loaded for the life of the program
    // As before at start: a thread where COM cannot be initialised fails
    // later, when the object is created.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    loaded = true;
    return true;
}

}  // namespace platform::win32
