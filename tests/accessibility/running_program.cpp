#include "running_program.h"

#include <algorithm>

#include "platform/win32/owned.h"

namespace accessibility_test {
namespace {

constexpr wchar_t kSettingsKey[] = L"SOFTWARE\\orvex\\tamrel";
constexpr REGSAM kView = KEY_WOW64_32KEY;  // the program's registry view

using Key = platform::win32::Owned<HKEY, RegCloseKey>;

// Values that open the window without any message: an empty password
// decodes to itself.
const std::pair<const wchar_t*, const wchar_t*> kValues[] = {
    {L"Servidor", L"SRVDADOS01"}, {L"Base_Dados", L"Tamrel"}, {L"Segurança", L"True"},
    {L"Utilizador", L"admin"},    {L"Palavra-Passe", L""},
};

void WriteString(HKEY key, const wchar_t* name, const wchar_t* text) {
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                   static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t)));
}

// A Unix path as Wine's drive Z: sees it; other paths unchanged.
std::wstring WindowsPath(const std::string& path) {
    std::wstring wide(path.begin(), path.end());
    if (wide.empty() || wide[0] != L'/') return wide;
    std::replace(wide.begin(), wide.end(), L'/', L'\\');
    return L"Z:" + wide;
}

}  // namespace

FilledSettingsKey::FilledSettingsKey() {
    Key key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_READ | kView, key.out()) == 0) {
        existed_ = true;
        wchar_t name[16384];
        for (DWORD i = 0;; ++i) {
            DWORD nameLength = 16384, type = 0, size = 0;
            if (RegEnumValueW(key.get(), i, name, &nameLength, nullptr, &type, nullptr, &size) != 0)
                break;
            Value value{std::wstring(name, nameLength), type, std::vector<BYTE>(size)};
            RegQueryValueExW(key.get(), value.name.c_str(), nullptr, nullptr, value.data.data(),
                             &size);
            saved_.push_back(std::move(value));
        }
    }
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kSettingsKey, 0, nullptr, 0, KEY_WRITE | kView, nullptr,
                        key.out(), nullptr) == 0) {
        for (const auto& [name, text] : kValues) WriteString(key.get(), name, text);
    }
}

FilledSettingsKey::~FilledSettingsKey() {
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kSettingsKey, kView, 0);
    if (!existed_) return;
    Key key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kSettingsKey, 0, nullptr, 0, KEY_WRITE | kView, nullptr,
                        key.out(), nullptr) != 0)
        return;
    for (const Value& value : saved_) {
        RegSetValueExW(key.get(), value.name.c_str(), 0, value.type, value.data.data(),
                       static_cast<DWORD>(value.data.size()));
    }
}

RunningProgram::RunningProgram(const std::string& path) {
    std::wstring commandLine = L"\"" + WindowsPath(path) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process_))
        return;
    for (int tries = 0; tries < 300 && !window_; ++tries) {
        HWND candidate = nullptr;
        while ((candidate = FindWindowExW(nullptr, candidate, L"frmDefinicoes", nullptr))) {
            DWORD owner = 0;
            GetWindowThreadProcessId(candidate, &owner);
            if (owner == process_.dwProcessId && IsWindowVisible(candidate)) window_ = candidate;
        }
        if (!window_) Sleep(100);
    }
    // Its first activation gives a control the focus; wait for it.
    for (int tries = 0; tries < 50 && window_ && !Focus(); ++tries) Sleep(100);
}

RunningProgram::~RunningProgram() {
    if (!process_.hProcess) return;
    // Closing writes nothing; the program then ends.
    if (window_) PostMessageW(window_, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process_.hProcess, 10000) != WAIT_OBJECT_0)
        TerminateProcess(process_.hProcess, 1);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

std::vector<HWND> RunningProgram::Children() const {
    std::vector<HWND> children;
    for (HWND child = GetWindow(window_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

HWND RunningProgram::Focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(process_.dwThreadId, &info) ? info.hwndFocus : nullptr;
}

void RunningProgram::PressTab() const {
    const HWND before = Focus();
    // Tab's scan code in the key messages' bits 16-23.
    PostMessageW(before, WM_KEYDOWN, VK_TAB, 0x000F0001);
    PostMessageW(before, WM_KEYUP, VK_TAB, 0xC00F0001);
    for (int tries = 0; tries < 50 && Focus() == before; ++tries) Sleep(100);
}

}  // namespace accessibility_test
