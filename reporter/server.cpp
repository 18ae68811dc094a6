// The in-process COM server: class factory, the DLL's exports, and
// registration per machine under HKLM\Software\Classes.
#include <windows.h>
#include <olectl.h>

#include <new>
#include <string>

#include "general.h"
#include "platform/win32/owned.h"

namespace reporter {

namespace {

HMODULE g_module = nullptr;
LONG g_moduleRefs = 0;

class Factory : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (!object) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
            *object = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // The factory is static; its references only keep the DLL loaded.
    ULONG STDMETHODCALLTYPE AddRef() override {
        AddModuleRef();
        return 2;
    }
    ULONG STDMETHODCALLTYPE Release() override {
        ReleaseModuleRef();
        return 1;
    }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        General* general = new (std::nothrow) General();
        if (!general) return E_OUTOFMEMORY;
        const HRESULT hr = general->QueryInterface(riid, object);
        general->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock) {
            AddModuleRef();
        } else {
            ReleaseModuleRef();
        }
        return S_OK;
    }
};

Factory g_factory;

const wchar_t kDescription[] = L"Brevanta General Error Reporter";

std::wstring ClassesKey(const std::wstring& sub) { return L"Software\\Classes\\" + sub; }

bool SetKeyValue(const std::wstring& path, const wchar_t* name, const std::wstring& value) {
    platform::win32::Owned<HKEY, RegCloseKey> key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                        key.out(), nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          bytes) == ERROR_SUCCESS;
}

std::wstring ModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(g_module, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

LONG DeleteClassesTree(const std::wstring& sub) {
    const LONG status = RegDeleteTreeW(HKEY_LOCAL_MACHINE, ClassesKey(sub).c_str());
    if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;
    return status;
}

}  // namespace

void AddModuleRef() { InterlockedIncrement(&g_moduleRefs); }
void ReleaseModuleRef() { InterlockedDecrement(&g_moduleRefs); }

}  // namespace reporter

using namespace reporter;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID riid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!IsEqualCLSID(clsid, kClsidGeneral)) return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(riid, object);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() { return g_moduleRefs == 0 ? S_OK : S_FALSE; }

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
    const std::wstring path = ModulePath();
    if (path.empty()) return SELFREG_E_CLASS;
    const std::wstring clsidKey = ClassesKey(std::wstring(L"CLSID\\") + kClsidGeneralText);
    const std::wstring progIdKey = ClassesKey(kProgId);
    const bool ok = SetKeyValue(progIdKey, nullptr, kDescription) &&
                    SetKeyValue(progIdKey + L"\\CLSID", nullptr, kClsidGeneralText) &&
                    SetKeyValue(clsidKey, nullptr, kDescription) &&
                    SetKeyValue(clsidKey + L"\\ProgID", nullptr, kProgId) &&
                    SetKeyValue(clsidKey + L"\\InprocServer32", nullptr, path) &&
                    SetKeyValue(clsidKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
    return ok ? S_OK : SELFREG_E_CLASS;
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
    const LONG a = DeleteClassesTree(std::wstring(L"CLSID\\") + kClsidGeneralText);
    const LONG b = DeleteClassesTree(kProgId);
    return a == ERROR_SUCCESS && b == ERROR_SUCCESS ? S_OK : SELFREG_E_CLASS;
}
