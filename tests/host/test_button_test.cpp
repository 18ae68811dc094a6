// "&Testar ligação": the password the test takes, and the button around it.
#include "dialog_fixture.h"

namespace dialogtest {
namespace {

// Stored password, typed one (none: the mask left), and the one tested
// (none: no test, the message instead).
using PasswordCase =
    std::tuple<std::string, std::optional<std::string>, std::optional<std::string>>;

class TestedPassword : public DialogTest, public ::testing::WithParamInterface<PasswordCase> {};

TEST_P(TestedPassword, FromTheField) {
    const auto& [stored, typed, tested] = GetParam();
    StoreAll();
    Store("Palavra-Passe", stored);
    form.Form_Load();
    if (typed) view.Type(Control::FXPassword, *typed);
    form.Command3_Click();
    ASSERT_EQ(view.tests.size(), tested ? 1u : 0u);
    if (tested) {
        EXPECT_EQ(view.tests[0].password.view(), *tested);
        EXPECT_EQ(view.tests[0].server + view.tests[0].database + view.tests[0].user,
                  "db01vendassa");
    } else {
        ASSERT_EQ(fake.messageDialog.shown.size(), 1u);
        EXPECT_EQ(fake.messageDialog.shown[0].text,
                  "A palavra-passe guardada não se decifra neste computador. "
                  "Escreva-a para testar a ligação.");
    }
}

INSTANTIATE_TEST_SUITE_P(Table, TestedPassword,
                         ::testing::Values(PasswordCase{"\x92\x94\x96", {}, "abc"},
                                           PasswordCase{"", {}, ""},
                                           PasswordCase{"\x01\x02", "n;}=ç", "n;}=ç"},
                                           PasswordCase{"\x01\x02", {}, std::nullopt}));

TEST_F(DialogTest, TestButtonWhileTheAttemptRuns) {
    StoreAll();
    form.Form_Load();
    form.Command3_Click();
    form.Command3_Click();  // a second test cannot start
    EXPECT_EQ(view.tests.size(), 1u);
    EXPECT_EQ(view.Text(Control::Command3), "A testar…");
    EXPECT_TRUE(view.disabled.count(Control::Command3));
    form.Command3_Done({false, {}, {"[08001] recusada"}});
    EXPECT_EQ(view.Text(Control::Command3), "&Testar ligação");
    EXPECT_TRUE(view.disabled.empty());
    ASSERT_EQ(fake.messageDialog.shown.size(), 1u);
    EXPECT_EQ(fake.messageDialog.shown[0].icon, platform::Icon::Warning);
    EXPECT_EQ(Writes(), 0);
}

}  // namespace
}  // namespace dialogtest
