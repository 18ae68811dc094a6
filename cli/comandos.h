// The companion's commands over the settings core: the same reads, checks,
// messages and writes as the window.
#pragma once

#include <string>
#include <vector>

#include "cli/consola.h"
#include "cli/opcoes.h"

namespace cli {

// Exit codes.
constexpr int kSaidaExito = 0;
constexpr int kSaidaUtilizacao = 1;
constexpr int kSaidaRecusado = 2;
constexpr int kSaidaIlegivel = 3;
constexpr int kSaidaGravacao = 4;
constexpr int kSaidaLigacao = 5;

int Mostrar(Consola& consola);
int Definir(const Pedido& pedido, Consola& consola);
int Verificar(Consola& consola);
// Connects with the stored settings through ODBC and disconnects.
int Testar(const Pedido& pedido, Consola& consola);

// Reads the arguments (UTF-8, without the program's name), runs the command
// and gives the exit code. Usage errors print the usage.
int Executar(const std::vector<std::string>& argumentos, Consola& consola);

}  // namespace cli
