// COM for the error reporter, brought in on the first report instead of at
// start. The 64-bit programs link ole32 and oleaut32 as delay-loaded DLLs
// (see CMakeLists.txt), so neither is loaded until this is called; the
// 32-bit ones import them as usual, and this only initialises COM.
#pragma once

namespace platform::win32 {

// Loads ole32 and oleaut32 and initialises COM for the calling thread (the
// user-interface thread), which keeps it for the life of the program.
// False when either DLL cannot be loaded; then no COM function may be
// called. Once it has succeeded it does nothing more.
bool LoadCom();

}  // namespace platform::win32
