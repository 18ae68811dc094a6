// The Win32 implementations of the platform interfaces.
#pragma once

#include <memory>
#include <string>

#include "platform/platform.h"
#include "platform/win32/com_loader.h"
#include "platform/win32/text_win32.h"

namespace platform::win32 {

class Win32Registry : public Registry {
public:
    long OpenKey(std::uint32_t root, const std::string& subKey, std::uint32_t access,
                 KeyHandle* key) override;
    long QueryValue(KeyHandle key, const std::string& name, std::uint32_t* type, char* data,
                    std::uint32_t* size, bool* exact) override;
    long SetValue(KeyHandle key, const std::string& name, std::uint32_t type, const char* data,
                  std::uint32_t size) override;
    long CloseKey(KeyHandle key) override;
};

class Win32MessageDialog : public MessageDialog {
public:
    explicit Win32MessageDialog(std::wstring title) : title_(std::move(title)) {}
    void Show(const std::string& utf8Text, Icon icon) override;

private:
    std::wstring title_;
};

// Creates the reporter object from its ProgID for each report, calls
// "Report" late-bound and releases it. COM is loaded and initialised for
// the thread on the first report by `loadCom` (LoadCom); when it cannot be,
// the report fails as when the object cannot be created.
class Win32ErrorReporter : public ErrorReporter {
public:
    explicit Win32ErrorReporter(std::wstring progId = L"Brevanta.General",
                                std::wstring method = L"Report", bool (*loadCom)() = LoadCom)
        : progId_(std::move(progId)), method_(std::move(method)), loadCom_(loadCom) {}
    void Report(const std::array<std::string, 5>& utf8Args) override;

private:
    std::wstring progId_;
    std::wstring method_;
    bool (*loadCom_)();
};

class Win32Volume : public Volume {
public:
    std::uint32_t SerialNumber(const std::string& rootPath) override;
};

class Win32CodePage : public CodePage {
public:
    std::string ToUtf8(const std::string& ansi) override;
    bool FromUtf8(const std::string& utf8, std::string* ansi) override;
    void ToUtf8(std::string_view ansi, Secret* utf8) override;
    bool FromUtf8(std::string_view utf8, Secret* ansi) override;
    unsigned Number() override;
};

// The Application event log, under the source named `source`.
class Win32EventLog : public EventLog {
public:
    explicit Win32EventLog(std::wstring source) : source_(std::move(source)) {}
    void Report(EventKind kind, std::uint32_t id,
                const std::vector<std::string>& utf8Strings) override;

private:
    std::wstring source_;
};

// ODBC through odbc32.dll, loaded on the first attempt.
Database& OdbcDatabase();

// The network over Winsock (ws2_32.dll), loaded on the first call.
Network& WinsockNetwork();

// A TLS client over Schannel (secur32.dll and crypt32.dll, loaded on the
// first call), or null when they cannot be loaded.
std::unique_ptr<TlsClient> SchannelTls(const std::string& serverName);

// Installs the Win32 services for the life of the process; `title` is the
// program's title, the caption of its message boxes and the source of its
// events.
void InstallServices(const std::wstring& title);

}  // namespace platform::win32
