// The companion's commands over the settings core: the same reads, checks,
// messages and writes as the window.
#pragma once

#include <string>
#include <vector>

#include "cli/consola.h"
#include "cli/estado.h"
#include "cli/opcoes.h"

namespace cli {

// Reads the arguments (UTF-8, without the program's name), runs the command
// and gives the exit code. Usage errors print the usage; with --json, an
// error exit prints {"erro": ...} on standard output instead of an answer.
int Executar(const std::vector<std::string>& argumentos, Consola& consola);

}  // namespace cli
