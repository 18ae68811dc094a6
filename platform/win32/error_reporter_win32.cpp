// The outside error reporter, reached through COM: created from its ProgID,
// "Report" called late-bound through IDispatch, released right after.
#include <windows.h>
#include <oleauto.h>

#include <vector>

#include "platform/runtime_failure.h"
#include "platform/win32/owned.h"
#include "platform/win32/win32_platform.h"

namespace platform::win32 {

namespace {

using OwnedBstr = Owned<BSTR, SysFreeString>;

// The call's arguments as COM strings, in the reverse order Invoke wants
// them (the last argument first).
class BstrArgs {
public:
    explicit BstrArgs(const std::array<std::string, 5>& utf8Args) {
        for (auto arg = utf8Args.rbegin(); arg != utf8Args.rend(); ++arg) {
            const std::wstring wide = Widen(*arg);
            strings_.emplace_back(SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size())));
            if (!strings_.back().get()) throw RuntimeFailure(kErrOutOfMemory);
            VARIANT variant;
            VariantInit(&variant);
            variant.vt = VT_BSTR;
            variant.bstrVal = strings_.back().get();
            variants_.push_back(variant);
        }
    }
    DISPPARAMS Params() {
        return DISPPARAMS{variants_.data(), nullptr, static_cast<UINT>(variants_.size()), 0};
    }

private:
    std::vector<OwnedBstr> strings_;
    std::vector<VARIANT> variants_;  // borrow the strings above
};

std::string TakeBstr(BSTR text) {
    const OwnedBstr owned(text);
    return Narrow({text, text ? SysStringLen(text) : 0});
}

// The system's text for an HRESULT, or a generic one.
std::string HresultDescription(HRESULT hr) {
    Owned<wchar_t*, LocalFree> buffer;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<wchar_t*>(buffer.out()), 0, nullptr);
    std::wstring text = length ? std::wstring(buffer.get(), length) : std::wstring();
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
        text.pop_back();
    return text.empty() ? "Automation error" : "Automation error: " + Narrow(text);
}

// The run-time failure for a failed call whose number is `number`, taken
// from the HRESULT `hr` or given by the object. Invoke's argument errors
// have run-time numbers of their own; any other HRESULT keeps its value as
// the number. A number of 0 would be swallowed by every trap without a
// report, so it becomes 440, "Automation error".
RuntimeFailure CallFailure(long number, HRESULT hr, std::string description = {}) {
    if (number == static_cast<long>(hr)) {
        switch (hr) {
        case DISP_E_BADPARAMCOUNT: number = kErrWrongArgCount; break;
        case DISP_E_TYPEMISMATCH: number = kErrTypeMismatch; break;
        case DISP_E_PARAMNOTOPTIONAL: number = kErrArgNotOptional; break;
        }
    }
    if (number == 0) number = kErrAutomation;
    if (description.empty()) description = StandardDescription(number);
    if (description.empty()) description = HresultDescription(hr);
    return RuntimeFailure(number, description);
}

// The failure an object raised inside Invoke, from its exception record.
RuntimeFailure ExceptionFailure(EXCEPINFO& info) {
    if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
    const OwnedBstr source(info.bstrSource), helpFile(info.bstrHelpFile);
    std::string description = TakeBstr(info.bstrDescription);
    long number;
    if (info.wCode != 0) {
        number = info.wCode;
    } else if (HRESULT_FACILITY(info.scode) == FACILITY_CONTROL) {
        number = HRESULT_CODE(info.scode);  // run-time errors travel as 0x800Axxxx
    } else {
        number = info.scode;
    }
    return CallFailure(number, info.scode, description);
}

}  // namespace

void Win32ErrorReporter::Report(const std::array<std::string, 5>& utf8Args) {
    CLSID clsid;
    Owned<IDispatch*, ReleaseCom<IDispatch>> reporter;
    if (!loadCom_() || FAILED(CLSIDFromProgID(progId_.c_str(), &clsid)) ||
        FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                IID_IDispatch, reinterpret_cast<void**>(reporter.out())))) {
        throw RuntimeFailure(kErrCantCreateObject);
    }

    std::wstring method = method_;
    LPOLESTR names[] = {method.data()};
    DISPID dispid = DISPID_UNKNOWN;
    HRESULT hr = reporter.get()->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &dispid);
    if (hr == DISP_E_UNKNOWNNAME || hr == DISP_E_MEMBERNOTFOUND) {
        throw RuntimeFailure(kErrNoSuchMethod);
    }
    if (FAILED(hr)) throw CallFailure(hr, hr);

    BstrArgs args(utf8Args);
    DISPPARAMS params = args.Params();
    Owned<VARIANT, VariantClear> result;  // whatever Report returns is ignored
    EXCEPINFO info{};
    UINT argError = 0;
    hr = reporter.get()->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                                result.out(), &info, &argError);
    if (hr == DISP_E_EXCEPTION) throw ExceptionFailure(info);
    if (hr == DISP_E_MEMBERNOTFOUND) throw RuntimeFailure(kErrNoSuchMethod);
    if (FAILED(hr)) throw CallFailure(hr, hr);
}

}  // namespace platform::win32
