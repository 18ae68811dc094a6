// Code page 65001 (UTF-8 as the ANSI code page), the one LANG=ka_GE.UTF-8
// gives under Wine. A byte of 0x80 or more outside a valid UTF-8 sequence
// is lost on the way to Unicode.
#include "code_page_suite.h"

namespace code_pages {
namespace {

class CodePage65001 : public CodePageSuite {
protected:
    CodePage65001() : CodePageSuite(65001) {}
};

TEST_F(CodePage65001, ValidUtf8ConvertsToItselfAndBrokenUtf8IsRefused) {
    CheckConversions({
        {"", ""},
        {"Segurança", "Seguran\xC3\xA7"
                      "a"},
        {"ქართული データ", "ქართული データ"},
        {"\xF0\x9F\x94\x91", "\xF0\x9F\x94\x91"},  // outside the BMP: a surrogate pair
        {"\xC3", std::nullopt},                    // cut short
        {"\xC0\xAF", std::nullopt},                // overlong "/"
        {"\xED\xA0\x80", std::nullopt},            // a surrogate on its own
    });
}

TEST_F(CodePage65001, StoredBytesSurviveOnlyAsValidUtf8) {
    CheckStoredBytes({
        {"Kq]ip`l", true},
        {"Kq]\xC3\xA7p", true},  // "ç" happens to be a valid sequence
        {"Kq]ip`\xE7", false},   // a lead byte with nothing after it
        {"Kq\x80]ip", false},    // a continuation byte on its own
    });
}

}  // namespace
}  // namespace code_pages
