// The registry over the ANSI Win32 calls. Access rights and sizes pass
// through as the caller gives them.
#include <windows.h>

#include "platform/win32/win32_platform.h"

namespace platform::win32 {

namespace {

// Root key numbers become the predefined handles the way <winreg.h> builds
// them: through a signed 32-bit value, so that on 64-bit Windows
// 0x80000002 becomes 0xFFFFFFFF80000002.
HKEY RootHandle(std::uint32_t root) {
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root)));
}

HKEY AsHkey(KeyHandle key) { return reinterpret_cast<HKEY>(key); }

}  // namespace

long Win32Registry::OpenKey(std::uint32_t root, const std::string& subKey, std::uint32_t access,
                            KeyHandle* key) {
    HKEY opened = nullptr;
    const LONG status = RegOpenKeyExA(RootHandle(root), subKey.c_str(), 0, access, &opened);
    *key = status == ERROR_SUCCESS ? reinterpret_cast<KeyHandle>(opened) : 0;
    return status;
}

long Win32Registry::QueryValue(KeyHandle key, const std::string& name, std::uint32_t* type,
                               char* data, std::uint32_t* size) {
    DWORD valueType = *type;
    DWORD valueSize = *size;
    const LONG status = RegQueryValueExA(AsHkey(key), name.c_str(), nullptr, &valueType,
                                         reinterpret_cast<BYTE*>(data), &valueSize);
    *type = valueType;
    *size = valueSize;
    return status;
}

long Win32Registry::SetValue(KeyHandle key, const std::string& name, std::uint32_t type,
                             const char* data, std::uint32_t size) {
    return RegSetValueExA(AsHkey(key), name.c_str(), 0, type,
                          reinterpret_cast<const BYTE*>(data), size);
}

long Win32Registry::CloseKey(KeyHandle key) { return RegCloseKey(AsHkey(key)); }

}  // namespace platform::win32
