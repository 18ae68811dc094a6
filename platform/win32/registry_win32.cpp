// The registry over Win32. Keys are opened with the ANSI call. Values are
// read and written with the wide calls, so that a value name reaches the
// registry as its own characters in every code page, and their text data
// is converted through the ANSI code page here, exactly as the ANSI calls
// convert it: the stored texts are the same as if those calls were used.
#include <windows.h>

#include <cstring>
#include <string_view>
#include <vector>

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

// The types whose data the ANSI calls convert.
bool IsText(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

// Copies `bytes` into the caller's room, or says how much room it needs.
long Deliver(const char* bytes, std::uint32_t count, char* data, std::uint32_t* size) {
    const std::uint32_t room = *size;
    *size = count;
    if (count > room) return ERROR_MORE_DATA;
    if (count) std::memcpy(data, bytes, count);
    return ERROR_SUCCESS;
}

}  // namespace

long Win32Registry::OpenKey(std::uint32_t root, const std::string& subKey, std::uint32_t access,
                            KeyHandle* key) {
    HKEY opened = nullptr;
    const LONG status = RegOpenKeyExA(RootHandle(root), subKey.c_str(), 0, access, &opened);
    *key = status == ERROR_SUCCESS ? reinterpret_cast<KeyHandle>(opened) : 0;
    return status;
}

long Win32Registry::QueryValue(KeyHandle key, const std::string& name, std::uint32_t* type,
                               char* data, std::uint32_t* size, bool* exact) {
    // Each wide character becomes at least one byte, so a value that needs
    // more wide characters than the caller has bytes of room cannot fit.
    std::vector<BYTE> raw(static_cast<size_t>(*size) * sizeof(wchar_t));
    DWORD valueType = *type;
    DWORD rawSize = static_cast<DWORD>(raw.size());
    const LONG status = RegQueryValueExW(AsHkey(key), Widen(name).c_str(), nullptr, &valueType,
                                         raw.data(), &rawSize);
    *type = valueType;
    *exact = true;
    if (status != ERROR_SUCCESS) return status;
    if (!IsText(valueType))
        return Deliver(reinterpret_cast<const char*>(raw.data()), rawSize, data, size);

    // The ANSI call's conversion, look-alikes and "?" included; it was exact
    // only when the text converts back to the very characters stored (an
    // odd byte left over is no character at all).
    const std::wstring_view wide(reinterpret_cast<const wchar_t*>(raw.data()),
                                 rawSize / sizeof(wchar_t));
    const std::string ansi = FromUtf16(CP_ACP, wide);
    bool valid = false;
    *exact = rawSize % sizeof(wchar_t) == 0 && ToUtf16(CP_ACP, ansi, &valid) == wide && valid;
    return Deliver(ansi.data(), static_cast<std::uint32_t>(ansi.size()), data, size);
}

long Win32Registry::SetValue(KeyHandle key, const std::string& name, std::uint32_t type,
                             const char* data, std::uint32_t size) {
    const std::wstring wideName = Widen(name);
    if (!IsText(type)) {
        return RegSetValueExW(AsHkey(key), wideName.c_str(), 0, type,
                              reinterpret_cast<const BYTE*>(data), size);
    }
    const std::wstring wide = ToUtf16(CP_ACP, {data, size});
    return RegSetValueExW(AsHkey(key), wideName.c_str(), 0, type,
                          reinterpret_cast<const BYTE*>(wide.data()),
                          static_cast<DWORD>(wide.size() * sizeof(wchar_t)));
}

long Win32Registry::CloseKey(KeyHandle key) { return RegCloseKey(AsHkey(key)); }

}  // namespace platform::win32
