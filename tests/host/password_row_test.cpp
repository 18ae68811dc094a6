// The password row: the mask, the scrambled save, the checks before
// anything is written, and the stored password never lost to the mask.
#include "dialog_fixture.h"

namespace dialogtest {
namespace {

using PasswordRow = DialogTest;

// Under key "12345" (codes 49 to 53) "abc" is stored as 0x92 0x94 0x96, and
// thirteen asterisks (42) as 42 + 49, 50, 51, 52, 53, 49, ...
const std::string kAbc = "\x92\x94\x96";
const std::string kThirteenAsterisks = "[\\]^_[\\]^_[\\]";

TEST_F(PasswordRow, LoadShowsTheMaskAndQueriesTheVolumeOnce) {
    StoreAll();
    form.Form_Load();
    EXPECT_EQ(view.setTextLog.back(), Control::FXPassword);
    EXPECT_EQ(view.Text(Control::FXPassword), settings::kMascara);
    EXPECT_EQ(fake.volume.queries, 1);
    EXPECT_EQ(fake.volume.lastRootPath, "C:\\");
}

// What "&OK" stores as "Palavra-Passe" after the user leaves the field as
// shown or edits it.
struct SaveCase {
    const char* name;
    std::string stored;              // before the dialog opens
    std::vector<std::string> typed;  // successive texts of the field
    std::string expected;
};

class PasswordSaves : public DialogTest, public ::testing::WithParamInterface<SaveCase> {};

TEST_P(PasswordSaves, StoredForm) {
    const SaveCase& c = GetParam();
    StoreAll();
    Store("Palavra-Passe", c.stored);
    form.Form_Load();
    for (const auto& text : c.typed) view.Type(Control::FXPassword, text);
    form.Command1_Click();
    EXPECT_TRUE(view.unloaded);
    EXPECT_EQ(Stored("Palavra-Passe"), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PasswordSaves,
    ::testing::Values(
        SaveCase{"unchanged", kAbc, {}, kAbc}, SaveCase{"cleared", kAbc, {""}, ""},
        SaveCase{"one_asterisk_deleted", kAbc, {"*************"}, kThirteenAsterisks},
        SaveCase{"new_password", kAbc, {"a", "ab", "abc"}, kAbc},
        // Typing and deleting again leaves the mask: the stored form stays.
        SaveCase{"typed_then_deleted", kAbc, {settings::kMascara + "x", settings::kMascara}, kAbc},
        SaveCase{"empty_stays_empty", "", {}, ""},
        // Special sums: 'N' (78) + 49 = 127, stored as 254.
        SaveCase{"special_sum_round_trips", "\xFE", {}, "\xFE"},
        SaveCase{"typed_special_sum", "", {"N"}, "\xFE"},
        // Written elsewhere: cannot be decoded here, kept as it was.
        SaveCase{"undecodable_kept", "\x01\x02", {}, "\x01\x02"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PasswordRow, CancelAfterEditingStoresNothing) {
    StoreAll();
    form.Form_Load();
    view.Type(Control::FXPassword, "outra");
    form.Command2_Click();
    EXPECT_EQ(Writes(), 0);
    EXPECT_EQ(Stored("Palavra-Passe"), kAbc);
}

TEST_F(PasswordRow, UndecodablePasswordIsToldOnceTheWindowShows) {
    StoreAll();
    Store("Palavra-Passe", "\x01");  // 1 - 49 falls below 0
    form.Form_Load();
    EXPECT_TRUE(fake.messageDialog.shown.empty());
    EXPECT_EQ(view.Text(Control::FXPassword), settings::kMascara);
    form.Form_Shown();
    ASSERT_EQ(fake.messageDialog.shown.size(), 1u);
    EXPECT_EQ(fake.messageDialog.shown[0].text,
              "A palavra-passe guardada não pode ser lida neste computador. "
              "Se não a alterar, fica guardada como está.");
    EXPECT_EQ(fake.messageDialog.shown[0].icon, platform::Icon::Information);
    EXPECT_FALSE(view.unloaded);
}

TEST_F(PasswordRow, ForeignButDecodablePasswordIsToldToo) {
    StoreAll();
    Store("Palavra-Passe", "\x7F");  // this key never stores 127: it writes 254
    form.Form_Load();
    form.Form_Shown();
    EXPECT_EQ(fake.messageDialog.shown.size(), 1u);
}

TEST_F(PasswordRow, ReadablePasswordIsNotTold) {
    StoreAll();
    form.Form_Load();
    form.Form_Shown();
    EXPECT_TRUE(fake.messageDialog.shown.empty());
}

// Values that cannot be stored exactly: the message, the focus, and not a
// single write.
struct RefusalCase {
    const char* name;
    Control field;
    std::string text;  // UTF-8, as typed
    std::string message;
    std::string lost = {};  // bytes the code page cannot bring back
};

class Refusals : public DialogTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(Refusals, NothingIsWritten) {
    const RefusalCase& c = GetParam();
    StoreAll();
    fake.codePage.lost = c.lost;
    form.Form_Load();
    view.Type(c.field, c.text);
    view.focus = Control::Command1;
    form.Command1_Click();
    EXPECT_EQ(Writes(), 0);
    EXPECT_FALSE(view.unloaded);
    EXPECT_EQ(view.focus, c.field);
    ASSERT_EQ(fake.messageDialog.shown.size(), 1u);
    EXPECT_EQ(fake.messageDialog.shown[0].text, c.message);
    EXPECT_EQ(fake.messageDialog.shown[0].icon, platform::Icon::Warning);
}

const std::string kUnmappable = " contém caracteres que não podem ser gravados.";
const std::string kScrambler = "A palavra-passe contém caracteres que não podem ser gravados, ";

INSTANTIATE_TEST_SUITE_P(
    Table, Refusals,
    ::testing::Values(
        RefusalCase{"server_euro", Control::FXDataSource, "db€",
                    "O campo «Data Source»" + kUnmappable},
        RefusalCase{"catalog_long", Control::FXInitialCatalog, std::string(3500, 'x'),
                    "O campo «Initial Catalog» excede 3499 caracteres."},
        RefusalCase{"user_cyrillic", Control::FXUser, "Иван", "O campo «User»" + kUnmappable},
        RefusalCase{"password_unmappable", Control::FXPassword, "a€",
                    "O campo «Password»" + kUnmappable},
        // Accented letters overflow with every key.
        RefusalCase{"password_accented", Control::FXPassword, "coração",
                    kScrambler + "nas posições 5 e 6."},
        // 'Ç' (199): sums 248 to 252 under this key, none of which decodes back;
        // each place is named, never the character.
        RefusalCase{"password_by_place", Control::FXPassword, "aÇbÇç",
                    kScrambler + "nas posições 2, 4 e 5."},
        RefusalCase{"server_redirection", Control::FXDataSource, "SREF=xyz",
                    "O valor de Servidor não pode ser gravado: começaria por «SREF=» e seria "
                    "lido como um redireccionamento."},
        RefusalCase{"server_escape", Control::FXDataSource, "srv01\x1B[2J\rServidor=outro",
                    "O valor de Servidor não pode ser gravado: contém um carácter de controlo "
                    "(código 27)."},
        RefusalCase{"user_delete", Control::FXUser, "app\x7F", "O valor de Utilizador não pode "
                    "ser gravado: contém um carácter de controlo (código 127)."},
        // Stored as "SREF=" under this key.
        RefusalCase{"password_stored_as_redirection", Control::FXPassword, "\" \x12\x12\x08",
                    "A palavra-passe não pode ser guardada: o seu valor guardado começaria por "
                    "«SREF=» e seria lido como um redireccionamento. Escolha outra palavra-passe."},
        // "abc" is stored as 0x92 0x94 0x96: one byte the code page would change.
        RefusalCase{"password_code_page", Control::FXPassword, "abc",
                    "A palavra-passe não pode ser guardada com a página de código deste "
                    "computador (28591). Escolha outra palavra-passe.",
                    "\x94"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PasswordRow, LongestStorableValuesAreWritten) {
    StoreAll();
    form.Form_Load();
    view.Type(Control::FXUser, std::string(3499, 'u'));
    view.Type(Control::FXPassword, std::string(3499, 'p'));
    form.Command1_Click();
    EXPECT_TRUE(view.unloaded);
    EXPECT_EQ(Stored("Utilizador").size(), 3499u);
    EXPECT_EQ(Stored("Palavra-Passe").size(), 3499u);
}

}  // namespace
}  // namespace dialogtest
