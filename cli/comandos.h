// The companion's commands over the settings core: the same reads, checks,
// messages and writes as the window.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/consola.h"
#include "cli/opcoes.h"
#include "settings/definicoes.h"

namespace cli {

// Exit codes. `verificar` may be given another for settings that are not
// as they should be (--codigo-nao-conforme).
constexpr int kSaidaExito = 0;
constexpr int kSaidaUtilizacao = 1;  // also a password refused on standard input
constexpr int kSaidaRecusado = 2;
constexpr int kSaidaIlegivel = 3;  // unreadable, missing or not as given; a failed read
constexpr int kSaidaGravacao = 4;  // a failed write
constexpr int kSaidaLigacao = 5;   // the connection test failed

// A text given for a setting (UTF-8), borrowed from where it is kept (the
// password from its secret); nothing when none is given.
using Dado = std::optional<std::string_view>;

// Prints the five settings, as lines or as one JSON object; exit 3 when a
// value is there but cannot be read.
int Mostrar(const Pedido& pedido, Consola& consola);
// Writes the values given that differ from the stored ones and names them.
int Definir(const Pedido& pedido, Consola& consola);
// Checks that the five settings are there and readable here, and that each
// value given is the stored one; names on standard output each one that is
// not.
int Verificar(const Pedido& pedido, Consola& consola);
// Connects with the stored settings through ODBC, step by step, and
// disconnects; prints the steps, as lines or as JSON.
int Testar(const Pedido& pedido, Consola& consola);
// Lists the installed ODBC drivers, one a line or as one JSON object; exit
// 5 when the driver manager cannot be loaded.
int Controladores(const Pedido& pedido, Consola& consola);

// Reads the arguments (UTF-8, without the program's name), runs the command
// and gives the exit code. Usage errors print the usage; with --json, an
// error exit prints {"erro": ...} on standard output instead of an answer.
int Executar(const std::vector<std::string>& argumentos, Consola& consola);

// What the commands above and the DSC resource share.

// How a value is given: as its text, or for the password as its state
// ("definida", "vazia", "ilegível"); nothing for a missing value (and, but
// for the password, for an unreadable one).
std::optional<std::string> Apresentado(const settings::Definicao& d,
                                       const settings::ValorLido& lido);
// What is wrong with a setting as stored, or with it against the text
// given (UTF-8; null for none): empty when nothing.
std::string Falha(const settings::Definicao& d, const settings::ValorLido& lido, Dado dado);
// Saves the texts `dado(i)` gives (UTF-8; null to leave setting i alone)
// that differ from the stored ones, each checked as the window checks it;
// names in `alterados` those it writes. Says on standard error why a save
// is refused or fails, and gives the exit code. `simular`: the same checks,
// names and refusal, with nothing written.
int GravarDiferentes(const std::function<Dado(std::size_t)>& dado, Consola& consola,
                     std::vector<std::string>* alterados, bool simular = false);

}  // namespace cli
