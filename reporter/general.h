// "Brevanta.General": the error reporter object. Its one method, Report,
// takes five strings (module title, application, module, procedure,
// description) and appends them to the report log.
#pragma once

#include <windows.h>
#include <oaidl.h>

namespace reporter {

// {74EDF636-884C-4A23-B00E-E86EC75297C2}
constexpr CLSID kClsidGeneral = {
    0x74edf636, 0x884c, 0x4a23, {0xb0, 0x0e, 0xe8, 0x6e, 0xc7, 0x52, 0x97, 0xc2}};
constexpr wchar_t kClsidGeneralText[] = L"{74EDF636-884C-4A23-B00E-E86EC75297C2}";
constexpr wchar_t kProgId[] = L"Brevanta.General";

// Live objects and server locks; the DLL may unload when both are zero.
void AddModuleRef();
void ReleaseModuleRef();

class General : public IDispatch {
public:
    General() { AddModuleRef(); }
    virtual ~General() { ReleaseModuleRef(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argError) override;

private:
    LONG refs_ = 1;
};

}  // namespace reporter
