// What the commands and the DSC resource share: the exit codes, how a
// stored setting is given and judged, and a save told on the console.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "cli/consola.h"
#include "settings/gravacao.h"

namespace cli {

// Exit codes. `verificar` may be given another for settings that are not
// as they should be (--codigo-nao-conforme).
constexpr int kSaidaExito = 0;
constexpr int kSaidaUtilizacao = 1;  // also a password refused on standard input
constexpr int kSaidaRecusado = 2;
constexpr int kSaidaIlegivel = 3;  // unreadable, missing or not as given; a failed read
constexpr int kSaidaGravacao = 4;  // a failed write
constexpr int kSaidaLigacao = 5;   // the connection test failed

// What the companion gives in place of a stored password's text: set,
// empty, or not readable on this machine.
inline constexpr char kDefinida[] = "definida";
inline constexpr char kVazia[] = "vazia";
inline constexpr char kIlegivel[] = "ilegível";

// A value that is there but cannot be given as the text stored: unreadable,
// not a text, or not as stored (see ValorLido::TalComoGuardado).
bool SemTextoGuardado(const settings::ValorLido& lido);

// How a value is given: as its text, or for the password as its state
// (kDefinida, kVazia, kIlegivel); nothing for a missing value (and, but
// for the password, for one SemTextoGuardado).
std::optional<std::string> Apresentado(const settings::Definicao& d,
                                       const settings::ValorLido& lido);
// One line of `mostrar`: the value, or in brackets what stands for it.
std::string Linha(const settings::Definicao& d, const settings::ValorLido& lido);
// What is wrong with a setting as stored, or with it against the text
// given (none when `dado` says Nunca): empty when nothing.
std::string Falha(const settings::Definicao& d, const settings::ValorLido& lido,
                  const settings::Escrita& dado);

// The texts given (UTF-8, borrowed; "Segurança" as its item), to be written
// where they differ from the stored ones: `textos` in table order but for
// the password's place, which `palavraPasse` gives (null: not given).
settings::Escritas Dados(
    const std::array<std::optional<std::string>, settings::kDefinicoes.size()>& textos,
    const platform::Secret* palavraPasse);

// Saves `escritas` (`simular`: writes nothing) and gives the exit code;
// says on standard error why a save is refused or fails. `*g` tells what
// was written and read.
int GravarNaConsola(const settings::Escritas& escritas, Consola& consola, settings::Gravacao* g,
                    bool simular = false);

}  // namespace cli
