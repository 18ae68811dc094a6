// The command-line companion: its option parsing, and each command run
// against the fake platform, with exit code, output and what is stored.
#include <deque>
#include <fstream>
#include <functional>

#include "cli/comandos.h"
#include "cli/dsc_entrada.h"
#include "cli/saida_json.h"
#include "dialog_fixture.h"

namespace dialogtest {
namespace {

using cli::Comando;
using cli::PalavraPasse;

struct ParseCase {
    const char* name;
    std::vector<std::string> args;
    bool valid;
    Comando command = Comando::Ajuda;
    std::array<std::optional<std::string>, 5> texts = {};
    PalavraPasse password = PalavraPasse::Nenhuma;
    std::string error = {};
    bool json = false;
    std::string driver = "SQL Server";
    unsigned timeout = 15;
    int nonConforming = 3;
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
    EXPECT_EQ(a.pedido.palavraPasse, c.password);
    EXPECT_EQ(a.pedido.json, c.json);
    EXPECT_EQ(a.pedido.driver, c.driver);
    EXPECT_EQ(a.pedido.tempoLimite, c.timeout);
    EXPECT_EQ(a.pedido.codigoNaoConforme, c.nonConforming);
}

const std::string kBothPasswords =
    "Só uma vez, e só uma de: --palavra-passe-stdin, --palavra-passe-vazia";

// One table row a case, laid out by hand.
// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Table, CliParsing,
    ::testing::Values(
        ParseCase{"help", {"--ajuda"}, true, Comando::Ajuda},
        ParseCase{"help_slash", {"/?"}, true, Comando::Ajuda},
        ParseCase{"help_h", {"-h"}, true, Comando::Ajuda},
        ParseCase{"show", {"mostrar"}, true, Comando::Mostrar},
        ParseCase{"show_json", {"mostrar", "--json"}, true, Comando::Mostrar, {}, {}, {}, true},
        ParseCase{"check", {"verificar"}, true, Comando::Verificar},
        ParseCase{"check_takes_set_options",
                  {"verificar", "--seguranca", "false", "--palavra-passe-vazia"}, true,
                  Comando::Verificar, {std::nullopt, std::nullopt, "False"}, PalavraPasse::Vazia},
        ParseCase{"set_all", {"definir", "--utilizador", "sa", "--servidor", "db", "--base-dados",
                              "", "--seguranca", "true", "--palavra-passe-stdin"},
                  true, Comando::Definir, {"db", "", "True", "sa", std::nullopt}, PalavraPasse::Stdin},
        ParseCase{"security_any_case", {"definir", "--seguranca", "fALSE"}, true,
                  Comando::Definir, {std::nullopt, std::nullopt, "False"}},
        ParseCase{"text_that_looks_like_an_option", {"definir", "--servidor", "--x"}, true,
                  Comando::Definir, {"--x"}},
        ParseCase{"password_only", {"definir", "--palavra-passe-stdin"}, true, Comando::Definir,
                  {}, PalavraPasse::Stdin},
        ParseCase{"empty_password", {"definir", "--palavra-passe-vazia"}, true, Comando::Definir,
                  {}, PalavraPasse::Vazia},
        ParseCase{"test", {"testar"}, true, Comando::Testar},
        ParseCase{"test_options",
                  {"testar", "--tempo-limite", "3600", "--controlador", "ODBC Driver 18 for SQL Server"},
                  true, Comando::Testar, {}, {}, {}, false, "ODBC Driver 18 for SQL Server", 3600},
        ParseCase{"test_json", {"testar", "--json", "--tempo-limite", "5"}, true,
                  Comando::Testar, {}, {}, {}, true, "SQL Server", 5},
        ParseCase{"drivers", {"controladores"}, true, Comando::Controladores},
        ParseCase{"drivers_json", {"controladores", "--json"}, true, Comando::Controladores, {}, {},
                  {}, true},
        ParseCase{"test_timeout_out_of_range", {"testar", "--tempo-limite", "0"}, false, {}, {},
                  {}, "--tempo-limite aceita de 1 a 3600 segundos: o argumento 3 não."},
        ParseCase{"test_repeated", {"testar", "--controlador", "a", "--controlador", "b"}, false,
                  {}, {}, {}, "Opção repetida: --controlador"},
        ParseCase{"no_command", {}, false, {}, {}, {}, "Falta o comando."},
        ParseCase{"unknown_command", {"apagar"}, false, {}, {}, {},
                  "O argumento 1 não é um comando."},
        ParseCase{"extra_argument", {"mostrar", "--json", "tudo"}, false, {}, {}, {},
                  "O argumento 3 está a mais."},
        ParseCase{"check_json_and_exit_code", {"verificar", "--json", "--codigo-nao-conforme", "0"},
                  true, Comando::Verificar, {}, {}, {}, true, "SQL Server", 15, 0},
        ParseCase{"exit_code_out_of_range", {"verificar", "--codigo-nao-conforme", "256"}, false,
                  {}, {}, {}, "--codigo-nao-conforme aceita de 0 a 255: o argumento 3 não."},
        ParseCase{"dsc_unknown_operation", {"dsc", "delete"}, false, {}, {}, {},
                  "O argumento 2 não é uma operação de dsc: get, set ou test."},
        ParseCase{"dsc_what_if_only_for_set", {"dsc", "get", "--what-if"}, false, {}, {}, {},
                  "O argumento 3 está a mais."},
        ParseCase{"nothing_to_set", {"definir"}, false, {}, {}, {},
                  "Nada a definir: indique pelo menos uma opção."},
        ParseCase{"missing_text", {"definir", "--servidor"}, false, {}, {}, {},
                  "Falta o texto de --servidor"},
        ParseCase{"password_never_an_argument", {"definir", "--palavra-passe", "x"}, false, {},
                  {}, {}, "O argumento 2 não é uma opção de definir."},
        // A password typed where an option goes is named by its place alone.
        ParseCase{"password_as_argument", {"definir", "--palavra-passe-stdin", "segredo123"},
                  false, {}, {}, {}, "O argumento 3 não é uma opção de definir."},
        ParseCase{"repeated", {"verificar", "--servidor", "a", "--servidor", "b"}, false, {}, {},
                  {}, "Opção repetida: --servidor"},
        ParseCase{"two_passwords", {"definir", "--palavra-passe-stdin", "--palavra-passe-vazia"},
                  false, {}, {}, {}, kBothPasswords},
        ParseCase{"security_not_an_item", {"definir", "--seguranca", "sim"}, false, {}, {}, {},
                  "--seguranca aceita False ou True: o argumento 3 não."}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

// Standard input as the password reader sees it: a console keeps the echo
// state, and a line longer than the limit is cut after limit + 1 bytes,
// as the real one stops taking it.
class FakeConsole : public cli::Consola {
public:
    void Escrever(const std::string& utf8) override { out += utf8; }
    void Erro(const std::string& utf8) override { err += utf8; }
    bool EntradaInterativa() override { return interactive; }
    void Eco(bool on) override { echo = on; }
    bool LerLinha(std::size_t limit, platform::Secret* utf8) override {
        echoWhileReading = echo;
        if (input.empty()) return false;
        utf8->Assign(std::string_view(input.front()).substr(0, limit + 1));
        input.pop_front();
        return true;
    }
    std::deque<std::string> input;
    std::string out, err;
    bool interactive = false, echo = true, echoWhileReading = true;
};

const std::string kAbc = "\x92\x94\x96";      // "abc" stored under key "12345"
const std::string kForeign = "\x01\x02\x03";  // decodes to nothing printable here

struct RunCase {
    const char* name;
    std::vector<std::string> args;
    std::function<void(fakes::FakePlatform&)> setup;  // after StoreAll
    std::deque<std::string> input;
    int exit;
    std::string out;  // exact ("" means nothing on standard output)
    std::string err;  // exact ("" means nothing on standard error)
    std::vector<std::pair<std::string, std::string>> stored = {};  // after the run
    bool nothingWritten = false;
    bool console = false;  // standard input is a console
    std::vector<std::string> events = {};
};

class CliCommands : public DialogTest, public ::testing::WithParamInterface<RunCase> {};

TEST_P(CliCommands, ExitCodeOutputAndStore) {
    const RunCase& c = GetParam();
    StoreAll();
    if (c.setup) c.setup(fake);
    const int writesBefore = Writes();
    FakeConsole console;
    console.input = c.input;
    console.interactive = c.console;
    EXPECT_EQ(cli::Executar(c.args, console), c.exit);
    EXPECT_EQ(console.out, c.out);
    EXPECT_EQ(console.err, c.err);
    for (const auto& [name, text] : c.stored) EXPECT_EQ(Stored(name), text) << name;
    if (c.nothingWritten) {
        EXPECT_EQ(Writes(), writesBefore);
    }
    if (c.nothingWritten || !c.events.empty()) {
        EXPECT_EQ(fake.eventLog.events, c.events);
    }
    EXPECT_TRUE(fake.messageDialog.shown.empty());
    // The echo is off while a console is read, and back on after.
    EXPECT_EQ(console.echoWhileReading, !c.console);
    EXPECT_TRUE(console.echo);
}

auto Put(const std::string& name, const std::string& text) {
    return [=](fakes::FakePlatform& f) { f.registry.PutString(HKLM, kSub, name, text); };
}
auto Missing(const std::string& name) {
    return [=](fakes::FakePlatform& f) {
        f.registry.FailOn(Op::Query, name, platform::kFileNotFound);
    };
}
// A value stored as `type`, or as text the code page did not convert exactly.
auto Raw(const std::string& name, std::uint32_t type, const std::string& bytes, bool exact = true) {
    return [=](fakes::FakePlatform& f) { f.registry.PutRaw(HKLM, kSub, name, type, bytes, exact); };
}
// A registry failure whose report fails too, so that it leaves the store.
auto Untrapped(Op op, const std::string& name) {
    return [=](fakes::FakePlatform& f) {
        f.reporter.FailWith(platform::RuntimeFailure(429));
        f.registry.RaiseOn(op, name, platform::RuntimeFailure(57, "E/S"));
    };
}
const std::string kLong(3500, 'x');  // more than the store reads back
const std::string kShown = "Servidor=db01\nBase_Dados=vendas\nSegurança=True\nUtilizador=sa\n";
const std::string kNotWritten = "\n\nConfirme que a chave de registo existe e que tem "
                                "permissões de administrador.\n";
const std::string kNotRead = "\n\nSe não os alterar, ficam guardados como estão.\n";
const std::string kNothingDone = ": nada foi gravado nem verificado.\n";
const std::string kCom = "Erro 429: ActiveX component can't create object\n";
const std::string kConforming = "As definições estão conformes.\n";
const std::string kDiffers = ": diferente do valor indicado\n";
const std::string kDscState = R"({"servidor":"db01","baseDados":"vendas","seguranca":"True",)"
                              R"("utilizador":"sa","palavraPasseEstado":"definida"})"
                              "\n";
// A message of `dsc` as DSC reads it: one JSON line on standard error.
std::string Logged(const std::string& json) { return R"({"error":")" + json + "\"}\n"; }
// The same for input it refuses.
std::string Refused(const std::string& json) { return Logged(json + " Nada foi gravado."); }

// One table row a case, laid out by hand.
// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Table, CliCommands,
    ::testing::Values(
        RunCase{"show", {"mostrar"}, {}, {}, 0, kShown + "Palavra-Passe=(definida)\n", ""},
        RunCase{"show_empty_password", {"mostrar"}, Put("Palavra-Passe", ""), {}, 0,
                kShown + "Palavra-Passe=(vazia)\n", ""},
        RunCase{"show_foreign_password", {"mostrar"}, Put("Palavra-Passe", kForeign), {}, 0,
                kShown + "Palavra-Passe=(ilegível neste computador)\n", ""},
        RunCase{"show_unreadable_and_missing", {"mostrar"},
                All(Put("Servidor", kLong), Missing("Utilizador")), {}, 3,
                "Servidor=(ilegível)\nBase_Dados=vendas\nSegurança=True\nUtilizador=(em falta)\n"
                "Palavra-Passe=(definida)\n",
                "Não foi possível ler:\nServidor" + kNotRead},
        RunCase{"show_json", {"mostrar", "--json"},
                All(Put("Servidor", kLong), Put("Base_Dados", "cat\xE1logo\t\"1\""),
                    Missing("Utilizador"), Put("Palavra-Passe", kForeign)),
                {}, 3,
                R"({"Servidor":null,"Base_Dados":"cat\u00e1logo\t\"1\"",)"
                R"("Seguran\u00e7a":"True","Utilizador":null,"Palavra-Passe":"ileg\u00edvel"})" "\n",
                "Não foi possível ler:\nServidor" + kNotRead},
        // A value that is there but is not the text it reads as is never
        // shown, compared or kept as if it were.
        RunCase{"show_not_as_stored", {"mostrar"},
                All(Raw("Servidor", platform::kRegSz, "db01\0"s, false),
                    Raw(kSeg, platform::kRegDword, "\1\0\0\0"s)),
                {}, 3,
                "Servidor=(ilegível: tem caracteres que a página de código deste computador "
                "não tem)\nBase_Dados=vendas\nSegurança=(ilegível: não é texto)\n"
                "Utilizador=sa\nPalavra-Passe=(definida)\n",
                "Não foi possível ler:\nServidor\nSegurança" + kNotRead},
        RunCase{"set_over_not_as_stored", {"definir", "--servidor", "db01", "--seguranca", "True"},
                All(Raw("Servidor", platform::kRegSz, "db01\0"s, false),
                    Raw(kSeg, platform::kRegDword, "\1\0\0\0"s)),
                {}, 0, "Alterados: Servidor, Segurança\n", "", {{kSeg, "True"}}},
        RunCase{"check_not_as_stored", {"verificar"},
                Raw(kSeg, platform::kRegMultiSz, "True\0\0"s), {}, 3,
                "Segurança: é uma lista de textos\n", ""},
        RunCase{"show_failure_is_a_read", {"mostrar"}, Untrapped(Op::Query, "Base_Dados"), {}, 3,
                "", "Falha inesperada ao ler as definições: " + kCom},
        RunCase{"set_some", {"definir", "--servidor", "db02", "--palavra-passe-stdin"},
                Put("Palavra-Passe", kForeign), {"abc"}, 0, "Alterados: Servidor, Palavra-Passe\n",
                "", {{"Servidor", "db02"}, {"Palavra-Passe", kAbc}, {"Base_Dados", "vendas"}},
                false, false, {"I1000|Servidor: «db02»|Palavra-Passe alterada|||"}},
        // The event viewer would put parameter message 1234 in place of "%%1234".
        RunCase{"set_event_shows_the_value", {"definir", "--servidor", "%%1234%%%5%%"}, {}, {}, 0,
                "Alterados: Servidor\n", "", {}, false, false,
                {"I1000|Servidor: «%\u2060%1234%%\u2060%5%%»||||"}},
        // Already stored, "Segurança" as the window tells its items: nothing
        // is written. The reader drops a byte-order mark and the "\r".
        RunCase{"set_what_is_stored", {"definir", "--servidor", "db01", "--seguranca", "true",
                                       "--palavra-passe-stdin"},
                Put(kSeg, "TRUE "), {"\xEF\xBB\xBF" "abc\r"}, 0, "Nada a alterar.\n", "",
                {{kSeg, "TRUE "}}, true},
        RunCase{"set_empty_password", {"definir", "--palavra-passe-vazia"}, {}, {}, 0,
                "Alterados: Palavra-Passe\n", "", {{"Palavra-Passe", ""}}},
        RunCase{"typed_at_console", {"definir", "--palavra-passe-stdin"}, {}, {"abd"}, 0,
                "Alterados: Palavra-Passe\n", "Palavra-passe: \n", {}, false, true},
        RunCase{"input_at_limit", {"definir", "--palavra-passe-stdin"}, {},
                {std::string(1024, 'a')}, 0, "Alterados: Palavra-Passe\n", ""},
        RunCase{"input_over_limit", {"definir", "--palavra-passe-stdin"}, {},
                {std::string(1025, 'a')}, 1, "",
                "A entrada padrão excede 1024 bytes" + kNothingDone, {}, true},
        RunCase{"input_with_nul", {"definir", "--servidor", "x", "--palavra-passe-stdin"}, {},
                {"ab\0c"s}, 1, "", "A entrada padrão contém um carácter nulo (byte 3)" + kNothingDone,
                {}, true},
        RunCase{"empty_line_refused", {"definir", "--palavra-passe-stdin"}, {}, {"\r"}, 1, "",
                "A palavra-passe lida da entrada padrão está vazia: nada foi gravado nem "
                "verificado. Para a palavra-passe vazia, use --palavra-passe-vazia.\n", {}, true},
        RunCase{"no_password_line", {"definir", "--servidor", "x", "--palavra-passe-stdin"}, {},
                {}, 1, "", "Não foi lida nenhuma linha da entrada padrão" + kNothingDone, {}, true},
        RunCase{"refused_text_writes_nothing",
                {"definir", "--servidor", "db02", "--utilizador", "\xE6\xBC\xA2"}, {}, {}, 2, "",
                "O campo «User» contém caracteres que não podem ser gravados.\n", {}, true},
        RunCase{"leading_space_refused", {"definir", "--utilizador", " admin"}, {}, {}, 2, "",
                "O valor de Utilizador não pode começar por um espaço: « admin» seria lido como "
                "«admin».\n", {}, true},
        RunCase{"redirection_refused", {"definir", "--servidor", "SREF=xyz"}, {}, {}, 2, "",
                "O valor de Servidor não pode ser gravado: começaria por «SREF=» e seria lido "
                "como um redireccionamento.\n", {}, true},
        RunCase{"too_long", {"definir", "--base-dados", std::string(3500, 'y')}, {}, {}, 2, "",
                "O campo «Initial Catalog» excede 3499 caracteres.\n", {}, true},
        RunCase{"unscramblable_password", {"definir", "--servidor", "x", "--palavra-passe-stdin"},
                {}, {"a\xC3\xA7"}, 2, "",
                "A palavra-passe contém caracteres que não podem ser gravados, na posição 2.\n",
                {}, true},
        RunCase{"password_lost_to_code_page", {"definir", "--palavra-passe-stdin"},
                [](fakes::FakePlatform& f) { f.codePage.lost = "\x94"; }, {"abd"}, 2, "",
                "A palavra-passe não pode ser guardada com a página de código deste "
                "computador (28591). Escolha outra palavra-passe.\n", {}, true},
        RunCase{"write_fails",
                {"definir", "--servidor", "x", "--palavra-passe-stdin"},
                [](fakes::FakePlatform& f) { f.registry = {}; }, {"abc"}, 4, "",
                "Não foi possível gravar:\nServidor\nPalavra-Passe" + kNotWritten, {}, false, false,
                {"W1001|(nenhum)|||||Não foi possível gravar:\nServidor\nPalavra-Passe" +
                 kNotWritten.substr(0, kNotWritten.size() - 1)}},
        RunCase{"write_failure_untrapped", {"definir", "--servidor", "x", "--base-dados", "y"},
                Untrapped(Op::Set, "Base_Dados"), {}, 4, "",
                "Falha inesperada ao gravar as definições: " + kCom, {}, false, false,
                {"W1001|Servidor: «x»|||||" + kCom.substr(0, kCom.size() - 1)}},
        RunCase{"check_configured", {"verificar"}, {}, {}, 0, kConforming, ""},
        RunCase{"check_empty_password", {"verificar"}, Put("Palavra-Passe", ""), {}, 0,
                kConforming, ""},
        RunCase{"check_each_fault", {"verificar"},
                All(Missing("Servidor"), Put("Base_Dados", kLong), Put(kSeg, "Sim"),
                    Put("Palavra-Passe", kForeign)),
                {}, 3,
                "Servidor: em falta\nBase_Dados: ilegível\nSegurança: não é False nem True\n"
                "Palavra-Passe: não se decifra neste computador\n", ""},
        RunCase{"check_given_values_hold", {"verificar", "--servidor", "db01", "--seguranca",
                                            "TRUE", "--palavra-passe-stdin"},
                Put(kSeg, "true"), {"abc"}, 0, kConforming, ""},
        RunCase{"check_given_values_differ", {"verificar", "--servidor", "db02", "--utilizador",
                                              "sa", "--palavra-passe-stdin"},
                {}, {"abd"}, 3, "Servidor" + kDiffers + "Palavra-Passe" + kDiffers, ""},
        RunCase{"check_wants_empty_password", {"verificar", "--palavra-passe-vazia"}, {}, {}, 3,
                "Palavra-Passe" + kDiffers, ""},
        RunCase{"check_failure_is_a_read", {"verificar"}, Untrapped(Op::Query, "Servidor"), {},
                3, "", "Falha inesperada ao ler as definições: " + kCom},
        RunCase{"usage_error", {"definir"}, {}, {}, 1, "",
                "Nada a definir: indique pelo menos uma opção.\n\n" +
                    std::string(cli::kUtilizacao)},
        // --json: the answer, or the error as {"erro": ...}; the plain
        // message still goes to standard error.
        RunCase{"usage_error_json", {"definir", "--json"}, {}, {}, 1,
                R"({"erro":"Nada a definir: indique pelo menos uma op\u00e7\u00e3o."})" "\n",
                "Nada a definir: indique pelo menos uma opção.\n"},
        RunCase{"prompt_not_in_error", {"definir", "--json", "--palavra-passe-stdin"}, {}, {"\r"},
                1, R"({"erro":"A palavra-passe lida da entrada padr\u00e3o est\u00e1 vazia: nada )"
                R"(foi gravado nem verificado. Para a palavra-passe vazia, use )"
                R"(--palavra-passe-vazia."})" "\n",
                "Palavra-passe: \nA palavra-passe lida da entrada padrão está vazia: nada foi "
                "gravado nem verificado. Para a palavra-passe vazia, use --palavra-passe-vazia.\n",
                {}, true, true},
        RunCase{"check_json_exit_code", {"verificar", "--servidor", "db02", "--json",
                                         "--codigo-nao-conforme", "1"},
                Missing("Utilizador"), {}, 1,
                R"({"conforme":false,"diferencas":[{"nome":"Servidor","motivo":)"
                R"("diferente do valor indicado"},{"nome":"Utilizador","motivo":"em falta"}]})" "\n",
                ""},
        RunCase{"check_failure_keeps_exit_code", {"verificar", "--codigo-nao-conforme", "0"},
                Untrapped(Op::Query, "Servidor"), {}, 3, "",
                "Falha inesperada ao ler as definições: " + kCom},
        // The DSC resource: only the values given are compared; the password
        // is never printed; input it refuses writes nothing.
        RunCase{"dsc_get", {"dsc", "get"}, Put(kSeg, "true "), {}, 0, kDscState, ""},
        RunCase{"dsc_test", {"dsc", "test"}, Missing("Base_Dados"),
                {R"({"servidor":"db01","palavraPasse":{"secureString":"abd"},"_exist":true,)",
                 R"("palavraPasseEstado":"definida","_inDesiredState":null})"},
                0, R"({"servidor":"db01","baseDados":null,"seguranca":"True","utilizador":"sa",)"
                R"("palavraPasseEstado":"definida","_inDesiredState":false})" "\n"
                R"(["palavraPasse"])" "\n", ""},
        RunCase{"dsc_test_right_password", {"dsc", "test"}, {},
                {R"({"palavraPasse":{"secureString":"abc"},"seguranca":"True"})"}, 0,
                kDscState.substr(0, kDscState.size() - 2) + R"(,"_inDesiredState":true})" "\n[]\n",
                ""},
        // A password-only change is named, though its state stays "definida".
        RunCase{"dsc_set_password_only", {"dsc", "set"}, {},
                {R"({"palavraPasse":{"secureString":"abd"},"servidor":"db01"})"}, 0,
                kDscState + R"(["palavraPasse"])" "\n", "", {{"Palavra-Passe", "\x92\x94\x97"}}},
        RunCase{"dsc_what_if_writes_nothing", {"dsc", "set", "--what-if"}, {},
                {R"({"servidor":"db09","palavraPasse":""})"}, 0,
                R"({"servidor":"db09","baseDados":"vendas","seguranca":"True","utilizador":"sa",)"
                R"("palavraPasseEstado":"vazia"})" "\n"
                R"(["servidor","palavraPasse"])" "\n", "", {}, true},
        RunCase{"dsc_what_if_refusal", {"dsc", "set", "--what-if"}, {},
                {R"({"utilizador":" sa"})"}, 2, "",
                Logged(R"(O valor de Utilizador n\u00e3o pode come\u00e7ar por um espa\u00e7o: )"
                       R"(\u00ab sa\u00bb seria lido como \u00absa\u00bb.)"),
                {}, true},
        RunCase{"dsc_repeated_property", {"dsc", "set"}, {},
                {R"({"servidor":"db02","servidor":"db03"})"}, 1, "",
                Refused("A entrada repete uma propriedade."), {}, true},
        RunCase{"dsc_repeated_inner_key", {"dsc", "set"}, {},
                {R"({"palavraPasse":{"secureString":"a","secureString":"b"}})"}, 1, "",
                Refused("A entrada repete uma propriedade."), {}, true},
        RunCase{"dsc_absence_refused", {"dsc", "set"}, {},
                {R"({"servidor":"x","_exist":false})"}, 1, "",
                Refused("O recurso gere valores, n\\u00e3o a sua aus\\u00eancia: _exist s\\u00f3 "
                        "aceita true."), {}, true},
        RunCase{"dsc_security_as_the_schema", {"dsc", "set"}, {}, {R"({"seguranca":"false"})"}, 1,
                "", Refused("seguranca aceita False ou True."), {}, true},
        RunCase{"dsc_wrong_type", {"dsc", "set"}, {}, {R"({"palavraPasse":["segredo"]})"}, 1, "",
                Refused(R"(palavraPasse aceita um texto, {\"secureString\": texto} ou null.)"),
                {}, true},
        RunCase{"dsc_escape_refused", {"dsc", "set"}, {}, {R"({"servidor":"srv01\u001b[2J"})"},
                2, "",
                Logged(R"(O valor de Servidor n\u00e3o pode ser gravado: cont\u00e9m um )"
                       R"(car\u00e1cter de controlo (c\u00f3digo 27).)"),
                {}, true},
        RunCase{"dsc_too_long", {"dsc", "set"}, {},
                {"{\"servidor\":\"" + std::string(65524, 'x') + "\"}"}, 1, "",
                Refused("A entrada padr\\u00e3o excede 65536 bytes."), {}, true}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

// The usage's option lines are built from the settings' table.
TEST(CliUsage, NamesEveryOptionOfDefinirAndVerificar) {
    EXPECT_NE(std::string(cli::kUtilizacao)
                  .find("  definicoes definir [--servidor TEXTO] [--base-dados TEXTO] "
                        "[--seguranca False|True]\n                     [--utilizador TEXTO]\n"
                        "                     [--palavra-passe-stdin | --palavra-passe-vazia] "
                        "[--json]\n"
                        "  definicoes verificar [--servidor TEXTO] [--base-dados TEXTO] "
                        "[--seguranca False|True]\n                       [--utilizador TEXTO]\n"
                        "                       [--palavra-passe-stdin | --palavra-passe-vazia] "
                        "[--json]\n                       [--codigo-nao-conforme N]\n"),
              std::string::npos)
        << cli::kUtilizacao;
}

// The DSC manifest's schema gives the table's properties, in its order, then
// the password's state, and no other but DSC's own ("_...").
TEST(CliJson, ManifestGivesTheTablePropertiesInOrder) {
    std::ifstream file(DSC_MANIFEST);
    const auto manifest = cli::Json::parse(file);
    std::vector<std::string> own, table;
    for (const auto& property : manifest["schema"]["embedded"]["properties"].items())
        if (property.key()[0] != '_') own.push_back(property.key());
    for (const auto& d : settings::kDefinicoes) table.push_back(d.propriedade);
    table.push_back(cli::kPropriedadeEstado);
    EXPECT_EQ(own, table);
}

// Characters beyond Latin-1 and invalid bytes still give ASCII JSON.
TEST(CliJson, EscapesEverythingButPrintableAscii) {
    EXPECT_EQ(cli::LinhaJson({{"t", "\xF0\x9F\x98\x80 \xE2\x82\xAC\x7F"}}),
              R"({"t":"\ud83d\ude00 \u20ac\u007f"})"
              "\n");
    EXPECT_EQ(cli::LinhaJson({{"t", "a\xC3(\xFF\\"}}), R"({"t":"a\ufffd(\ufffd\\"})"
                                                       "\n");
}

}  // namespace
}  // namespace dialogtest
