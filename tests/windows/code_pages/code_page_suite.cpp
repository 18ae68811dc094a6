#include "code_page_suite.h"

#include <cstdio>
#include <cstdlib>

#include "registry/modRegistry.h"

namespace code_pages {

namespace {

const wchar_t kScratchKey[] = L"Software\\BrevantaTests\\CodePage";
const char kScratchPath[] = "HKEY_CURRENT_USER\\Software\\BrevantaTests\\CodePage";

void DeleteScratchKey() {
    RegDeleteTreeW(HKEY_CURRENT_USER, kScratchKey);
    RegDeleteKeyW(HKEY_CURRENT_USER, kScratchKey);
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\BrevantaTests");  // fails while not empty
}

}  // namespace

std::string Hex(const std::string& bytes) {
    std::string hex;
    char digits[4];
    for (unsigned char c : bytes) {
        std::snprintf(digits, sizeof digits, "%02X ", c);
        hex += digits;
    }
    return hex;
}

void CodePageSuite::SetUp() {
    const char* lang = std::getenv("LANG");
    ASSERT_EQ(GetACP(), codePage_)
        << "LANG=" << (lang ? lang : "(unset)") << ": is that locale generated (locale -a)?";
    services_.emplace(
        platform::Services{&registry_, &messages_, &reporter_, nullptr, &conversions_});
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kScratchKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

void CodePageSuite::TearDown() {
    DeleteScratchKey();
    EXPECT_TRUE(messages_.shown.empty()) << messages_.shown.front().text;
}

void CodePageSuite::CheckConversions(const std::vector<Conversion>& table) {
    for (const Conversion& row : table) {
        std::string ansi;
        const bool converted = conversions_.FromUtf8(row.utf8, &ansi);
        EXPECT_EQ(converted, row.ansi.has_value()) << row.utf8 << " gave " << Hex(ansi);
        if (converted && row.ansi) {
            EXPECT_EQ(Hex(ansi), Hex(*row.ansi)) << row.utf8;
            EXPECT_EQ(conversions_.ToUtf8(*row.ansi), row.utf8);
        }
    }
}

void CodePageSuite::CheckStoredBytes(const std::vector<StoredBytes>& table) {
    int n = 0;
    for (const StoredBytes& row : table) {
        const std::string name = "Palavra-Passe" + std::to_string(++n);
        ASSERT_TRUE(modRegistry::DefinirValorString(kScratchPath, name, row.bytes))
            << Hex(row.bytes);
        const modRegistry::ResultadoLeitura read =
            modRegistry::ObterValorString(kScratchPath, name);
        ASSERT_TRUE(read.IsTexto()) << Hex(row.bytes);
        if (row.survives) {
            EXPECT_EQ(Hex(read.texto()), Hex(row.bytes));
        } else {
            EXPECT_NE(Hex(read.texto()), Hex(row.bytes)) << "the registry kept it unchanged";
        }

        std::string back;
        const bool converts =
            conversions_.FromUtf8(conversions_.ToUtf8(row.bytes), &back) && back == row.bytes;
        EXPECT_EQ(converts, row.survives)
            << Hex(row.bytes) << ": Unicode and back gave " << Hex(back);
    }
}

}  // namespace code_pages
