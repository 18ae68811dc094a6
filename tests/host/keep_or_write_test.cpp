// A value the window could not read, or never read, is written only when
// the user changed its field: the table below opens the window over a
// damaged value, optionally edits, presses "&OK" and checks what is stored
// and what the window said when it opened.
#include <functional>

#include "dialog_fixture.h"

namespace dialogtest {
namespace {

const std::string kLong(3500, 'x');  // one character more than the store reads back
const std::string kNotRead = "Não foi possível ler:";
const std::string kKeepAsIs = "\n\nSe não os alterar, ficam guardados como estão.";

struct KeepCase {
    const char* name;
    std::function<void(fakes::FakePlatform&)> damage;  // after StoreAll
    std::function<void(fakes::FakeDialogView&)> edit;
    std::vector<std::pair<std::string, std::string>> stored;   // after "&OK"
    std::string notRead;                                       // names in the message, one per line
    std::function<void(fakes::FakePlatform&)> meanwhile = {};  // another program, before "&OK"
};

class KeepOrWrite : public DialogTest, public ::testing::WithParamInterface<KeepCase> {};

TEST_P(KeepOrWrite, OnlyWhatTheUserChangedReplacesAnUnreadValue) {
    const KeepCase& c = GetParam();
    StoreAll();
    c.damage(fake);
    form.Form_Load();
    fake.messageDialog.shown.clear();  // a failure at load is covered elsewhere
    form.Form_Shown();
    if (c.notRead.empty()) {
        EXPECT_TRUE(fake.messageDialog.shown.empty());
    } else {
        ASSERT_FALSE(fake.messageDialog.shown.empty());
        EXPECT_EQ(fake.messageDialog.shown[0].text, kNotRead + c.notRead + kKeepAsIs);
        EXPECT_EQ(fake.messageDialog.shown[0].icon, platform::Icon::Information);
    }
    if (c.edit) c.edit(view);
    if (c.meanwhile) c.meanwhile(fake);
    fake.reporter = {};
    fake.messageDialog.shown.clear();
    form.Command1_Click();
    EXPECT_TRUE(view.unloaded);
    for (const auto& [name, text] : c.stored) EXPECT_EQ(Stored(name), text) << name;
}

auto StoreValue(const std::string& name, const std::string& text) {
    return [=](fakes::FakePlatform& f) { f.registry.PutString(HKLM, kSub, name, text); };
}
auto Type(Control control, const std::string& text) {
    return [=](fakes::FakeDialogView& v) { v.Type(control, text); };
}

// One table row a case, laid out by hand.
// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Table, KeepOrWrite,
    ::testing::Values(
        KeepCase{"too_long_kept", StoreValue("Servidor", kLong), {},
                 {{"Servidor", kLong}, {"Base_Dados", "vendas"}}, "\nServidor"},
        KeepCase{"too_long_edited_after_all", StoreValue("Servidor", kLong),
                 Type(Control::FXDataSource, "novo"), {{"Servidor", "novo"}}, "\nServidor"},
        KeepCase{"dangling_redirection_kept",
                 StoreValue("Base_Dados", "SREF=HKEY_CURRENT_USER\\Gone"), {},
                 {{"Base_Dados", "SREF=HKEY_CURRENT_USER\\Gone"}}, "\nBase_Dados"},
        KeepCase{"looping_redirection_kept",
                 StoreValue("Utilizador", "SREF=HKEY_LOCAL_MACHINE\\" + kSub), {},
                 {{"Utilizador", "SREF=HKEY_LOCAL_MACHINE\\" + kSub}}, "\nUtilizador"},
        KeepCase{"malformed_redirection_kept", StoreValue("Servidor", "SREF=SOFTWARE"), {},
                 {{"Servidor", "SREF=SOFTWARE"}}, "\nServidor"},
        KeepCase{"security_kept_without_a_pick", StoreValue(kSeg, kLong), {}, {{kSeg, kLong}},
                 "\nSegurança"},
        KeepCase{"security_picked", StoreValue(kSeg, kLong),
                 [](fakes::FakeDialogView& v) { v.SelectListItem(0); }, {{kSeg, "False"}},
                 "\nSegurança"},
        KeepCase{"password_kept_behind_the_mask", StoreValue("Palavra-Passe", kLong), {},
                 {{"Palavra-Passe", kLong}}, "\nPalavra-Passe"},
        KeepCase{"password_typed", StoreValue("Palavra-Passe", kLong),
                 Type(Control::FXPassword, "abc"), {{"Palavra-Passe", "\x92\x94\x96"}},
                 "\nPalavra-Passe"},
        KeepCase{"refused_access_kept",
                 [](fakes::FakePlatform& f) {
                     f.registry.FailOn(Op::Query, "Servidor", platform::kAccessDenied);
                 },
                 {}, {{"Servidor", "db01"}}, "\nServidor"},
        // A value that does not exist loses nothing: it is created.
        KeepCase{"missing_value_created",
                 [](fakes::FakePlatform& f) {
                     f.registry = {};
                     f.registry.CreateKey(HKLM, kSub);
                 },
                 {}, {{"Servidor", ""}, {kSeg, ""}, {"Palavra-Passe", ""}}, ""},
        // Missing at opening, created by another program before "&OK": kept.
        KeepCase{"created_while_open_kept",
                 [](fakes::FakePlatform& f) {
                     f.registry = {};
                     f.registry.CreateKey(HKLM, kSub);
                 },
                 {}, {{"Servidor", ""}, {"Utilizador", "admin"}, {"Palavra-Passe", "\x92\x94\x96"}},
                 "",
                 All(StoreValue("Utilizador", "admin"), StoreValue("Palavra-Passe", "\x92\x94\x96"))},
        // The load stopped on a failure no trap took: the values after it
        // were never read, and stay as they are.
        KeepCase{"load_stopped_part_way",
                 [](fakes::FakePlatform& f) {
                     f.reporter.FailWith(platform::RuntimeFailure(429));
                     f.registry.RaiseOn(Op::Query, "Base_Dados", platform::RuntimeFailure(57, "E/S"));
                 },
                 Type(Control::FXDataSource, "outro"),
                 {{"Servidor", "outro"}, {"Base_Dados", "vendas"}, {kSeg, "True"},
                  {"Utilizador", "sa"}, {"Palavra-Passe", "\x92\x94\x96"}},
                 "\nBase_Dados\nSegurança\nUtilizador\nPalavra-Passe"}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

// A view whose text boxes fail as a window's could, with a standard
// exception rather than a run-time failure.
struct ThrowingView : fakes::FakeDialogView {
    void SetText(Control c, const std::string& utf8) override {
        if (c == Control::FXUser) throw std::length_error("too long");
        FakeDialogView::SetText(c, utf8);
    }
};

TEST_F(DialogTest, AnyFailureInAnEventIsShownAndTheWindowStaysOpen) {
    StoreAll();
    ThrowingView throwing;
    app::frmDefinicoes dialog{throwing};
    dialog.Form_Load();
    ASSERT_EQ(fake.messageDialog.shown.size(), 1u);
    EXPECT_EQ(fake.messageDialog.shown[0].text, "Erro 14: Out of string space");
    dialog.Command1_Click();  // writes what was read; the user was never read
    EXPECT_TRUE(throwing.unloaded);
    EXPECT_EQ(Stored("Utilizador"), "sa");
}

}  // namespace
}  // namespace dialogtest
