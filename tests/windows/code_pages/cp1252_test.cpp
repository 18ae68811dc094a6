// Code page 1252 (Western European), the one LANG=C.UTF-8 gives under Wine.
#include "code_page_suite.h"

namespace code_pages {
namespace {

class CodePage1252 : public CodePageSuite {
protected:
    CodePage1252() : CodePageSuite(1252) {}
};

TEST_F(CodePage1252, ConvertsOnlyCharactersWithAnExactForm) {
    CheckConversions({
        {"", ""},
        {"Segurança", "Seguran\xE7"
                      "a"},
        {"Palavra-Passe €", "Palavra-Passe \x80"},
        {"Łódź", std::nullopt},    // best fit would give "Lodz"
        {"数据库", std::nullopt},  // would become "???"
        {"データ", std::nullopt},
        {"\xC3", std::nullopt},  // broken UTF-8
    });
}

// Every byte a scrambled password can hold comes back unchanged: codes 45
// and up, less the five that code page 1252 leaves undefined.
TEST_F(CodePage1252, EveryScrambledByteSurvivesTheRegistry) {
    std::string bytes;
    for (int c = 45; c <= 255; ++c) {
        if (c != 0x81 && c != 0x8D && c != 0x8F && c != 0x90 && c != 0x9D) bytes += char(c);
    }
    CheckStoredBytes({
        {bytes, true},
        {"Kq]ip`l\xE7\xFF", true},
    });
}

}  // namespace
}  // namespace code_pages
