#include "platform/win32/system_dll.h"

#include <delayimp.h>

#include <string>

namespace platform::win32 {
namespace {

// The DLL named in the system folder's full path, for Windows without the
// search flags: LoadLibraryExW then refuses them as invalid.
HMODULE LoadByFullPath(const wchar_t* name) {
    wchar_t folder[MAX_PATH];
    const UINT size = GetSystemDirectoryW(folder, MAX_PATH);
    if (size == 0 || size >= MAX_PATH) return nullptr;
    const std::wstring path = std::wstring(folder, size) + L'\\' + name;
    return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace

void RestrictDllSearch() {
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"),
                                               "SetDefaultDllDirectories")));
    if (!setDefault || !setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) SetDllDirectoryW(L"");
}

HMODULE LoadSystemDll(const wchar_t* name) {
    const HMODULE dll = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (dll || GetLastError() != ERROR_INVALID_PARAMETER) return dll;
    return LoadByFullPath(name);
}

}  // namespace platform::win32

namespace {

// The delay-load helper asks this before it loads a delay-loaded DLL
// (ole32, oleaut32) itself; the DLL given is the one it uses.
FARPROC WINAPI DelayLoadNotify(unsigned notification, PDelayLoadInfo info) {
    if (notification != dliNotePreLoadLibrary) return nullptr;
    std::wstring name;
    for (const char* c = info->szDll; *c; ++c) name += static_cast<wchar_t>(*c);  // ASCII names
    return reinterpret_cast<FARPROC>(
        reinterpret_cast<void*>(platform::win32::LoadSystemDll(name.c_str())));
}

}  // namespace

// Taken by the MinGW run-time's delay-load helper in place of its own
// empty hook.
PfnDliHook __pfnDliNotifyHook2 = DelayLoadNotify;
