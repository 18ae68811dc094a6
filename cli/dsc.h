// `definicoes dsc get|set|test`: the companion as the DSC command resource
// Orvex.Tamrel/Definicoes, described by cli/definicoes.dsc.resource.json.
#pragma once

#include "cli/consola.h"
#include "cli/opcoes.h"

namespace cli {

// Reads the desired state from standard input and answers as DSC reads a
// command resource: `get` prints the state stored as one JSON line; `set`
// writes what differs, as `definir` does (with `simular`, writes nothing),
// and `test` compares the values given; both print the state (after, or
// as it would be; for `test` with "_inDesiredState") as one line, then the
// JSON array of the properties changed or that differ. The password is
// never printed: its place holds "palavraPasseEstado", and "palavraPasse"
// is named when it changed or differs. Messages go to standard error, one
// JSON line each. Exits 0 once the answer is printed; 1 for input it
// refuses; the exit codes of `definir` when a save is refused or fails.
int Dsc(const Pedido& pedido, Consola& consola);

}  // namespace cli
