// Code page 932 (Japanese, double-byte), the one LANG=ja_JP.UTF-8 gives
// under Wine. A byte from 0x81 to 0x9F or 0xE0 to 0xFC leads a two-byte
// character; without a valid second byte it is lost on the way to Unicode.
#include "code_page_suite.h"

namespace code_pages {
namespace {

class CodePage932 : public CodePageSuite {
protected:
    CodePage932() : CodePageSuite(932) {}
};

TEST_F(CodePage932, ConvertsOnlyCharactersWithAnExactForm) {
    CheckConversions({
        {"", ""},
        {"srv-sql01", "srv-sql01"},
        {"データベース", "\x83\x66\x81\x5B\x83\x5E\x83\x78\x81\x5B\x83\x58"},
        {"ｱ", "\xB1"},  // half-width katakana: one byte
        {"東京 admin", "\x93\x8C\x8B\x9E admin"},
        {"Segurança", std::nullopt},  // best fit would give "c"
        {"€", std::nullopt},
        {"데이터", std::nullopt},
        {"\xE3\x83", std::nullopt},  // broken UTF-8
    });
}

TEST_F(CodePage932, StoredBytesSurviveOnlyAsWholeCharacters) {
    CheckStoredBytes({
        {"Kq]ip`l", true},
        {"Kq\x83\x66]\xB1p", true},  // a lead byte with its second byte, a katakana
        {"Kq]ip`\x8E", false},       // a lone lead byte at the end
        {"Kq\x8E\x2Dip", false},     // a lead byte with a byte that cannot follow it
    });
}

}  // namespace
}  // namespace code_pages
