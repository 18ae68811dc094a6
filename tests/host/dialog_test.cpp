// The dialog's load, save and close, against the window double and the
// fake registry.
#include "dialog_fixture.h"

namespace dialogtest {
namespace {

const std::vector<std::string> kQueriesInOrder = {"query Servidor", "query Base_Dados",
                                                  "query " + kSeg, "query Utilizador",
                                                  "query Palavra-Passe"};
const std::vector<std::string> kSetsInOrder = {"set Servidor", "set Base_Dados", "set " + kSeg,
                                               "set Utilizador", "set Palavra-Passe"};

using Dialog = DialogTest;

TEST_F(Dialog, LoadFillsTheControlsInOrder) {
    StoreAll();
    Store("Servidor", "  db01");
    form.Form_Load();
    EXPECT_EQ(fake.registry.valueLog(), kQueriesInOrder);
    EXPECT_EQ(view.items, (std::vector<std::string>{"False", "True"}));
    EXPECT_EQ(view.Text(Control::FXDataSource), "db01");
    EXPECT_EQ(view.Text(Control::FXInitialCatalog), "vendas");
    EXPECT_EQ(view.selected, 1);
    EXPECT_EQ(view.Text(Control::FXUser), "sa");
    EXPECT_FALSE(view.unloaded);
}

TEST_F(Dialog, MissingValuesShowAsEmptyText) {
    fake.registry.CreateKey(HKLM, kSub);
    Store("Base_Dados", "SREF=HKEY_CURRENT_USER\\Outra");
    fake.registry.PutString(0x80000001, "Outra", "Base_Dados", "redirigida");
    Store("Utilizador", "Jo\xE3o");
    form.Form_Load();
    EXPECT_EQ(view.Text(Control::FXDataSource), "");
    EXPECT_EQ(view.Text(Control::FXInitialCatalog), "redirigida");
    EXPECT_EQ(view.Text(Control::FXUser), "João");
    EXPECT_EQ(view.selected, -1);
}

// Every field changed: the five are written in order, the server's new
// text in place of its redirection.
TEST_F(Dialog, OkWritesTheChangedValuesInOrderThenUnloads) {
    StoreAll();
    Store("Servidor", "SREF=HKEY_CURRENT_USER\\Outra");
    fake.registry.PutString(0x80000001, "Outra", "Servidor", "redirigido");
    form.Form_Load();
    view.Type(Control::FXDataSource, "novo");
    view.Type(Control::FXInitialCatalog, "compras");
    view.SelectListItem(0);
    view.Type(Control::FXUser, "João");
    view.Type(Control::FXPassword, "cba");
    form.Command1_Click();
    std::vector<std::string> sets;
    for (const auto& e : fake.registry.valueLog())
        if (e.rfind("set ", 0) == 0) sets.push_back(e);
    EXPECT_EQ(sets, kSetsInOrder);
    EXPECT_EQ(Stored("Servidor"), "novo");
    EXPECT_EQ(fake.registry.Get(0x80000001, "Outra", "Servidor")->bytes, "redirigido"s + '\0');
    EXPECT_EQ(Stored("Base_Dados"), "compras");
    EXPECT_EQ(Stored(kSeg), "False");
    EXPECT_EQ(Stored("Utilizador"), "Jo\xE3o");
    EXPECT_EQ(Stored("Palavra-Passe"), "\x94\x94\x94");
    EXPECT_TRUE(view.unloaded);
    EXPECT_TRUE(fake.messageDialog.shown.empty());
}

TEST_F(Dialog, CancelAndCloseWriteNothing) {
    StoreAll();
    form.Form_Load();
    view.Type(Control::FXDataSource, "outro");
    form.Command2_Click();
    EXPECT_TRUE(view.unloaded);
    view.unloaded = false;
    form.Form_Close();
    EXPECT_TRUE(view.unloaded);
    EXPECT_EQ(Writes(), 0);
}

// What a stored "Segurança" selects, and what is stored after "&OK" when
// the user picks nothing: the value as it was.
struct SecurityCase {
    const char* name;
    std::string stored;
    int selected;
    std::string written;
};

class Security : public DialogTest, public ::testing::WithParamInterface<SecurityCase> {};

TEST_P(Security, SelectsAndWritesBack) {
    const SecurityCase& c = GetParam();
    StoreAll();
    Store(kSeg, c.stored);
    form.Form_Load();
    EXPECT_EQ(view.selected, c.selected);
    form.Command1_Click();
    EXPECT_EQ(Stored(kSeg), c.written);
}

INSTANTIATE_TEST_SUITE_P(Table, Security,
                         ::testing::Values(SecurityCase{"True", "True", 1, "True"},
                                           SecurityCase{"False", "False", 0, "False"},
                                           SecurityCase{"other_case", "tRUE", 1, "tRUE"},
                                           SecurityCase{"trailing_spaces", "false  ", 0, "false  "},
                                           SecurityCase{"leading_spaces_dropped_by_the_read",
                                                        "  True", 1, "  True"},
                                           SecurityCase{"other_text_kept", "Sim", -1, "Sim"},
                                           SecurityCase{"inner_difference", "Tru e", -1, "Tru e"},
                                           SecurityCase{"empty", "", -1, ""}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Dialog, PickedItemIsWritten) {
    StoreAll();
    Store(kSeg, "Sim");
    form.Form_Load();
    view.SelectListItem(0);
    form.Command1_Click();
    EXPECT_EQ(Stored(kSeg), "False");
}

TEST_F(Dialog, FailedWritesAreNamedAndTheWindowStaysOpen) {
    StoreAll();
    form.Form_Load();
    for (Control c : {Control::FXDataSource, Control::FXInitialCatalog, Control::FXUser})
        view.Type(c, "outro");
    fake.registry.FailOn(Op::Set, "Base_Dados", platform::kAccessDenied);
    fake.registry.FailOn(Op::Set, "Utilizador", platform::kAccessDenied);
    form.Command1_Click();
    EXPECT_FALSE(view.unloaded);
    ASSERT_EQ(fake.messageDialog.shown.size(), 1u);
    EXPECT_EQ(fake.messageDialog.shown[0].text,
              "Não foi possível gravar:\nBase_Dados\nUtilizador\n\n"
              "Confirme que a chave de registo existe e que tem permissões de administrador.");
    EXPECT_EQ(fake.messageDialog.shown[0].icon, platform::Icon::Warning);
    EXPECT_EQ(Writes(), 3);  // every changed value was tried
}

TEST_F(Dialog, MissingKeyNamesAllFiveAndCreatesNothing) {
    form.Form_Load();
    form.Command1_Click();
    EXPECT_FALSE(view.unloaded);
    ASSERT_EQ(fake.messageDialog.shown.size(), 1u);
    EXPECT_EQ(fake.messageDialog.shown[0].text.rfind(
                  "Não foi possível gravar:\nServidor\nBase_Dados\nSegurança\nUtilizador\n"
                  "Palavra-Passe\n\n",
                  0),
              0u);
    EXPECT_FALSE(fake.registry.KeyExists(HKLM, kSub));
}

TEST_F(Dialog, UntrappedFailureStopsTheEventAndIsShown) {
    StoreAll();
    form.Form_Load();
    view.Type(Control::FXDataSource, "outro");
    view.Type(Control::FXUser, "outro");
    // A registry failure whose report fails leaves the store.
    fake.reporter.FailWith(platform::RuntimeFailure(429));
    fake.registry.RaiseOn(Op::Set, "Servidor", platform::RuntimeFailure(57, "E/S"));
    form.Command1_Click();
    EXPECT_FALSE(view.unloaded);
    ASSERT_EQ(fake.messageDialog.shown.size(), 1u);
    EXPECT_EQ(fake.messageDialog.shown[0].text, "Erro 429: ActiveX component can't create object");
    EXPECT_EQ(Writes(), 1);  // the event stopped at the first write
}

TEST_F(Dialog, UntrappedFailureDuringLoadKeepsWhatWasFilled) {
    StoreAll();
    fake.reporter.FailWith(platform::RuntimeFailure(429));
    fake.registry.RaiseOn(Op::Query, "Base_Dados", platform::RuntimeFailure(57, "E/S"));
    form.Form_Load();
    EXPECT_EQ(view.Text(Control::FXDataSource), "db01");
    EXPECT_EQ(view.Text(Control::FXInitialCatalog), "");
    ASSERT_EQ(fake.messageDialog.shown.size(), 1u);
    EXPECT_EQ(fake.messageDialog.shown[0].text, "Erro 429: ActiveX component can't create object");
}

}  // namespace
}  // namespace dialogtest
