#include "report_log.h"

#include <shlobj.h>

#include <cstdio>

namespace reporter {

namespace {

std::string ToUtf8(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int size = static_cast<int>(wide.size());
    const int count =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string utf8(count, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), count, nullptr, nullptr);
    return utf8;
}

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
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT,
                                common))) {
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
    const std::string bytes = ToUtf8(line) + '\n';

    // Appending in a single write keeps lines from concurrent reporters whole.
    const HANDLE file = CreateFileW(LogPath().c_str(), FILE_APPEND_DATA,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    const DWORD error = GetLastError();
    CloseHandle(file);
    SetLastError(error);
    return ok && written == bytes.size();
}

}  // namespace reporter
