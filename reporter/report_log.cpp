#include "report_log.h"

#include <shlobj.h>

#include <cstdio>

#include "platform/win32/owned.h"
#include "platform/win32/text_win32.h"

namespace reporter {

namespace {

// Keeps one report on one line of tab-separated fields.
std::wstring OneField(std::wstring text) {
    for (wchar_t& c : text) {
        if (c == L'\t' || c == L'\r' || c == L'\n' || c == L'\0') c = L' ';
    }
    return text;
}

std::wstring TimeStamp() {
    SYSTEMTIME now;
    GetSystemTime(&now);
    wchar_t text[32];
    swprintf(text, 32, L"%04u-%02u-%02uT%02u:%02u:%02u.%03uZ", now.wYear, now.wMonth, now.wDay,
             now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
    return text;
}

std::wstring LogFolder() {
    wchar_t common[MAX_PATH];
    if (FAILED(
            SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, common))) {
        return {};
    }
    return std::wstring(common) + L"\\Brevanta";
}

}  // namespace

std::wstring LogPath() {
    const std::wstring folder = LogFolder();
    return folder.empty() ? folder : folder + L"\\reports.log";
}

bool AppendReport(const std::array<std::wstring, 5>& args) {
    const std::wstring folder = LogFolder();
    if (folder.empty()) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return false;
    }
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        return false;
    }

    std::wstring line = TimeStamp();
    for (const std::wstring& arg : args) line += L'\t' + OneField(arg);
    const std::string bytes = platform::win32::Narrow(line) + '\n';

    // Appending in a single write keeps lines from concurrent reporters whole.
    const HANDLE opened =
        CreateFileW(LogPath().c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE) return false;
    platform::win32::Owned<HANDLE, CloseHandle> file(opened);
    DWORD written = 0;
    const BOOL ok =
        WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    const DWORD error = GetLastError();
    file.reset();
    SetLastError(error);
    return ok && written == bytes.size();
}

}  // namespace reporter
