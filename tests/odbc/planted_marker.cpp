// A stand-in for a DLL planted beside a program: once loaded, it leaves a
// file named after itself with ".loaded" added, and refuses to stay.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    wchar_t path[MAX_PATH + 8];
    const DWORD size = GetModuleFileNameW(self, path, MAX_PATH);
    if (size > 0 && size < MAX_PATH) {
        lstrcpyW(path + size, L".loaded");
        CloseHandle(CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    return FALSE;
}
