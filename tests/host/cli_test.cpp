// The command-line companion: its option parsing, and each command run
// against the fake platform, with exit code, output and what is stored.
#include <deque>
#include <functional>

#include "cli/comandos.h"
#include "dialog_fixture.h"

namespace dialogtest {
namespace {

using cli::Comando;

struct ParseCase {
    const char* name;
    std::vector<std::string> args;
    bool valid;
    Comando command = Comando::Ajuda;
    std::array<std::optional<std::string>, 5> texts = {};
    bool passwordStdin = false;
    std::string error = {};
    std::string driver = "SQL Server";
    unsigned timeout = 15;
};

class CliParsing : public ::testing::TestWithParam<ParseCase> {};

TEST_P(CliParsing, ReadsTheRequestOrTheUsageError) {
    const ParseCase& c = GetParam();
    const cli::Analise a = cli::AnalisarArgumentos(c.args);
    ASSERT_EQ(a.valida, c.valid) << a.erro;
    if (!c.valid) {
        EXPECT_EQ(a.erro, c.error);
        return;
    }
    EXPECT_EQ(a.pedido.comando, c.command);
    EXPECT_EQ(a.pedido.textos, c.texts);
    EXPECT_EQ(a.pedido.palavraPasseStdin, c.passwordStdin);
    EXPECT_EQ(a.pedido.controlador, c.driver);
    EXPECT_EQ(a.pedido.tempoLimite, c.timeout);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CliParsing,
    ::testing::Values(
        ParseCase{"help", {"--ajuda"}, true, Comando::Ajuda},
        ParseCase{"help_slash", {"/?"}, true, Comando::Ajuda},
        ParseCase{"help_h", {"-h"}, true, Comando::Ajuda},
        ParseCase{"show", {"mostrar"}, true, Comando::Mostrar},
        ParseCase{"check", {"verificar"}, true, Comando::Verificar},
        ParseCase{"set_all", {"definir", "--utilizador", "sa", "--servidor", "db", "--base-dados",
                              "", "--seguranca", "true", "--palavra-passe-stdin"},
                  true, Comando::Definir, {"db", "", "True", "sa", std::nullopt}, true},
        ParseCase{"security_any_case", {"definir", "--seguranca", "fALSE"}, true,
                  Comando::Definir, {std::nullopt, std::nullopt, "False"}},
        ParseCase{"text_that_looks_like_an_option", {"definir", "--servidor", "--x"}, true,
                  Comando::Definir, {"--x"}},
        ParseCase{"password_only", {"definir", "--palavra-passe-stdin"}, true, Comando::Definir,
                  {}, true},
        ParseCase{"test", {"testar"}, true, Comando::Testar},
        ParseCase{"test_options",
                  {"testar", "--tempo-limite", "3600", "--controlador", "ODBC Driver 18 for SQL Server"},
                  true, Comando::Testar, {}, false, {}, "ODBC Driver 18 for SQL Server", 3600},
        ParseCase{"test_timeout_out_of_range", {"testar", "--tempo-limite", "0"}, false, {}, {},
                  false, "--tempo-limite aceita de 1 a 3600 segundos, não: 0"},
        ParseCase{"test_repeated", {"testar", "--controlador", "a", "--controlador", "b"}, false,
                  {}, {}, false, "Opção repetida: --controlador"},
        ParseCase{"no_command", {}, false, {}, {}, false, "Falta o comando."},
        ParseCase{"unknown_command", {"apagar"}, false, {}, {}, false,
                  "Comando desconhecido: apagar"},
        ParseCase{"extra_argument", {"mostrar", "tudo"}, false, {}, {}, false,
                  "Argumento a mais: tudo"},
        ParseCase{"nothing_to_set", {"definir"}, false, {}, {}, false,
                  "Nada a definir: indique pelo menos uma opção."},
        ParseCase{"missing_text", {"definir", "--servidor"}, false, {}, {}, false,
                  "Falta o texto de --servidor"},
        ParseCase{"password_never_an_argument", {"definir", "--palavra-passe", "x"}, false, {},
                  {}, false, "Opção desconhecida: --palavra-passe"},
        ParseCase{"repeated", {"definir", "--servidor", "a", "--servidor", "b"}, false, {}, {},
                  false, "Opção repetida: --servidor"},
        ParseCase{"security_not_an_item", {"definir", "--seguranca", "sim"}, false, {}, {},
                  false, "--seguranca aceita False ou True, não: sim"}),
    [](const auto& info) { return std::string(info.param.name); });

class FakeConsole : public cli::Consola {
public:
    void Escrever(const std::string& utf8) override { out += utf8; }
    void Erro(const std::string& utf8) override { err += utf8; }
    bool LerLinha(std::string* utf8) override {
        if (input.empty()) return false;
        *utf8 = input.front();
        input.pop_front();
        return true;
    }
    std::deque<std::string> input;
    std::string out, err;
};

const std::string kAbc = "\x92\x94\x96";      // "abc" stored under key "12345"
const std::string kForeign = "\x01\x02\x03";  // decodes to nothing printable here

struct RunCase {
    const char* name;
    std::vector<std::string> args;
    std::function<void(fakes::FakePlatform&)> setup;  // after StoreAll
    std::deque<std::string> input;
    int exit;
    std::string out;  // exact, when not empty
    std::string err;  // exact ("" means nothing on standard error)
    std::vector<std::pair<std::string, std::string>> stored = {};  // after the run
    bool nothingWritten = false;
};

class CliCommands : public DialogTest, public ::testing::WithParamInterface<RunCase> {};

TEST_P(CliCommands, ExitCodeOutputAndStore) {
    const RunCase& c = GetParam();
    StoreAll();
    if (c.setup) c.setup(fake);
    const int writesBefore = Writes();
    FakeConsole console;
    console.input = c.input;
    EXPECT_EQ(cli::Executar(c.args, console), c.exit);
    if (!c.out.empty()) {
        EXPECT_EQ(console.out, c.out);
    }
    EXPECT_EQ(console.err, c.err);
    for (const auto& [name, text] : c.stored) EXPECT_EQ(Stored(name), text) << name;
    if (c.nothingWritten) {
        EXPECT_EQ(Writes(), writesBefore);
    }
    EXPECT_TRUE(fake.messageDialog.shown.empty());
}

auto Put(const std::string& name, const std::string& text) {
    return [=](fakes::FakePlatform& f) { f.registry.PutString(HKLM, kSub, name, text); };
}
const std::string kShown = "Servidor=db01\nBase_Dados=vendas\nSegurança=True\nUtilizador=sa\n";
const std::string kNotWritten = "\n\nConfirme que a chave de registo existe e que tem "
                                "permissões de administrador.\n";

INSTANTIATE_TEST_SUITE_P(
    Table, CliCommands,
    ::testing::Values(
        RunCase{"show", {"mostrar"}, {}, {}, 0, kShown + "Palavra-Passe=(definida)\n", ""},
        RunCase{"show_empty_password", {"mostrar"}, Put("Palavra-Passe", ""), {}, 0,
                kShown + "Palavra-Passe=(vazia)\n", ""},
        RunCase{"show_foreign_password", {"mostrar"}, Put("Palavra-Passe", kForeign), {}, 0,
                kShown + "Palavra-Passe=(ilegível neste computador)\n", ""},
        RunCase{"show_unreadable", {"mostrar"}, Put("Servidor", std::string(3500, 'x')), {}, 0,
                "Servidor=\nBase_Dados=vendas\nSegurança=True\nUtilizador=sa\n"
                "Palavra-Passe=(definida)\n",
                "Não foi possível ler:\nServidor\n\nSe não os alterar, ficam guardados como "
                "estão.\n"},
        RunCase{"set_some", {"definir", "--servidor", "db02", "--palavra-passe-stdin"}, {},
                {"abc"}, 0, "", "",
                {{"Servidor", "db02"}, {"Palavra-Passe", kAbc}, {"Base_Dados", "vendas"}}},
        RunCase{"set_security_as_item", {"definir", "--seguranca", "FALSE"}, {}, {}, 0, "", "",
                {{kSeg, "False"}}},
        RunCase{"set_empty_password", {"definir", "--palavra-passe-stdin"}, {}, {""}, 0, "", "",
                {{"Palavra-Passe", ""}}},
        RunCase{"refused_text_writes_nothing",
                {"definir", "--servidor", "db02", "--utilizador", "\xE6\xBC\xA2"}, {}, {}, 2, "",
                "O campo «User» contém caracteres que não podem ser gravados.\n", {}, true},
        RunCase{"too_long", {"definir", "--base-dados", std::string(3500, 'y')}, {}, {}, 2, "",
                "O campo «Initial Catalog» excede 3499 caracteres.\n", {}, true},
        RunCase{"unscramblable_password", {"definir", "--servidor", "x", "--palavra-passe-stdin"},
                {}, {"\xC3\xA7"}, 2, "",
                "A palavra-passe contém caracteres que não podem ser gravados: ç\n", {}, true},
        RunCase{"password_lost_to_code_page", {"definir", "--palavra-passe-stdin"},
                [](fakes::FakePlatform& f) { f.codePage.lost = "\x92"; }, {"abc"}, 2, "",
                "A palavra-passe não pode ser guardada com a página de código deste "
                "computador (28591). Escolha outra palavra-passe.\n", {}, true},
        RunCase{"no_password_line", {"definir", "--servidor", "x", "--palavra-passe-stdin"}, {},
                {}, 1, "",
                "Não foi lida nenhuma linha da entrada padrão: a palavra-passe não foi "
                "alterada.\n", {}, true},
        RunCase{"write_fails",
                {"definir", "--servidor", "x", "--palavra-passe-stdin"},
                [](fakes::FakePlatform& f) { f.registry = {}; }, {"abc"}, 4, "",
                "Não foi possível gravar:\nServidor\nPalavra-Passe" + kNotWritten},
        RunCase{"check_here", {"verificar"}, {}, {}, 0,
                "A palavra-passe guardada decifra-se neste computador.\n", ""},
        RunCase{"check_empty", {"verificar"}, Put("Palavra-Passe", ""), {}, 0,
                "Não há palavra-passe guardada.\n", ""},
        RunCase{"check_foreign", {"verificar"}, Put("Palavra-Passe", kForeign), {}, 3,
                "A palavra-passe guardada não se decifra com a chave deste computador: "
                "defina-a de novo neste computador.\n", ""},
        RunCase{"check_unreadable", {"verificar"}, Put("Palavra-Passe", std::string(3500, 'x')), {}, 3,
                "Não foi possível ler a palavra-passe guardada.\n", ""},
        RunCase{"usage_error", {"definir"}, {}, {}, 1, "",
                "Nada a definir: indique pelo menos uma opção.\n\n" +
                    std::string(cli::kUtilizacao)}),
    [](const auto& info) { return std::string(info.param.name); });

// The usage's `definir` line is built from the settings' table.
TEST(CliUsage, NamesEveryOptionOfDefinir) {
    EXPECT_NE(std::string(cli::kUtilizacao)
                  .find("  definicoes definir [--servidor TEXTO] [--base-dados TEXTO] "
                        "[--seguranca False|True]\n                     [--utilizador TEXTO] "
                        "[--palavra-passe-stdin]\n  definicoes verificar\n"),
              std::string::npos)
        << cli::kUtilizacao;
}

}  // namespace
}  // namespace dialogtest
