// How a connection test's outcome reads.
#include "connection/attempt.h"

namespace connection {

const char* StageName(Stage stage) {
    switch (stage) {
    case Stage::Name: return "Nome";
    case Stage::Instance: return "Instância";
    case Stage::Port: return "Porta";
    case Stage::SqlServer: return "Servidor SQL";
    case Stage::Login: return "Entrada";
    case Stage::Database: return "Base de dados";
    }
    return "";
}

const char* StageKey(Stage stage) {
    switch (stage) {
    case Stage::Name: return "nome";
    case Stage::Instance: return "instancia";
    case Stage::Port: return "porta";
    case Stage::SqlServer: return "servidor_sql";
    case Stage::Login: return "entrada";
    case Stage::Database: return "base_dados";
    }
    return "";
}

std::string StepLine(const Step& step) {
    std::string line = std::string(StageName(step.stage)) + ": " + (step.ok ? "ok" : "falhou");
    if (!step.detail.empty()) line += ", " + step.detail;
    return line + " (" + std::to_string(step.ms) + " ms)";
}

std::string Message(const Outcome& outcome) {
    std::string message =
        outcome.connected ? "Ligação estabelecida.\n" : "Não foi possível ligar à base de dados:\n";
    for (const Step& step : outcome.steps) message += "\n" + StepLine(step);
    for (const std::string& line : outcome.lines) message += "\n" + line;
    return message;
}

}  // namespace connection
