#include "general.h"

#include <oleauto.h>

#include <array>
#include <string>

#include "report_log.h"

namespace reporter {

namespace {

constexpr DISPID kDispidReport = 1;
constexpr UINT kReportArgs = 5;
// "Path/File access error", raised as a run-time error when the log cannot
// be written.
constexpr WORD kErrPathFileAccess = 75;

// The text of one argument: a string, by value or by reference, or anything
// that converts to one.
HRESULT ArgText(VARIANT* arg, std::wstring* text) {
    BSTR value = nullptr;
    if (arg->vt == VT_BSTR) {
        value = arg->bstrVal;
    } else if (arg->vt == (VT_BSTR | VT_BYREF)) {
        value = arg->pbstrVal ? *arg->pbstrVal : nullptr;
    } else {
        VARIANT converted;
        VariantInit(&converted);
        const HRESULT hr = VariantChangeType(&converted, arg, 0, VT_BSTR);
        if (FAILED(hr)) return DISP_E_TYPEMISMATCH;
        text->assign(converted.bstrVal, SysStringLen(converted.bstrVal));
        VariantClear(&converted);
        return S_OK;
    }
    text->assign(value ? value : L"", SysStringLen(value));
    return S_OK;
}

void FillLogFailure(EXCEPINFO* exception, DWORD error) {
    if (!exception) return;
    *exception = EXCEPINFO{};
    exception->wCode = kErrPathFileAccess;
    exception->bstrSource = SysAllocString(kProgId);
    std::wstring text = L"Path/File access error: " + LogPath();
    text += L" (system error " + std::to_wstring(error) + L")";
    exception->bstrDescription = SysAllocString(text.c_str());
}

}  // namespace

HRESULT General::QueryInterface(REFIID riid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG General::AddRef() { return InterlockedIncrement(&refs_); }

ULONG General::Release() {
    const LONG refs = InterlockedDecrement(&refs_);
    if (refs == 0) delete this;
    return refs;
}

HRESULT General::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT General::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info) *info = nullptr;
    return DISP_E_BADINDEX;
}

HRESULT General::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (!names || !ids) return E_POINTER;
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    // Only the method name; Report has no named arguments.
    if (count != 1 || !names[0] ||
        CompareStringOrdinal(names[0], -1, L"Report", -1, TRUE) != CSTR_EQUAL) {
        return DISP_E_UNKNOWNNAME;
    }
    ids[0] = kDispidReport;
    return S_OK;
}

HRESULT General::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* exception, UINT* argError) {
    if (id != kDispidReport) return DISP_E_MEMBERNOTFOUND;
    if (!(flags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
    if (!params) return E_INVALIDARG;
    if (params->cNamedArgs != 0) return DISP_E_NONAMEDARGS;
    if (params->cArgs != kReportArgs) return DISP_E_BADPARAMCOUNT;

    try {
        // Arguments come last first: rgvarg[4] is the first one.
        std::array<std::wstring, kReportArgs> args;
        for (UINT i = 0; i < kReportArgs; ++i) {
            const UINT position = kReportArgs - 1 - i;
            if (FAILED(ArgText(&params->rgvarg[position], &args[i]))) {
                if (argError) *argError = position;
                return DISP_E_TYPEMISMATCH;
            }
        }
        if (!AppendReport(args)) {
            FillLogFailure(exception, GetLastError());
            return DISP_E_EXCEPTION;
        }
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    if (result) VariantInit(result);
    return S_OK;
}

}  // namespace reporter
