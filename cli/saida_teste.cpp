#include "cli/saida_teste.h"

#include "cli/json.h"

namespace cli {

std::string LinhasTeste(const connection::Outcome& outcome) {
    std::string texto;
    for (const connection::Step& step : outcome.steps) texto += connection::StepLine(step) + "\n";
    for (const std::string& linha : outcome.lines) texto += linha + "\n";
    return texto;
}

std::string JsonTeste(const connection::Outcome& outcome) {
    std::string json =
        std::string("{\"ligado\": ") + (outcome.connected ? "true" : "false") + ", \"etapas\": [";
    for (std::size_t i = 0; i < outcome.steps.size(); ++i) {
        const connection::Step& step = outcome.steps[i];
        json += std::string(i ? ", " : "") +
                "{\"etapa\": " + TextoJson(connection::EtapaKey(step.etapa)) +
                ", \"ok\": " + (step.ok ? "true" : "false") +
                ", \"ms\": " + std::to_string(step.ms) +
                ", \"detalhe\": " + TextoJson(step.detail) + "}";
    }
    return json + "]}";
}

}  // namespace cli
