// How a connection test's outcome reads.
#include "connection/attempt.h"

namespace connection {

const char* EtapaName(Etapa etapa) {
    switch (etapa) {
    case Etapa::Nome: return "Nome";
    case Etapa::Instancia: return "Instância";
    case Etapa::Porta: return "Porta";
    case Etapa::ServidorSql: return "Servidor SQL";
    case Etapa::Entrada: return "Entrada";
    case Etapa::BaseDados: return "Base de dados";
    }
    return "";
}

const char* EtapaKey(Etapa etapa) {
    switch (etapa) {
    case Etapa::Nome: return "nome";
    case Etapa::Instancia: return "instancia";
    case Etapa::Porta: return "porta";
    case Etapa::ServidorSql: return "servidor_sql";
    case Etapa::Entrada: return "entrada";
    case Etapa::BaseDados: return "base_dados";
    }
    return "";
}

std::string StepLine(const Step& step) {
    std::string line = std::string(EtapaName(step.etapa)) + ": " + (step.ok ? "ok" : "falhou");
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
