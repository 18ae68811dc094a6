// The companion's commands over the settings core: the same reads, checks,
// messages and writes as the window.
#pragma once

#include <string>
#include <vector>

#include "cli/consola.h"
#include "cli/estado.h"
#include "cli/opcoes.h"

namespace cli {

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

}  // namespace cli
