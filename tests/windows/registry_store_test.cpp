// The registry store on the real registry of the test prefix, with the real
// error reporter and a message box that only records.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

#include "fakes/recording_message_dialog.h"
#include "platform/runtime_failure.h"
#include "platform/win32/win32_platform.h"
#include "registry/modRegistry.h"

namespace modRegistry {
static void PrintTo(const ResultadoLeitura& r, std::ostream* os) {
    static const char* const estados[] = {"Null", "Empty", "Texto"};
    *os << estados[static_cast<int>(r.estado())];
    if (r.IsTexto()) *os << " \"" << r.texto() << '"';
}
}  // namespace modRegistry

namespace {

using modRegistry::ResultadoLeitura;
const ResultadoLeitura kNaoExiste = ResultadoLeitura::Null(ResultadoLeitura::Causa::NaoExiste);
const ResultadoLeitura kIlegivel = ResultadoLeitura::Null(ResultadoLeitura::Causa::Ilegivel);
using platform::win32::Win32CodePage;
using platform::win32::Win32ErrorReporter;
using platform::win32::Win32Registry;

const char kScratchPath[] = "HKEY_CURRENT_USER\\Software\\BrevantaTests\\Store";
const char kSettingsPath[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\orvex\\tamrel";
const char kSeguranca[] = "Segurança";  // value names are UTF-8

// A registry whose value queries raise a run-time failure.
class FailingQueryRegistry : public Win32Registry {
public:
    long QueryValue(platform::KeyHandle, const std::string&, std::uint32_t*, char*, std::uint32_t*,
                    bool*) override {
        throw platform::RuntimeFailure(platform::kErrInvalidArgument);
    }
};

// A key the test creates in the given registry view and removes again,
// with the parents it left empty.
class OwnedKey {
public:
    OwnedKey(HKEY root, std::wstring path, REGSAM view)
        : root_(root), path_(std::move(path)), view_(view) {
        RegCreateKeyExW(root_, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view_, nullptr, &key_,
                        nullptr);
    }
    ~OwnedKey() {
        RegDeleteTreeW(key_, nullptr);
        RegCloseKey(key_);
        for (std::wstring path = path_;;) {
            RegDeleteKeyExW(root_, path.c_str(), view_, 0);  // fails while not empty
            const auto slash = path.rfind(L'\\');
            if (slash == std::wstring::npos || path.find(L'\\') == slash) return;
            path.resize(slash);
        }
    }
    HKEY get() const { return key_; }

    void SetRaw(const wchar_t* name, DWORD type, const void* data, DWORD size) {
        ASSERT_EQ(RegSetValueExW(key_, name, 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
    }
    void SetText(const wchar_t* name, const std::wstring& text) {
        SetRaw(name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * 2));
    }

private:
    HKEY root_;
    std::wstring path_;
    REGSAM view_;
    HKEY key_ = nullptr;
};

std::string ReadReportLog() {
    wchar_t common[MAX_PATH] = L"";
    GetEnvironmentVariableW(L"ProgramData", common, MAX_PATH);
    std::ifstream in((std::wstring(common) + L"\\Brevanta\\reports.log").c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class RegistryStore : public testing::Test {
protected:
    void Install(platform::Registry* registry) {
        services_.emplace(
            platform::Services{registry, &messages_, &reporter_, nullptr, &codePage_});
    }
    void SetUp() override { Install(&registry_); }
    void TearDown() override { EXPECT_TRUE(messages_.shown.empty()); }

    Win32Registry registry_;
    fakes::RecordingMessageDialog messages_;
    Win32ErrorReporter reporter_;
    Win32CodePage codePage_;
    std::optional<platform::ScopedServices> services_;
    OwnedKey scratch_{HKEY_CURRENT_USER, L"Software\\BrevantaTests\\Store", 0};
    OwnedKey settings_{HKEY_LOCAL_MACHINE, L"SOFTWARE\\orvex\\tamrel", KEY_WOW64_32KEY};
};

TEST_F(RegistryStore, WrittenTextsReadBackByTheReadRules) {
    struct Case {
        const char* path;
        const char* name;
        std::string text;
        ResultadoLeitura read;
    };
    const Case cases[] = {
        {kScratchPath, "Servidor", "srv-sql01", ResultadoLeitura::Texto("srv-sql01")},
        {kScratchPath, "Lead", "  leading", ResultadoLeitura::Texto("leading")},
        {kScratchPath, "Trail", "trailing  ", ResultadoLeitura::Texto("trailing  ")},
        {kScratchPath, "Nothing", "", ResultadoLeitura::Texto("")},
        {kSettingsPath, "Base_Dados", "Vendas", ResultadoLeitura::Texto("Vendas")},
        // 3500 bytes of room: 3499 characters and the terminator fit.
        {kSettingsPath, "Fits", std::string(3499, 'x'),
         ResultadoLeitura::Texto(std::string(3499, 'x'))},
        // "More data": there, but not readable.
        {kSettingsPath, "TooLong", std::string(3500, 'x'), kIlegivel},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(modRegistry::DefinirValorString(c.path, c.name, c.text)) << c.name;
        EXPECT_EQ(modRegistry::ObterValorString(c.path, c.name), c.read) << c.name;
    }
}

TEST_F(RegistryStore, StoredTextEndsWithOneTerminator) {
    ASSERT_TRUE(modRegistry::DefinirValorString(kScratchPath, "Servidor", "abc"));
    wchar_t data[16];
    DWORD type = 0, size = sizeof data;
    ASSERT_EQ(RegQueryValueExW(scratch_.get(), L"Servidor", nullptr, &type,
                               reinterpret_cast<BYTE*>(data), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(std::wstring(data, size / 2), std::wstring(L"abc\0", 4));
}

TEST_F(RegistryStore, AccentedValueNameIsStoredAsItsCharacter) {
    ASSERT_TRUE(modRegistry::DefinirValorString(kSettingsPath, kSeguranca, "True"));
    EXPECT_EQ(modRegistry::ObterValorString(kSettingsPath, kSeguranca),
              ResultadoLeitura::Texto("True"));

    wchar_t name[64];
    DWORD length = 64;
    ASSERT_EQ(RegEnumValueW(settings_.get(), 0, name, &length, nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(name, length), L"Segurança");
}

TEST_F(RegistryStore, MachineValuesLandInThe32BitView) {
    ASSERT_TRUE(modRegistry::DefinirValorString(kSettingsPath, "Servidor", "srv"));
    HKEY key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Wow6432Node\\orvex\\tamrel", 0,
                            KEY_READ | KEY_WOW64_64KEY, &key),
              ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueExW(key, L"Servidor", nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\orvex\\tamrel", 0,
                            KEY_READ | KEY_WOW64_64KEY, &key),
              ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryStore, RedirectionReadsTheSameNameUnderTheNamedKey) {
    settings_.SetText(L"Utilizador", L"SREF=HKEY_CURRENT_USER\\Software\\BrevantaTests\\Store");
    settings_.SetText(L"Base_Dados", L"SREF=HKEY_CURRENT_USER\\Software\\BrevantaTests\\Store");
    scratch_.SetText(L"Utilizador", L"admin");

    EXPECT_EQ(modRegistry::ObterValorString(kSettingsPath, "Utilizador"),
              ResultadoLeitura::Texto("admin"));
    EXPECT_EQ(modRegistry::ValorString(kSettingsPath, "Utilizador"),
              ResultadoLeitura::Texto("SREF=HKEY_CURRENT_USER\\Software\\BrevantaTests\\Store"));
    // The redirection is there but leads to no value.
    EXPECT_EQ(modRegistry::ObterValorString(kSettingsPath, "Base_Dados"), kIlegivel);

    // A write replaces the redirection itself.
    ASSERT_TRUE(modRegistry::DefinirValorString(kSettingsPath, "Utilizador", "sa"));
    EXPECT_EQ(modRegistry::ObterValorString(kSettingsPath, "Utilizador"),
              ResultadoLeitura::Texto("sa"));
    EXPECT_EQ(modRegistry::ObterValorString(kScratchPath, "Utilizador"),
              ResultadoLeitura::Texto("admin"));
}

TEST_F(RegistryStore, MissingKeyOrValueReadsNullAndIsNeverCreated) {
    const std::string missingKey = std::string(kScratchPath) + "\\Missing";
    EXPECT_EQ(modRegistry::ObterValorString(missingKey, "Servidor"), kNaoExiste);
    EXPECT_EQ(modRegistry::ObterValorString(kScratchPath, "Servidor"), kNaoExiste);

    EXPECT_FALSE(modRegistry::DefinirValorString(missingKey, "Servidor", "srv"));
    HKEY key;
    EXPECT_EQ(RegOpenKeyExW(scratch_.get(), L"Missing", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryStore, OtherValueTypesReadAsTheirBytes) {
    const DWORD dword = 0x41424344;  // stored as "DCBA"
    const char binary[] = {' ', 'x', 'y', ' ', 'z', ' '};
    scratch_.SetRaw(L"Dword", REG_DWORD, &dword, sizeof dword);
    scratch_.SetRaw(L"Binary", REG_BINARY, binary, sizeof binary);

    EXPECT_EQ(modRegistry::ObterValorString(kScratchPath, "Dword"), ResultadoLeitura::Texto("DCB"));
    EXPECT_EQ(modRegistry::ObterValorString(kScratchPath, "Binary"),
              ResultadoLeitura::Texto("xy "));
}

TEST_F(RegistryStore, TrappedFailureReachesTheReporter) {
    FailingQueryRegistry failing;
    Install(&failing);
    scratch_.SetText(L"Servidor", L"srv");
    const std::string before = ReadReportLog();

    EXPECT_EQ(modRegistry::ObterValorString(kScratchPath, "Servidor"), ResultadoLeitura::Empty());

    const std::string added = ReadReportLog().substr(before.size());
    EXPECT_NE(added.find("\tMódulo de Registo\tAdmin_Quillo\tmodRegistry\tValorString\t"
                         "Invalid procedure call or argument\n"),
              std::string::npos)
        << added;
    EXPECT_EQ(std::count(added.begin(), added.end(), '\n'), 1);
}

}  // namespace
