// The Application event log through the classic event logging calls of
// advapi32. The source is registered for one report and deregistered right
// after it: nothing is opened at start, and only a save reports.
#include "platform/win32/win32_platform.h"

#include <windows.h>
// After <windows.h>, which it needs.
#include <sddl.h>

#include <vector>

#include "platform/win32/owned.h"

namespace platform::win32 {
namespace {

// The account the process runs as: its SID, which the event carries as its
// user, and its name as domain\user (the SID's text when it has no name).
struct Account {
    std::vector<BYTE> sid;
    std::wstring name;
};

Account ProcessAccount() {
    Account account;
    Owned<HANDLE, CloseHandle> token;
    DWORD size = 0;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.out())) return account;
    GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    std::vector<BYTE> user(size);
    if (size == 0 || !GetTokenInformation(token.get(), TokenUser, user.data(), size, &size))
        return account;
    const PSID sid = reinterpret_cast<const TOKEN_USER*>(user.data())->User.Sid;
    const auto* bytes = static_cast<const BYTE*>(sid);
    account.sid.assign(bytes, bytes + GetLengthSid(sid));
    // Account and domain names are far shorter than this (20 and 15
    // characters in the SAM form the call gives).
    wchar_t name[256], domain[256];
    DWORD nameSize = 256, domainSize = 256;
    SID_NAME_USE use;
    Owned<wchar_t*, LocalFree> text;
    if (LookupAccountSidW(nullptr, sid, name, &nameSize, domain, &domainSize, &use))
        account.name = std::wstring(domain) + L"\\" + name;
    else if (ConvertSidToStringSidW(sid, text.out()))
        account.name = text.get();
    return account;
}

// The running program's file name, without its folder.
std::wstring ProgramFileName() {
    std::wstring path(MAX_PATH, L'\0');
    DWORD length;
    while ((length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()))) ==
           path.size())
        path.resize(path.size() * 2);
    path.resize(length);
    return path.substr(path.find_last_of(L'\\') + 1);
}

}  // namespace

void Win32EventLog::Report(EventKind kind, std::uint32_t id,
                           const std::vector<std::string>& utf8Strings) {
    const Account account = ProcessAccount();
    std::vector<std::wstring> strings{account.name, ProgramFileName()};
    // Line breaks as the event viewer's text box wants them.
    for (const std::string& text : utf8Strings) {
        std::wstring wide;
        for (wchar_t c : Widen(text))
            wide += c == L'\n' ? std::wstring(L"\r\n") : std::wstring(1, c);
        strings.push_back(std::move(wide));
    }
    std::vector<LPCWSTR> pointers;
    for (const std::wstring& text : strings) pointers.push_back(text.c_str());
    const Owned<HANDLE, DeregisterEventSource> log(RegisterEventSourceW(nullptr, source_.c_str()));
    if (!log.get()) return;
    ReportEventW(log.get(),
                 kind == EventKind::Warning ? EVENTLOG_WARNING_TYPE : EVENTLOG_INFORMATION_TYPE, 0,
                 id, account.sid.empty() ? nullptr : const_cast<BYTE*>(account.sid.data()),
                 static_cast<WORD>(pointers.size()), 0, pointers.data(), nullptr);
}

}  // namespace platform::win32
