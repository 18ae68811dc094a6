// The ANSI code page under the test settings (LANG=C.UTF-8: code page 1252).
#include <gtest/gtest.h>

#include "platform/win32/win32_platform.h"

namespace {

using platform::win32::Win32CodePage;

TEST(Win32CodePage, ConvertsOnlyCharactersWithAnExactForm) {
    struct Case {
        const char* utf8;
        bool exact;
        const char* ansi;
    };
    const Case cases[] = {
        {"", true, ""},
        {"Segurança", true, "Seguran\xE7" "a"},
        {"Palavra-Passe €", true, "Palavra-Passe \x80"},
        {"Łódź", false, nullptr},     // best fit would give "Lodz"
        {"数据库", false, nullptr},   // would become "???"
        {"\xC3", false, nullptr},     // broken UTF-8
    };
    Win32CodePage codePage;
    for (const Case& c : cases) {
        std::string ansi;
        EXPECT_EQ(codePage.FromUtf8(c.utf8, &ansi), c.exact) << c.utf8;
        if (c.exact) {
            EXPECT_EQ(ansi, c.ansi) << c.utf8;
            EXPECT_EQ(codePage.ToUtf8(ansi), c.utf8);
        }
    }
}

}  // namespace
