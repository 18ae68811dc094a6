// Every DLL the programs load at run time comes from the system folder
// (System32, or SysWOW64 for the 32-bit program on 64-bit Windows), never
// from the program's folder or the current one: a copy of a program run
// from Downloads, as administrator, must not load a DLL planted beside it.
#pragma once

#include <windows.h>

namespace platform::win32 {

// Restricts the process's DLL search to the system folder, for every
// later load by bare name, the DLLs' own included; where Windows lacks
// SetDefaultDllDirectories (Windows 7 without KB2533623) it takes the
// current folder out of the search instead. Each program calls it first.
void RestrictDllSearch();

// The system DLL `name` ("odbc32.dll"), loaded from the system folder
// only, or null when it cannot be. Every DLL loaded at run time, by the
// programs or by the delay-load helper, is loaded here.
HMODULE LoadSystemDll(const wchar_t* name);

}  // namespace platform::win32
