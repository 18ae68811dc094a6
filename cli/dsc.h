// `definicoes dsc get|set|test`: the companion as the DSC command resource
// Orvex.Tamrel/Definicoes, described by cli/definicoes.dsc.resource.json.
#pragma once

#include "cli/consola.h"
#include "cli/opcoes.h"

namespace cli {

// Reads the desired state from standard input and prints one instance on
// standard output: `get` the state stored; `test` the same with
// "_inDesiredState"; `set` writes what differs, as `definir` does, and
// gives the state after. The password is never printed: its place holds
// "palavraPasseEstado". Exits 0 once the answer is printed; 1 for input
// it refuses; the exit codes of `definir` when a save fails.
int Dsc(const Pedido& pedido, Consola& consola);

}  // namespace cli
