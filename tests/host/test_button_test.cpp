// "&Testar ligação": what the window's fields give the test, and the
// button's state around it.
#include "dialog_fixture.h"

namespace dialogtest {
namespace {

const std::string kUndecodable =
    "A palavra-passe guardada não se decifra neste computador. Escreva-a para testar a ligação.";

struct PasswordCase {
    const char* name;
    std::string stored;
    std::optional<std::string> typed;   // none: the field keeps the mask
    std::optional<std::string> tested;  // none: no attempt, the message instead
};

class TestedPassword : public DialogTest, public ::testing::WithParamInterface<PasswordCase> {};

TEST_P(TestedPassword, FromTheField) {
    const PasswordCase& c = GetParam();
    StoreAll();
    Store("Palavra-Passe", c.stored);
    form.Form_Load();
    view.Type(Control::FXDataSource, "srv;x");
    if (c.typed) view.Type(Control::FXPassword, *c.typed);
    form.Command3_Click();
    if (!c.tested) {
        EXPECT_TRUE(view.tests.empty());
        ASSERT_EQ(fake.messageDialog.shown.size(), 1u);
        EXPECT_EQ(fake.messageDialog.shown[0].text, kUndecodable);
        EXPECT_EQ(view.Text(Control::Command3), "");
        return;
    }
    ASSERT_EQ(view.tests.size(), 1u);
    const connection::Target& t = view.tests[0];
    EXPECT_EQ(t.driver + "|" + t.server + "|" + t.database + "|" + t.user + "|" + t.password,
              "SQL Server|srv;x|vendas|sa|" + *c.tested);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TestedPassword,
    ::testing::Values(PasswordCase{"mask_gives_the_stored_one_decoded", "\x92\x94\x96", {}, "abc"},
                      PasswordCase{"typed_one_as_typed", "\x92\x94\x96", "n;}=ç", "n;}=ç"},
                      PasswordCase{"typed_one_over_an_undecodable_one", "\x01\x02", "abc", "abc"},
                      PasswordCase{"mask_over_an_empty_one", "", {}, ""},
                      PasswordCase{"mask_over_an_undecodable_one", "\x01\x02", {}, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DialogTest, TestButtonWhileTheAttemptRuns) {
    StoreAll();
    form.Form_Load();
    form.Command3_Click();
    EXPECT_EQ(view.Text(Control::Command3), "A testar…");
    EXPECT_TRUE(view.disabled.count(Control::Command3));
    form.Command3_Click();  // a second test cannot start
    EXPECT_EQ(view.tests.size(), 1u);

    form.Command3_Done({false, {"[08001] recusada", "[01000] aviso"}});
    EXPECT_EQ(view.Text(Control::Command3), "&Testar ligação");
    EXPECT_TRUE(view.disabled.empty());
    ASSERT_EQ(fake.messageDialog.shown.size(), 1u);
    EXPECT_EQ(fake.messageDialog.shown[0].text,
              "Não foi possível ligar à base de dados:\n\n[08001] recusada\n[01000] aviso");
    EXPECT_EQ(fake.messageDialog.shown[0].icon, platform::Icon::Warning);

    form.Command3_Click();
    form.Command3_Done({true, {}});
    EXPECT_EQ(view.tests.size(), 2u);
    EXPECT_EQ(fake.messageDialog.shown.back().text, "Ligação estabelecida.");
    EXPECT_EQ(fake.messageDialog.shown.back().icon, platform::Icon::Information);
    EXPECT_EQ(Writes(), 0);
    EXPECT_FALSE(view.unloaded);
}

}  // namespace
}  // namespace dialogtest
