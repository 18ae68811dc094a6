// A connection test, in steps: the server's name resolves, a named
// instance's port is asked of the SQL Server Browser, the port accepts a
// TCP connection, a SQL Server answers on it, the TLS handshake the
// driver will make succeeds where encryption applies, the driver logs in, and,
// when the login with the database fails, the login to master. Each step is timed; the test stops at
// the first that fails. Nothing of it holds the password or the connection
// string.
#pragma once

#include <string>
#include <vector>

#include "connection/connection_string.h"
#include "platform/platform.h"

namespace connection {

enum class Stage { Name, Instance, Port, SqlServer, Tls, Login, Database };

struct Step {
    Stage stage = Stage::Name;
    bool ok = false;
    long long ms = 0;
    std::string detail;  // what was found, e.g. the addresses or the port
};

struct Outcome {
    bool connected = false;
    std::vector<Step> steps;  // those that ran, in order
    // What follows the steps: a server text the steps cannot read, and on
    // failure one sentence on what to check next, then one line for each
    // of the driver's records, "[SQLSTATE] message".
    std::vector<std::string> lines;
};

// Runs the test against `target` through `network` and `database`,
// following a client alias in `registry` for its server, waiting at most
// `loginTimeoutSeconds` for the port and for the login, and wipes the
// password in `target` (and every copy made of it) before returning.
Outcome Attempt(platform::Database& database, platform::Network& network,
                platform::Registry& registry, Target& target, unsigned loginTimeoutSeconds);

// "Nome", "Instância", "Porta", "Servidor SQL", "TLS", "Entrada", "Base de dados".
const char* StageName(Stage stage);
// "nome", "instancia", "porta", "servidor_sql", "tls", "entrada", "base_dados".
const char* StageKey(Stage stage);

// A step as one line: "Porta: falhou, 1433 recusada em 10.0.0.5 (2 ms)".
std::string StepLine(const Step& step);

// The window's text for an outcome: "Ligação estabelecida." or "Não foi
// possível ligar à base de dados:", then a blank line, the steps and the
// lines.
std::string Message(const Outcome& outcome);

}  // namespace connection
